// Groups drawn headless through their cameras, read back pixel by pixel.

#include <GL/gl.h>

#include "GroupTestSupport.h"

namespace {

const int kOpaque = kvxRenderOpaquePass;
const int kTransparent = kvxRenderTransparentPass;

int litPixels(std::vector<Rgba>* out = nullptr) {
    TestWindow& w = kvxtest::window();
    int lit = 0;
    for (int y = 0; y < TestWindow::kHeight; y += 4)
        for (int x = 0; x < TestWindow::kWidth; x += 4) {
            Rgba p = w.readPixel(x, y);
            if (out) out->push_back(p);
            if (!colorNear(p, 0, 0, 0, 3)) ++lit;
        }
    return lit;
}

void clearFrame() {
    Color black{0, 0, 0, 0};
    kvxSetClearColor(&black);
    kvxEnable(KVX_DEPTH_TEST);
    kvxClear();
}

// The files carry no lights: one white light is added and the static
// lighting computed, as the vertex colours are what the faces are drawn with.
void lightUp(OGroup* g, std::initializer_list<Vertex3D> at) {
    for (const Vertex3D& p : at) {
        Light* l = new Light();
        l->location = p;
        l->color = Color{1, 1, 1, 1};
        l->outerRange = 100000.0f;
        g->addLight(l);
    }
    g->calcDynamicLights(0);
}

void drawFrame(Scene& s, int frame) {
    s.groups[0]->setCurrentFrame(frame);
    clearFrame();
    s.render(0, kOpaque);
    s.render(0, kTransparent);
}

TEST(GroupRender, AnimatedRealSceneThroughItsOwnCamera) {
    kvxtest::window();
    Scene s;
    OGroup* g =
        s.createOGroup(kvxtest::dataFile("TargetCameraAnim.3ds").c_str(), kvxLoadScene, "", 0, nullptr, nullptr);
    ASSERT_NE(g, nullptr);
    ASSERT_TRUE(g->animated);
    ASSERT_NE(s.camera, nullptr);
    lightUp(g, {Vertex3D{-100, 50, 60}, Vertex3D{-100, 50, -120}});

    drawFrame(s, 0);
    std::vector<Rgba> first;
    int litFirst = litPixels(&first);
    Vertex3D eyeFirst = s.camera->eye;
    Vertex3D targetFirst = s.camera->target;
    kvxtest::window().save(kvxtest::scratch("target-camera-frame0.png"));

    drawFrame(s, 200);
    std::vector<Rgba> later;
    int litLater = litPixels(&later);
    kvxtest::window().save(kvxtest::scratch("target-camera-frame200.png"));

    EXPECT_GT(litFirst, 200);
    EXPECT_GT(litLater, 200);
    // The camera moved along its eye and target paths.
    EXPECT_NEAR(eyeFirst.z, 0.0f, 1e-3f);
    EXPECT_NEAR(s.camera->eye.z, -90.2682f, 1e-3f);
    EXPECT_NEAR(targetFirst.x, 14.4292f, 1e-3f);
    EXPECT_NEAR(s.camera->target.x, 100.41f, 1e-3f);
    int changed = 0;
    for (size_t i = 0; i < first.size(); ++i)
        if (!colorNear(first[i], later[i].r, later[i].g, later[i].b, 3)) ++changed;
    EXPECT_GT(changed, 100);
}

TEST(GroupRender, RotatingCubeTurnsBetweenFrames) {
    kvxtest::window();
    Scene s;
    OGroup* g = s.createOGroup(kvxtest::dataFile("RotatingCube.3DS").c_str(), kvxLoadScene, "", 0, nullptr, nullptr);
    ASSERT_NE(g, nullptr);
    Camera* cam = new Camera();
    cam->eye = Vertex3D{0, -150, 60};
    cam->target = Vertex3D{0, 0, 30};
    g->addCamera(cam);
    ASSERT_EQ(s.setCamera(g, 0), 0);
    lightUp(g, {Vertex3D{-60, -150, 100}});
    drawFrame(s, 0);
    std::vector<Rgba> a;
    EXPECT_GT(litPixels(&a), 200);
    kvxtest::window().save(kvxtest::scratch("rotating-cube-frame0.png"));
    drawFrame(s, 40);
    std::vector<Rgba> b;
    EXPECT_GT(litPixels(&b), 200);
    kvxtest::window().save(kvxtest::scratch("rotating-cube-frame40.png"));
    int changed = 0;
    for (size_t i = 0; i < a.size(); ++i)
        if (!colorNear(a[i], b[i].r, b[i].g, b[i].b, 3)) ++changed;
    EXPECT_GT(changed, 50);
}

// One prepared quad facing a camera on -y; its culling sphere can be moved
// away from where its vertices are drawn.
struct QuadScene {
    OGroup g;
    Camera* cam = new Camera();
    Mesh* quad = kvxtest::triangleMesh("quad", {-2, 0, -2, 2, 0, -2, 2, 0, 2, -2, 0, -2, 2, 0, 2, -2, 0, 2});
    QuadScene() {
        TList* list = new TList();
        Material* m = new Material();
        m->setName("White");
        m->addDiffuseColor(&white);
        list->addMaterial(m);
        for (Material* k = list->head; k; k = k->next) k->makeTextureFromColor();
        g.addTList(list);
        quad->faceMaterials[0] = quad->faceMaterials[1] = 1;
        quad->center();
        quad->calcNormals();
        quad->originalToCalculated();
        quad->calcRadius();
        quad->sortFacesByMaterial();
        quad->calcEdgeNormals();
        quad->createDisplayList();
        for (int i = 0; i < quad->vertexCount; ++i) quad->colors[i] = Color{1, 1, 1, 1};
        g.addMesh(quad);
        cam->eye = Vertex3D{0, -10, 0};
        cam->target = Vertex3D{0, 0, 0};
        g.addCamera(cam);
        kvxSetFOV(cam);
    }
    int draw(int flags) {
        clearFrame();
        kvxInitMatrix();
        g.render(flags, cam);
        return litPixels();
    }
    Color white{1, 1, 1, 1};
};

TEST(GroupRender, CullingSkipsMeshesWhoseSphereIsOutside) {
    kvxtest::window();
    QuadScene q;
    const int flags = 0x20020;
    int plain = q.draw(flags);
    EXPECT_GT(plain, 500);
    kvxtest::window().save(kvxtest::scratch("quad.png"));
    EXPECT_EQ(q.draw(flags | 0x8000), plain);

    // Sphere above the view, vertices moved down to be drawn where they were.
    q.quad->position.z += 50;
    for (int i = 0; i < q.quad->vertexCount; ++i) q.quad->vertices[i].z -= 50;
    EXPECT_EQ(q.draw(flags), plain);
    EXPECT_EQ(q.draw(flags | 0x8000), 0);
    EXPECT_EQ(q.draw(0x20), 0 + q.draw(0x20));  // repeatable
}

TEST(GroupRender, NoCameraDrawsNothingAndFacingMeshesTurn) {
    kvxtest::window();
    QuadScene q;
    clearFrame();
    q.g.render(kvxRenderCamera | kvxRenderOpaque, nullptr);
    EXPECT_EQ(litPixels(), 0);

    q.quad->facesCamera = true;
    q.cam->rotation.x = 33.0f;
    q.draw(0x20020);
    EXPECT_FLOAT_EQ(q.quad->rotation.z, 33.0f);
    // Turned by 90 degrees the quad is seen edge-on and almost vanishes.
    q.cam->rotation.x = 90.0f;
    EXPECT_LT(q.draw(0x20020), 40);
}

}  // namespace
