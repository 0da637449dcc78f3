#include <memory>
#include <vector>

#include "GLFixture.h"
#include "render/RenderState.h"
#include "render/TransparentStack.h"
#include "scene/Camera.h"
#include "texture/Material.h"
#include "texture/TList.h"

using meshtest::makeSolidTexture;

namespace {

const int kWire = 0x1, kFlat = 0x2, kNoCull = 0x4, kNoTexture = 0x8, kQueue = 0x10, kOpaque = 0x20, kSpecial = 0x100,
          kEffect = 0x200, kRecord = 0x400, kReplay = 0x1000, kImmediate = 0x2000, kTransparentNow = 0x10000;

struct Quad {
    float x0, y0, x1, y1;
    int material;
    bool backFacing;
};

// One quad (two triangles) per entry, white vertices, edge flags for the outline
// (a-b and b-c of the first triangle, b-c and c-a of the second), runs sorted.
std::unique_ptr<Mesh> quads(std::vector<Quad> list) {
    std::unique_ptr<Mesh> m(new Mesh());
    m->createVertices(int(list.size()) * 4);
    m->createFaces(int(list.size()) * 2);
    for (size_t q = 0; q < list.size(); ++q) {
        const Quad& s = list[q];
        int v = int(q) * 4;
        Vertex3D corners[4] = {{s.x0, s.y0, 0}, {s.x1, s.y0, 0}, {s.x1, s.y1, 0}, {s.x0, s.y1, 0}};
        for (int k = 0; k < 4; ++k) {
            m->originalVertices[v + k] = m->vertices[v + k] = corners[k];
            m->colors[v + k] = Color{1, 1, 1, 1};
            m->normals[v + k] = Vertex3D{0, 0, 1};
            m->textureCoords[v + k] = Vertex2D{k == 1 || k == 2 ? 1.0f : 0.0f, k >= 2 ? 1.0f : 0.0f};
        }
        uint16_t a = uint16_t(v), b = uint16_t(v + 1), c = uint16_t(v + 2), d = uint16_t(v + 3);
        int f = int(q) * 2;
        m->faces[f] = s.backFacing ? Facelist{a, c, b} : Facelist{a, b, c};
        m->faces[f + 1] = s.backFacing ? Facelist{a, d, c} : Facelist{a, c, d};
        m->faceFlags[f] = s.backFacing ? 1 | 4 : 2 | 4;  // outer edges only
        m->faceFlags[f + 1] = s.backFacing ? 2 | 4 : 1 | 4;
        m->faceMaterials[f] = m->faceMaterials[f + 1] = s.material;
    }
    m->sortFacesByMaterial();
    return m;
}

Material* addMaterial(TList& list) {
    Material* m = new Material();
    list.addMaterial(m);
    return m;
}

std::vector<uint8_t> frame() {
    std::vector<uint8_t> pixels(640 * 480 * 4);
    glReadPixels(0, 0, 640, 480, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

}  // namespace

class MeshRender : public GLFixture {
protected:
    void SetUp() override {
        GLFixture::SetUp();
        opaque = addMaterial(materials);  // id 1
        glEnable(GL_CULL_FACE);
        glEnable(GL_TEXTURE_2D);
    }
    TList materials;
    Material* opaque = nullptr;
};

TEST_F(MeshRender, FilledWireAndWireframeMaterials) {
    auto m = quads({{100.5f, 100.5f, 200.5f, 200.5f, 1, false}});
    m->render(kOpaque, &materials);
    EXPECT_TRUE(colorNear(px(150, 150), 255, 255, 255));

    glClear(GL_COLOR_BUFFER_BIT);
    m->render(kOpaque | kWire, &materials);
    EXPECT_TRUE(colorNear(px(150, 100), 255, 255, 255));  // bottom edge
    EXPECT_TRUE(colorNear(px(100, 150), 255, 255, 255));  // left edge
    EXPECT_TRUE(black(150, 150));                         // hollow; no diagonal

    glClear(GL_COLOR_BUFFER_BIT);
    opaque->wireframe = true;
    m->render(kOpaque, &materials);
    EXPECT_TRUE(colorNear(px(150, 100), 255, 255, 255));
    EXPECT_TRUE(black(150, 150));
}

TEST_F(MeshRender, CullingIsOffForTwoSidedRunsOnlyOrForEveryRunWithNoCull) {
    Material* twoSided = addMaterial(materials);  // id 2
    twoSided->twoSided = true;
    auto m = quads({{50, 50, 150, 150, 2, true}, {250, 50, 350, 150, 1, true}, {450, 50, 550, 150, 1, false}});
    m->render(kOpaque, &materials);
    EXPECT_TRUE(colorNear(px(100, 100), 255, 255, 255));  // back faces, two-sided
    EXPECT_TRUE(black(300, 100));                         // back faces, culled
    EXPECT_TRUE(colorNear(px(500, 100), 255, 255, 255));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));

