// Group management of a Scene.

#include "GroupTestSupport.h"
#include "import3ds/ImportMessages.h"
#include "scene/SceneMessages.h"

namespace {

const int kFlags = kvxLoadScene;

std::string file(const char* name) { return kvxtest::dataFile(name); }

TEST(Scene, CreateOGroupLoadsAndTakesTheFirstCamera) {
    kvxtest::window();
    Scene s;
    EXPECT_EQ(s.groupCount, 0);
    EXPECT_EQ(s.camera, nullptr);
    ASSERT_NE(s.parameters, nullptr);
    EXPECT_EQ(s.parameters->value[2], 15);

    OGroup* still = s.createOGroup(file("fels.3ds").c_str(), kFlags, "", 0, nullptr, nullptr);
    ASSERT_NE(still, nullptr);
    EXPECT_EQ(s.camera, nullptr);  // no camera in that file
    OGroup* anim = s.createOGroup(file("TargetCameraAnim.3ds").c_str(), kFlags, "", 0, nullptr, nullptr);
    ASSERT_NE(anim, nullptr);
    EXPECT_EQ(s.camera, anim->cameras[0]);
    EXPECT_EQ(s.getOGID(anim), 1);

    kvxtest::LogCapture log("scene-missing.log");
    EXPECT_EQ(s.createOGroup("/no/such.3ds", kFlags, "", 0, nullptr, nullptr), nullptr);
    EXPECT_EQ(s.groupCount, 2);
    EXPECT_EQ(s.setCamera(anim, 1), kCodeCameraNotFound);
    EXPECT_TRUE(log.contains("Camera cannot be found!"));
    EXPECT_EQ(s.setCamera(anim, 0), 0);

    // Bit 1 empties the scene first.
    OGroup* only = s.createOGroup(file("fels.3ds").c_str(), kFlags | 1, "", 0, nullptr, nullptr);
    ASSERT_NE(only, nullptr);
    EXPECT_EQ(s.groupCount, 1);
    EXPECT_EQ(s.groups[0], only);
    EXPECT_EQ(s.camera, nullptr);
}

TEST(Scene, DeletingTheCameraGroupLeavesNoCamera) {
    kvxtest::window();
    Scene s;
    OGroup* a = s.createOGroup(file("CameraRollAnim.3ds").c_str(), kFlags, "", 0, nullptr, nullptr);
    OGroup* b = s.createOGroup(file("RotatingCube.3DS").c_str(), kFlags, "", 0, nullptr, nullptr);
    ASSERT_TRUE(a && b);
    EXPECT_EQ(s.camera, a->cameras[0]);
    EXPECT_EQ(s.deleteOGroup(a), 0);
    EXPECT_EQ(s.camera, nullptr);
    EXPECT_EQ(s.groups[0], b);
    EXPECT_EQ(s.groupCount, 1);
    OGroup* c = s.createOGroup(file("TargetCameraAnim.3ds").c_str(), kFlags, "", 0, nullptr, nullptr);
    EXPECT_EQ(s.camera, c->cameras[0]);

    Scene other;
    kvxtest::LogCapture log("scene-other.log");
    EXPECT_EQ(other.getOGID(b), -1);
    EXPECT_EQ(other.insertMesh(b, file("fels.3ds").c_str(), kFlags, "", nullptr), kCodeGroupNotFound);
    EXPECT_EQ(other.deleteOGroup(b), kCodeGroupNotFound);
    EXPECT_TRUE(log.contains("ObjectGroup not found in OGroupList! OGroup not deleted!"));
    EXPECT_EQ(s.insertMesh(b, file("fels.3ds").c_str(), kFlags, "", nullptr), 0);
    EXPECT_EQ(b->meshCount, 2);
    EXPECT_EQ(s.insertMesh(0, "/no/such.3ds", kFlags, "", nullptr), kCodeCannotOpen);
    EXPECT_EQ(s.render(5, kvxRenderOpaquePass), 0);  // empty slot: nothing drawn

    SceneParams p;
    p.value[0] = 42;
    s.setParameters(&p);
    EXPECT_EQ(s.getParameters()->value[0], 42);
    EXPECT_EQ(s.getParameters(), s.parameters);
}

TEST(Scene, TheTwoHundredFiftySeventhGroupIsRefused) {
    kvxtest::window();
    Chunks3ds tiny;
    tiny.begin(0x4D4D).end();
    std::string path = kvxtest::scratch("tiny.3ds");
    ASSERT_TRUE(tiny.save(path));
    Scene s;
    for (int i = 0; i < Scene::maxGroups; ++i)
        ASSERT_NE(s.createOGroup(path.c_str(), kFlags, "", 0, nullptr, nullptr), nullptr);
    EXPECT_EQ(s.createOGroup(path.c_str(), kFlags, "", 0, nullptr, nullptr), nullptr);
    EXPECT_EQ(s.groupCount, 256);
}

}  // namespace
