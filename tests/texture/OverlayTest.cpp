#include "TextureTestSupport.h"

#include <GL/glu.h>
#include <cmath>

using namespace kvxtest;

namespace {

struct Caps {
    bool depth, blend, fog, cull, texture, alpha;
    bool operator==(const Caps& o) const {
        return depth == o.depth && blend == o.blend && fog == o.fog && cull == o.cull && texture == o.texture &&
               alpha == o.alpha;
    }
};

Caps caps() {
    return {glIsEnabled(GL_DEPTH_TEST) == GL_TRUE, glIsEnabled(GL_BLEND) == GL_TRUE,
            glIsEnabled(GL_FOG) == GL_TRUE,        glIsEnabled(GL_CULL_FACE) == GL_TRUE,
            glIsEnabled(GL_TEXTURE_2D) == GL_TRUE, glIsEnabled(GL_ALPHA_TEST) == GL_TRUE};
}

void setCaps(const Caps& c) {
    c.depth ? glEnable(GL_DEPTH_TEST) : glDisable(GL_DEPTH_TEST);
    c.blend ? glEnable(GL_BLEND) : glDisable(GL_BLEND);
    c.fog ? glEnable(GL_FOG) : glDisable(GL_FOG);
    c.cull ? glEnable(GL_CULL_FACE) : glDisable(GL_CULL_FACE);
    c.texture ? glEnable(GL_TEXTURE_2D) : glDisable(GL_TEXTURE_2D);
    c.alpha ? glEnable(GL_ALPHA_TEST) : glDisable(GL_ALPHA_TEST);
}

// The projection of kvxViewport and the model-view identity, current mode model-view.
void expectPerspectiveRestored() {
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    GLfloat projection[16], modelView[16], expected[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelView);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluPerspective(kvxViewport.fov, kvxViewport.aspect, kvxViewport.zNear, kvxViewport.zFar);
    glGetFloatv(GL_PROJECTION_MATRIX, expected);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    for (int i = 0; i < 16; ++i) {
        EXPECT_FLOAT_EQ(projection[i], expected[i]) << i;
        EXPECT_FLOAT_EQ(modelView[i], i % 5 == 0 ? 1.0f : 0.0f) << i;
    }
}

bool near(const std::vector<unsigned char>& p, int r, int g, int b, int tolerance = 3) {
    return std::abs(p[0] - r) <= tolerance && std::abs(p[1] - g) <= tolerance && std::abs(p[2] - b) <= tolerance;
}

bool lit(const std::vector<unsigned char>& p) { return p[0] > 0 || p[1] > 0 || p[2] > 0; }

::testing::AssertionResult pixelIs(int x, int y, int r, int g, int b, int tolerance = 3) {
    std::vector<unsigned char> p = GlWindow::pixel(x, y);
    if (near(p, r, g, b, tolerance)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is " << int(p[0]) << " " << int(p[1])
                                         << " " << int(p[2]) << ", expected " << r << " " << g << " " << b;
}

// A material whose first texture is uploaded from f(x, y) -> RGBA, row 0 the picture's bottom.
template <typename F>
Material* imageMaterial(int width, int height, F f) {
    Texture* t = pixelTexture(width, height, [&](int x, int y, int c) { return f(x, y) >> (24 - 8 * c); });
    t->bits = 32;
    t->mipmap = false;
    EXPECT_EQ(t->uploadTexture(0), 0);
    Material* m = new Material;
    m->addFirstTexture(t);
    return m;
}

class Overlay : public ::testing::Test {
protected:
    GlWindow window;
    ScratchDir dir;
    Color white = {1, 1, 1, 1};
    void SetUp() override { ASSERT_TRUE(window.ready()); }
};

}  // namespace

TEST_F(Overlay, FourColourBoxCoversTheWindowWithItsCornerColours) {
    Color c1 = {1, 0, 0, 1}, c2 = {0, 1, 0, 1}, c3 = {0, 0, 1, 1}, c4 = {1, 1, 1, 1};
    Vertex2D a = {0, 0}, b = {640, 480};
    kvxDrawFilledBox(&a, &b, &c1, &c2, &c3, &c4);
    EXPECT_TRUE(pixelIs(0, 0, 255, 0, 0));
    EXPECT_TRUE(pixelIs(639, 0, 0, 255, 0));
    EXPECT_TRUE(pixelIs(639, 479, 0, 0, 255));
    EXPECT_TRUE(pixelIs(0, 479, 255, 255, 255));
    EXPECT_TRUE(pixelIs(320, 240, 128, 0, 128, 4));  // on the c1-c3 diagonal of the two triangles
    EXPECT_FLOAT_EQ(a.y, 480.0f);                    // the caller's points are converted
    EXPECT_FLOAT_EQ(b.y, 0.0f);
}

TEST_F(Overlay, FilledBoxEdgesAreExact) {
    Color green = {0, 1, 0, 1};
    Vertex2D a = {100, 50}, b = {200, 150};
    kvxDrawFilledBox(&a, &b, &green);
    EXPECT_TRUE(pixelIs(100, 50, 0, 255, 0));
    EXPECT_TRUE(pixelIs(199, 149, 0, 255, 0));
    EXPECT_TRUE(pixelIs(99, 50, 0, 0, 0));
    EXPECT_TRUE(pixelIs(100, 49, 0, 0, 0));
    EXPECT_TRUE(pixelIs(200, 100, 0, 0, 0));
    EXPECT_TRUE(pixelIs(150, 150, 0, 0, 0));
}

TEST_F(Overlay, LinesConvertTheCallersPointsAndBoxesDoNot) {
    Vertex2D a = {10, 20}, b = {100, 20};
    kvxDrawLine(&a, &b, &white);
    EXPECT_FLOAT_EQ(a.x, 10.0f);
    EXPECT_FLOAT_EQ(a.y, 460.0f);
    EXPECT_FLOAT_EQ(b.y, 460.0f);

    glClear(GL_COLOR_BUFFER_BIT);
    Vertex2D p = {40.5f, 30.5f}, q = {200.5f, 30.5f};
    kvxDrawLine(&p, &q, &white);
    EXPECT_TRUE(pixelIs(100, 30, 255, 255, 255));
    EXPECT_TRUE(pixelIs(100, 31, 0, 0, 0));
    EXPECT_TRUE(pixelIs(100, 29, 0, 0, 0));

    glClear(GL_COLOR_BUFFER_BIT);
    Vertex3D u = {40.5f, 60.5f, 0.5f}, v = {40.5f, 160.5f, 0.5f};
    kvxDrawLine(&u, &v, &white);
    EXPECT_FLOAT_EQ(u.y, 419.5f);
    EXPECT_TRUE(pixelIs(40, 100, 255, 255, 255));

    glClear(GL_COLOR_BUFFER_BIT);
    Vertex2D c = {20.5f, 20.5f}, d = {120.5f, 70.5f};
    Color red = {1, 0, 0, 1};
    kvxDrawBox(&c, &d, &red);
    EXPECT_FLOAT_EQ(c.y, 20.5f);
    EXPECT_FLOAT_EQ(d.y, 70.5f);
    EXPECT_TRUE(pixelIs(70, 20, 255, 0, 0));   // top edge
    EXPECT_TRUE(pixelIs(70, 70, 255, 0, 0));   // bottom edge
    EXPECT_TRUE(pixelIs(20, 45, 255, 0, 0));   // left edge
    EXPECT_TRUE(pixelIs(120, 45, 255, 0, 0));  // right edge
    EXPECT_TRUE(pixelIs(70, 45, 0, 0, 0));     // inside stays empty
}

TEST_F(Overlay, ThreeDLineUsesTheCurrentProjection) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 640, 0, 480, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glTranslatef(100, 100, 0);  // reset by the call
    Vertex3D a = {300.5f, 0.5f, 0}, b = {300.5f, 479.5f, 0};
    kvxDraw3DLine(&a, &b, &white);
    EXPECT_TRUE(pixelIs(300, 200, 255, 255, 255));
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    EXPECT_FLOAT_EQ(m[12], 0.0f);
    EXPECT_TRUE(caps().depth);
    EXPECT_TRUE(caps().cull);
    EXPECT_TRUE(caps().texture);
    EXPECT_FALSE(caps().blend);
}