    glClear(GL_COLOR_BUFFER_BIT);
    m->render(kOpaque | kNoCull, &materials);
    EXPECT_TRUE(colorNear(px(300, 100), 255, 255, 255));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
}

TEST_F(MeshRender, RecordedDisplayListReplaysTheSamePicture) {
    auto m = quads({{100, 100, 200, 200, 1, false}, {300, 100, 400, 300, 1, false}});
    for (int i = 0; i < 4; ++i) m->colors[i] = Color{0.2f, 0.6f, 1.0f, 1.0f};
    ASSERT_EQ(m->createDisplayList(), 0);
    ASSERT_NE(m->displayList, 0u);
    ASSERT_NE(m->transparentDisplayList, 0u);
    ASSERT_NE(m->displayList, m->transparentDisplayList);

    m->render(kOpaque | kImmediate, &materials);
    std::vector<uint8_t> direct = frame();
    EXPECT_TRUE(colorNear(px(150, 150), 51, 153, 255));

    glClear(GL_COLOR_BUFFER_BIT);
    m->render(kOpaque | kImmediate | kRecord, &materials);
    EXPECT_TRUE(black(150, 150));  // compile only
    EXPECT_TRUE(black(350, 200));

    // The list keeps the vertex data of the moment it was recorded.
    for (int i = 0; i < m->vertexCount; ++i) m->vertices[i].x += 200;
    m->render(kOpaque | kReplay, &materials);
    EXPECT_TRUE(frame() == direct);

    // A copy has lists of its own; destroying it leaves the source's intact.
    Mesh* copy = static_cast<Mesh*>(m->copyObject());
    EXPECT_NE(copy->displayList, m->displayList);
    delete copy;
    EXPECT_TRUE(glIsList(m->displayList));
    m->destroyDisplayList();
    EXPECT_EQ(m->displayList, 0u);
}

TEST_F(MeshRender, TransparentRunsAreQueuedOrBlendedButNeverOpaque) {
    Material* glass = addMaterial(materials);  // id 2
    glass->transparency = 0.5f;
    auto m = quads({{100, 100, 200, 200, 2, false}, {300, 100, 400, 200, 1, false}});
    m->render(kOpaque, &materials);
    EXPECT_TRUE(black(150, 150));
    EXPECT_TRUE(colorNear(px(350, 150), 255, 255, 255));

    glClear(GL_COLOR_BUFFER_BIT);
    kvxInitTransparentPlaneStack(8);
    m->render(kQueue, &materials);
    EXPECT_EQ(kvxTransparentPlaneCount, 2);  // the two glass faces
    EXPECT_EQ(m->colors[0].a, 0.5f);
    EXPECT_EQ(m->colors[4].a, 1.0f);
    EXPECT_TRUE(black(150, 150));  // queued, not drawn
    Camera camera;
    kvxDrawTransparentPlanes(&camera);
    EXPECT_TRUE(colorNear(px(150, 150), 128, 128, 128, 3));
    kvxUnInitTransparentPlaneStack();

    // Immediately: vertex arrays blend by the material's transparency,
    // immediate mode sends alpha 1.
    glClear(GL_COLOR_BUFFER_BIT);
    m->render(kTransparentNow, &materials);
    EXPECT_TRUE(colorNear(px(150, 150), 128, 128, 128, 3));
    EXPECT_TRUE(black(350, 150));
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    glClear(GL_COLOR_BUFFER_BIT);
    m->render(kTransparentNow | kImmediate, &materials);
    EXPECT_TRUE(colorNear(px(150, 150), 255, 255, 255));
}

