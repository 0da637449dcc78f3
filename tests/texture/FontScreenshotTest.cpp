#include "TextureTestSupport.h"

#include "render/RenderMessages.h"
#include "texture/JpegReader.h"

using namespace kvxtest;

namespace {

struct Box {
    int left, top, right, bottom;  // inclusive, y from the top
    int count;
};

// The bounding box of every pixel that differs from black.
Box litBox() {
    std::vector<unsigned char> rgba(GlWindow::kWidth * GlWindow::kHeight * 4);
    glReadPixels(0, 0, GlWindow::kWidth, GlWindow::kHeight, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    Box box = {GlWindow::kWidth, GlWindow::kHeight, -1, -1, 0};
    for (int row = 0; row < GlWindow::kHeight; ++row) {
        for (int x = 0; x < GlWindow::kWidth; ++x) {
            const unsigned char* p = &rgba[(row * GlWindow::kWidth + x) * 4];
            if (p[0] == 0 && p[1] == 0 && p[2] == 0) continue;
            int y = GlWindow::kHeight - 1 - row;
            box.left = std::min(box.left, x);
            box.right = std::max(box.right, x);
            box.top = std::min(box.top, y);
            box.bottom = std::max(box.bottom, y);
            ++box.count;
        }
    }
    return box;
}

void fillHalves() {
    Color red = {1, 0, 0, 1}, blue = {0, 0, 1, 1};
    Vertex2D a = {0, 0}, b = {640, 240};
    kvxDrawFilledBox(&a, &b, &red);
    Vertex2D c = {0, 240}, d = {640, 480};
    kvxDrawFilledBox(&c, &d, &blue);
}

class FontAndShots : public ::testing::Test {
protected:
    GlWindow window;
    ScratchDir dir;
    void SetUp() override { ASSERT_TRUE(window.ready()); }
};

}  // namespace

TEST_F(FontAndShots, FontBuildsOneListPerCharacter) {
    ASSERT_EQ(kvxInitFont(), 0);
    EXPECT_GT(kvxFontBase, 0);
    EXPECT_TRUE(glIsList(static_cast<GLuint>(kvxFontBase)));
    EXPECT_TRUE(glIsList(static_cast<GLuint>(kvxFontBase + 'A')));
    EXPECT_TRUE(glIsList(static_cast<GLuint>(kvxFontBase + 127)));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(FontAndShots, MissingFontFileLogsCode49) {
    EXPECT_EQ(kvxInitFontFromFile("no-such-font.ttf"), kCodeFonts);
    EXPECT_TRUE(dir.logged("Cannot create fonts!"));
    writeText("broken.ttf", "not a font");
    EXPECT_EQ(kvxInitFontFromFile("broken.ttf"), kCodeFonts);
}

TEST_F(FontAndShots, TextLightsPixelsOnlyWhereItIsWritten) {
    ASSERT_EQ(kvxInitFont(), 0);
    Color yellow = {1, 1, 0, 1};
    kvxWrite(100, 200, &yellow, "Korvex %d", 3);
    Box box = litBox();
    ASSERT_GT(box.count, 60);
    // Baseline at y 200: capitals rise about 10 pixels, nothing drops far below.
    EXPECT_GE(box.left, 100);
    EXPECT_LE(box.left, 103);
    EXPECT_LE(box.right, 100 + 90);
    EXPECT_GE(box.right, 100 + 40);
    EXPECT_GE(box.top, 200 - 15);
    EXPECT_LE(box.top, 200 - 8);
    EXPECT_LE(box.bottom, 200 + 4);
    // Every lit pixel is the text colour.
    std::vector<unsigned char> rgba(GlWindow::kWidth * GlWindow::kHeight * 4);
    glReadPixels(0, 0, GlWindow::kWidth, GlWindow::kHeight, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    for (size_t i = 0; i < rgba.size(); i += 4) {
        if (rgba[i] == 0 && rgba[i + 1] == 0 && rgba[i + 2] == 0) continue;
        ASSERT_EQ(rgba[i], 255);
        ASSERT_EQ(rgba[i + 1], 255);
        ASSERT_EQ(rgba[i + 2], 0);
    }
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
}

TEST_F(FontAndShots, TextIsPlacedWhateverTheMatricesClip) {
    ASSERT_EQ(kvxInitFont(), 0);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glTranslatef(50, 50, 50);  // a raster position set through this would be clipped
    glMatrixMode(GL_MODELVIEW);
    glRasterPos3f(0, 0, 0);
    Color white = {1, 1, 1, 1};
    kvxWrite(500, 400, &white, "%s", "iii");
    Box box = litBox();
    ASSERT_GT(box.count, 5);
    EXPECT_GE(box.left, 500);
    EXPECT_LE(box.right, 520);
    EXPECT_LE(box.bottom, 400);
    EXPECT_GE(box.top, 385);
    // The caller's matrices are left alone.
    GLfloat m[16];
    glGetFloatv(GL_PROJECTION_MATRIX, m);
    EXPECT_FLOAT_EQ(m[12], 50.0f);
}

TEST_F(FontAndShots, TextStaysInFrontOfDrawnDepthAndSkipsCodesAbove127) {
    ASSERT_EQ(kvxInitFont(), 0);
    Color white = {1, 1, 1, 1};
    glClearDepth(0.01);
    glClear(GL_DEPTH_BUFFER_BIT);
    glClearDepth(1.0);
    kvxWrite(10, 30, &white, "\xC4\xE9 high bytes");
    EXPECT_GT(litBox().count, 20);
    std::string longText(3000, 'x');
    kvxWrite(0, 60, &white, "%s", longText.c_str());  // cut at the buffer size
}

TEST_F(FontAndShots, ScreenshotTakesTheFirstFreeNameAndIsUpright) {
    writeText("Shot0000.jpg", "taken");
    writeText("Shot0001.jpg", "taken");
    fillHalves();
    kvxScreenShot();
    ASSERT_TRUE(exists("Shot0002.jpg"));
    EXPECT_FALSE(exists("Shot0003.jpg"));
    std::vector<unsigned char> pixels(Texture::kBufferBytes);
    ImageTarget target = {pixels.data(), pixels.size(), 0, 0, 0};
    ASSERT_TRUE(kvxReadJpeg("Shot0002.jpg", nullptr, &target));
    EXPECT_EQ(target.width, 640);
    EXPECT_EQ(target.height, 480);
    // The reader stores the picture bottom row first: the top of the window is the last row.
    const unsigned char* top = pixelAt(pixels.data(), 640, 320, 479 - 10);
    const unsigned char* bottom = pixelAt(pixels.data(), 640, 320, 10);
    EXPECT_GT(top[0], 240);
    EXPECT_LT(top[2], 16);
    EXPECT_LT(bottom[0], 16);
    EXPECT_GT(bottom[2], 240);
    kvxScreenShot();
    EXPECT_TRUE(exists("Shot0003.jpg"));
}

TEST_F(FontAndShots, ScreenshotNamesRunOutAfter999) {
    for (int n = 0; n < 1000; ++n) {
        char name[32];
        snprintf(name, sizeof(name), "Shot%04d.jpg", n);
        writeText(name, "");
    }
    kvxScreenShot();
    EXPECT_FALSE(exists("Shot1000.jpg"));
    EXPECT_EQ(readBytes("Shot0999.jpg").size(), 0u);
}

// A frame with a grid, a textured turned image, a fade box and text, kept in
// the build directory for looking at.
TEST_F(FontAndShots, CompositeFrameLooksRight) {
    ASSERT_EQ(kvxInitFont(), 0);
    Texture* checker = new Texture;
    checker->bits = 32;
    checker->width = 64;
    checker->height = 64;
    checker->data = new unsigned char[64 * 64 * 4];
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            unsigned char* p = checker->data + (y * 64 + x) * 4;
            bool dark = ((x / 8) + (y / 8)) % 2 == 0;
            p[0] = dark ? 40 : 230;
            p[1] = dark ? 60 : 200;
            p[2] = dark ? 160 : 80;
            p[3] = 255;
        }
    }
    ASSERT_EQ(checker->uploadTexture(0), 0);
    Material material;
    material.addFirstTexture(checker);
    static Color colors[kvxGridColumns * kvxGridRows];
    static Vertex2D coords[kvxGridColumns * kvxGridRows];
    for (int i = 0; i < kvxGridRows; ++i) {
        for (int j = 0; j < kvxGridColumns; ++j) {
            float shade = 0.3f + 0.7f * j / 79.0f;
            colors[i * kvxGridColumns + j] = {shade, shade, shade, 1};
            coords[i * kvxGridColumns + j] = {j / 79.0f * 4, i / 59.0f * 3};
        }
    }
    kvxDrawGrid(colors, coords, 640, 480, &material);
    Color white = {1, 1, 1, 1};
    Vertex3D pos = {200, 120, 1};
    kvxDrawImage(&pos, &material, &white, 240, 240, false, 30);
    Color dim = {0, 0, 0, 1};
    Vertex2D a = {20, 420}, b = {620, 470};
    kvxDrawFilledBox(&a, &b, &dim);
    Color yellow = {1, 1, 0.2f, 1};
    kvxWrite(30, 450, &yellow, "Korvex3D overlay: %d x %d, grid %d x %d", 640, 480, kvxGridColumns, kvxGridRows);
    EXPECT_GT(litBox().count, 640 * 480 / 2);
    EXPECT_TRUE(window.save(TestWindow::outputPath("texture-composite.png")));
}