TEST_F(Overlay, EveryCallRestoresTheStateItChanges) {
    Material* image = imageMaterial(4, 4, [](int, int) { return 0xFFFFFFFFu; });
    static Color colors[kvxGridColumns * kvxGridRows];
    static Vertex2D coords[kvxGridColumns * kvxGridRows];
    for (int i = 0; i < kvxGridColumns * kvxGridRows; ++i) colors[i] = white;
    Caps patterns[] = {{true, false, true, true, true, true}, {false, true, false, false, false, false}};
    for (const Caps& before : patterns) {
        setCaps(before);
        Vertex2D a = {1, 1}, b = {5, 5};
        Vertex3D p = {1, 1, 0}, q = {5, 5, 0};
        Vertex3D pos = {10, 10, 1};
        kvxDrawLine(&a, &b, &white);
        EXPECT_TRUE(caps() == before) << "line";
        expectPerspectiveRestored();
        kvxDrawLine(&p, &q, &white);
        EXPECT_TRUE(caps() == before) << "3D-point line";
        kvxDrawBox(&a, &b, &white);
        EXPECT_TRUE(caps() == before) << "box";
        kvxDrawFilledBox(&a, &b, &white);
        EXPECT_TRUE(caps() == before) << "filled box";
        expectPerspectiveRestored();
        kvxDrawImage(&pos, image, &white, 16, 16, false, 30);
        EXPECT_TRUE(caps() == before) << "image";
        expectPerspectiveRestored();
        kvxDrawImageWithoutYConversion(&pos, image, &white, 16, 16, true);
        EXPECT_TRUE(caps() == before) << "image without y conversion";
        expectPerspectiveRestored();
        kvxDrawGrid(colors, coords, 64, 48, image);
        EXPECT_TRUE(caps() == before) << "grid";
        expectPerspectiveRestored();
        kvxDraw3DLine(&p, &q, &white);
        EXPECT_TRUE(caps() == before) << "3D line";
        kvxDrawImage(&pos, nullptr, &white, 16, 16, false, 0);
        kvxDrawGrid(colors, coords, 64, 48, nullptr);
        EXPECT_TRUE(caps() == before) << "null material";
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    delete image;
}

TEST_F(Overlay, ImageCoversExactlyItsRectangleFromTheTopLeft) {
    Material* image = imageMaterial(8, 8, [](int, int) { return 0x00FF00FFu; });
    Vertex3D pos = {0, 0, 1};
    kvxDrawImage(&pos, image, &white, 256, 64, false, 0);
    EXPECT_TRUE(pixelIs(0, 0, 0, 255, 0));
    EXPECT_TRUE(pixelIs(255, 63, 0, 255, 0));
    EXPECT_TRUE(pixelIs(256, 10, 0, 0, 0));
    EXPECT_TRUE(pixelIs(10, 64, 0, 0, 0));
    int covered = 0;
    for (int y = 0; y < 100; y += 3) {
        for (int x = 0; x < 300; x += 3) covered += lit(GlWindow::pixel(x, y)) ? 1 : 0;
    }
    int expected = 0;
    for (int y = 0; y < 100; y += 3) {
        for (int x = 0; x < 300; x += 3) expected += (x < 256 && y < 64) ? 1 : 0;
    }
    EXPECT_EQ(covered, expected);

    // The tint multiplies the texels.
    glClear(GL_COLOR_BUFFER_BIT);
    Color half = {1, 0.5f, 1, 1};
    kvxDrawImage(&pos, image, &half, 256, 64, false, 0);
    EXPECT_TRUE(pixelIs(100, 30, 0, 128, 0, 2));
    delete image;
}

TEST_F(Overlay, ImageTurnsAboutItsCentre) {
    // Left half red, right half blue.
    Material* image = imageMaterial(16, 16, [](int x, int) { return x < 8 ? 0xFF0000FFu : 0x0000FFFFu; });
    Vertex3D pos = {100, 100, 1};  // centre (228, 132)
    kvxDrawImage(&pos, image, &white, 256, 64, false, 0);
    EXPECT_TRUE(pixelIs(110, 132, 255, 0, 0));
    EXPECT_TRUE(pixelIs(340, 132, 0, 0, 255));
    glClear(GL_COLOR_BUFFER_BIT);
    kvxDrawImage(&pos, image, &white, 256, 64, false, 90);
    // A quarter turn counter-clockwise: 64 wide, 256 high, the left half now at the bottom.
    EXPECT_TRUE(pixelIs(110, 132, 0, 0, 0));
    EXPECT_TRUE(pixelIs(228, 132 - 120, 0, 0, 255));
    EXPECT_TRUE(pixelIs(228, 132 + 100, 255, 0, 0));
    EXPECT_TRUE(pixelIs(228 - 28, 132 + 60, 255, 0, 0));
    EXPECT_TRUE(pixelIs(228 - 36, 132 + 60, 0, 0, 0));
    EXPECT_TRUE(pixelIs(228 + 36, 132 - 60, 0, 0, 0));
    window.save(TestWindow::outputPath("texture-rotated-image.png"));
    delete image;
}

TEST_F(Overlay, ImageWithoutYConversionIsCentredBottomUp) {
    Material* image = imageMaterial(4, 4, [](int, int) { return 0xFFFF00FFu; });
    Vertex3D pos = {100, 50, 0.5f};  // bottom-up: window row 430 from the top
    kvxDrawImageWithoutYConversion(&pos, image, &white, 40, 20, false);
    EXPECT_TRUE(pixelIs(100, 430, 255, 255, 0));
    EXPECT_TRUE(pixelIs(81, 421, 255, 255, 0));
    EXPECT_TRUE(pixelIs(79, 430, 0, 0, 0));
    EXPECT_TRUE(pixelIs(100, 418, 0, 0, 0));
    EXPECT_TRUE(pixelIs(100, 50, 0, 0, 0));
    delete image;
}

TEST_F(Overlay, GridStretchesTheTextureFromTheTopLeft) {
    // Quadrants of the picture: bottom-left red, bottom-right green, top-left blue, top-right white.
    Material* image = imageMaterial(16, 16, [](int x, int y) {
        if (y < 8) return x < 8 ? 0xFF0000FFu : 0x00FF00FFu;
        return x < 8 ? 0x0000FFFFu : 0xFFFFFFFFu;
    });
    static Color colors[kvxGridColumns * kvxGridRows];
    static Vertex2D coords[kvxGridColumns * kvxGridRows];
    for (int i = 0; i < kvxGridRows; ++i) {
        for (int j = 0; j < kvxGridColumns; ++j) {
            colors[i * kvxGridColumns + j] = white;
            coords[i * kvxGridColumns + j] = {j / 79.0f, i / 59.0f};
        }
    }
    kvxDrawGrid(colors, coords, 640, 480, image);
    // Row 0 of the grid (the top) takes t = 0, the picture's bottom row.
    EXPECT_TRUE(pixelIs(160, 120, 255, 0, 0));
    EXPECT_TRUE(pixelIs(480, 120, 0, 255, 0));
    EXPECT_TRUE(pixelIs(160, 360, 0, 0, 255));
    EXPECT_TRUE(pixelIs(480, 360, 255, 255, 255));
    EXPECT_TRUE(pixelIs(20, 20, 255, 0, 0));
    EXPECT_TRUE(pixelIs(620, 460, 255, 255, 255));

    glClear(GL_COLOR_BUFFER_BIT);
    for (int i = 0; i < kvxGridColumns * kvxGridRows; ++i) colors[i] = {0, 1, 0, 1};
    // A smaller grid hangs down from its own height above the bottom edge.
    kvxDrawGrid(colors, coords, 320, 240, image);
    EXPECT_TRUE(pixelIs(80, 300, 0, 0, 0));  // red texel times green vertex colour
    EXPECT_TRUE(pixelIs(240, 300, 0, 255, 0));
    EXPECT_TRUE(pixelIs(240, 245, 0, 255, 0));
    EXPECT_TRUE(pixelIs(240, 235, 0, 0, 0));
    EXPECT_TRUE(pixelIs(330, 300, 0, 0, 0));
    delete image;
}

TEST_F(Overlay, DepthProbeAndFrameBufferCopy) {
    EXPECT_TRUE(kvxIsVisible(10, 10, 1.0f));
    EXPECT_TRUE(kvxIsVisible(10, 10, 0.0f));
    // A quad at depth 0.5 over the lower-left quarter.
    glDisable(GL_CULL_FACE);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glBegin(GL_QUADS);
    glVertex3f(-1, -1, 0);
    glVertex3f(0, -1, 0);
    glVertex3f(0, 0, 0);
    glVertex3f(-1, 0, 0);
    glEnd();
    EXPECT_FALSE(kvxIsVisible(100, 100, 0.7f));
    EXPECT_TRUE(kvxIsVisible(100, 100, 0.4f));
    EXPECT_TRUE(kvxIsVisible(500, 400, 0.7f));
    EXPECT_FALSE(kvxIsVisible(-5, 10, 0.1f));
    EXPECT_FALSE(kvxIsVisible(10, 900, 0.1f));

    glClearColor(0.2f, 0.4f, 0.6f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glPixelStorei(GL_PACK_ROW_LENGTH, 64);  // left by someone else: must not widen the copy
    std::vector<char> buffer(3 * 2 * 4 + 4, 0x55);
    kvxGetBuffer(buffer.data(), 3, 2);
    EXPECT_EQ(buffer[24], 0x55);
    GLint rowLength = 0;
    glGetIntegerv(GL_PACK_ROW_LENGTH, &rowLength);
    EXPECT_EQ(rowLength, 64);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    for (int i = 0; i < 6; ++i) {
        EXPECT_NEAR(static_cast<unsigned char>(buffer[i * 4]), 51, 1);
        EXPECT_NEAR(static_cast<unsigned char>(buffer[i * 4 + 1]), 102, 1);
        EXPECT_NEAR(static_cast<unsigned char>(buffer[i * 4 + 2]), 153, 1);
    }
}

TEST_F(Overlay, NothingHappensWithoutTheOpenGLRasterizer) {
    kvxSelectedRasterizer = 2;
    Vertex2D a = {0, 0}, b = {640, 480};
    kvxDrawFilledBox(&a, &b, &white);
    EXPECT_FLOAT_EQ(a.y, 0.0f);
    EXPECT_FALSE(kvxIsVisible(10, 10, 0.0f));
    kvxSelectedRasterizer = 0;
    EXPECT_TRUE(pixelIs(320, 240, 0, 0, 0));
}