TEST_F(MeshRender, TransparentRunAfterAReflectionStillBlends) {
    Material* shiny = addMaterial(materials);  // id 2
    shiny->transparency = 0.5f;
    shiny->reflectionTexture = makeSolidTexture(0, 0, 0);
    Material* glass = addMaterial(materials);  // id 3
    glass->transparency = 0.5f;
    auto m = quads({{100, 100, 200, 200, 2, false}, {300, 100, 400, 200, 3, false}});
    m->render(kTransparentNow, &materials);
    EXPECT_TRUE(colorNear(px(350, 150), 128, 128, 128, 3));
}

TEST_F(MeshRender, ReflectionLayerAddsOverTheOpaqueRun) {
    opaque->reflectionTexture = makeSolidTexture(0, 255, 0);
    auto m = quads({{100, 100, 200, 200, 1, false}});
    for (int i = 0; i < 4; ++i) m->colors[i] = Color{0.5f, 0.5f, 0.5f, 1.0f};
    glEnable(GL_DEPTH_TEST);
    m->render(kOpaque, &materials);
    // grey base, plus half of (grey x green) where the depth is equal
    EXPECT_TRUE(colorNear(px(150, 150), 128, 191, 128, 3));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    GLboolean depthWrites = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    EXPECT_TRUE(depthWrites);

    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    m->render(kOpaque | kWire, &materials);  // no reflection on wires
    EXPECT_TRUE(black(150, 150));
}

TEST_F(MeshRender, FlatShadingAndTexturingFlags) {
    opaque->firstTexture = makeSolidTexture(255, 0, 0);
    auto m = quads({{100, 100, 200, 200, 1, false}});
    m->render(kOpaque, &materials);
    EXPECT_TRUE(colorNear(px(150, 150), 255, 0, 0));

    glClear(GL_COLOR_BUFFER_BIT);
    m->render(kOpaque | kNoTexture, &materials);
    EXPECT_TRUE(colorNear(px(150, 150), 255, 255, 255));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));

    // Untextured runs switch texturing back on afterwards, but not inside a
    // pass that asked for no texturing at all.
    Material* bare = addMaterial(materials);  // id 2, no texture
    auto two = quads({{300, 100, 400, 200, 2, false}, {100, 100, 200, 200, 1, false}});
    glClear(GL_COLOR_BUFFER_BIT);
    two->render(kOpaque | kNoTexture, &materials);
    EXPECT_TRUE(colorNear(px(150, 150), 255, 255, 255));
    (void)bare;

    glDisable(GL_TEXTURE_2D);
    glClear(GL_COLOR_BUFFER_BIT);
    m->colors[0] = Color{1, 0, 0, 1};
    m->colors[2] = Color{0, 0, 1, 1};
    m->colors[1] = m->colors[3] = Color{0, 1, 0, 1};
    delete opaque->firstTexture;
    opaque->firstTexture = nullptr;
    m->render(kOpaque | kFlat, &materials);
    // Flat: each triangle takes the colour of its last corner.
    EXPECT_TRUE(colorNear(px(190, 110), 0, 0, 255));
    EXPECT_TRUE(colorNear(px(110, 190), 0, 255, 0));
    GLint shade = 0;
    glGetIntegerv(GL_SHADE_MODEL, &shade);
    EXPECT_EQ(shade, GL_SMOOTH);
}

TEST_F(MeshRender, InvisibleAndSpecialMeshes) {
    auto m = quads({{100, 100, 200, 200, 1, false}});
    m->visible = false;
    m->render(kOpaque | kTransparentNow | kEffect, &materials);
    EXPECT_TRUE(black(150, 150));

    m->setSpecial(7);  // not a glow sprite: nothing at all
    m->render(kOpaque | kSpecial, &materials);
    EXPECT_TRUE(black(150, 150));

    Mesh bare;
    EXPECT_EQ(bare.render(kOpaque | kQueue | kTransparentNow | kEffect | kSpecial, &materials), 0);
}

TEST_F(MeshRender, GlowSpriteFadesWithVisibility) {
    opaque->firstTexture = makeSolidTexture(255, 255, 0);
    auto m = quads({{320, 240, 330, 250, 1, false}});
    m->setSpecial(1);
    kvxSetFPS(50);

    auto frameWithOccluder = [&](bool occluded) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        if (occluded) {
            glEnable(GL_DEPTH_TEST);
            glColor4f(0, 0, 0, 1);
            glDisable(GL_TEXTURE_2D);
            glBegin(GL_TRIANGLES);  // nearer than the sprite at z = 0
            glVertex3f(300, 220, 5);
            glVertex3f(360, 220, 5);
            glVertex3f(330, 280, 5);
            glEnd();
            glEnable(GL_TEXTURE_2D);
        }
        meshtest::pixelProjection();
        for (int i = 0; i < m->vertexCount; ++i) m->originalVertices[i] = Vertex3D{320, 240, 0};
        m->render(kSpecial, &materials);
    };

    frameWithOccluder(false);
    EXPECT_NEAR(m->specialFade, 0.02f, 1e-6f);
    for (int i = 1; i < 50; ++i) frameWithOccluder(false);
    EXPECT_GT(m->specialFade, 0.999f);
    frameWithOccluder(false);
    EXPECT_EQ(m->specialFade, 1.0f);
    EXPECT_TRUE(colorNear(px(320, 240), 255, 255, 0));  // sprite drawn in full
    EXPECT_TRUE(colorNear(px(280, 200), 255, 255, 0));  // 100 x 100, centred
    EXPECT_TRUE(black(380, 240));

    for (int i = 0; i < 24; ++i) frameWithOccluder(true);
    EXPECT_GT(m->specialFade, 0.0f);
    frameWithOccluder(true);
    EXPECT_LT(m->specialFade, 1e-5f);

    // Off screen the fade drops to zero at once.
    m->specialFade = 1.0f;
    glLoadIdentity();
    glTranslatef(1000, 0, 0);
    m->render(kSpecial, &materials);
    EXPECT_EQ(m->specialFade, 0.0f);
    glLoadIdentity();

    // The ordinary passes skip a special mesh.
    m->specialFade = 0.0f;
    glClear(GL_COLOR_BUFFER_BIT);
    for (int i = 0; i < m->vertexCount; ++i) m->vertices[i] = m->originalVertices[i] = Vertex3D{0, 0, 0};
    m->render(kOpaque, &materials);
    EXPECT_EQ(m->specialFade, 0.0f);
}

TEST_F(MeshRender, FacesPastTheVertexArrayAreNeverDrawn) {
    auto m = quads({{100, 100, 200, 200, 1, false}, {300, 100, 400, 200, 1, false}});
    m->faces[1].c = 60000;                     // second triangle of the left quad
    m->faces[2].b = 8;                         // first of the right quad: one past the last vertex
    m->materialGroups->ranges[0].last = 5000;  // a run past the face array
    kvxInitTransparentPlaneStack(8);
    for (int flags : {kOpaque, kOpaque | kImmediate, kOpaque | kWire, kTransparentNow, kEffect, kQueue}) {
        glClear(GL_COLOR_BUFFER_BIT);
        m->render(flags, &materials);
    }
    opaque->transparency = 0.5f;
    m->render(kQueue, &materials);
    EXPECT_EQ(kvxTransparentPlaneCount, 2);  // faces 0 and 3 only
    kvxUnInitTransparentPlaneStack();
    opaque->transparency = 0.0f;

    glClear(GL_COLOR_BUFFER_BIT);
    m->render(kOpaque, &materials);
    EXPECT_TRUE(colorNear(px(190, 110), 255, 255, 255));  // face 0
    EXPECT_TRUE(black(110, 190));                         // face 1 skipped
    EXPECT_TRUE(black(390, 110));                         // face 2 skipped
    EXPECT_TRUE(colorNear(px(310, 190), 255, 255, 255));  // face 3
}

TEST_F(MeshRender, EffectPassDrawsOnlyOverItself) {
    auto m = quads({{100, 100, 200, 200, 1, false}});
    for (int i = 0; i < 4; ++i) m->colors[i] = Color{0.25f, 0.25f, 0.25f, 1.0f};
    glEnable(GL_DEPTH_TEST);
    m->render(kOpaque, &materials);
    std::unique_ptr<Mesh> moved(quads({{150, 100, 250, 200, 1, false}}));
    for (int i = 0; i < 4; ++i) moved->colors[i] = Color{0.25f, 0.25f, 0.25f, 1.0f};
    glBlendFunc(GL_ONE, GL_ONE);
    m->render(kEffect, &materials);
    moved->render(kEffect, &materials);
    EXPECT_TRUE(colorNear(px(175, 150), 191, 191, 191, 3));  // twice over itself, once by the overlap
    EXPECT_TRUE(black(225, 150));                            // nothing where nothing was drawn
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
}
