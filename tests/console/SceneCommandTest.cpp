#include <gtest/gtest.h>

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <string>

#include <unistd.h>

#include "ConsoleFixture.h"
#include "TestWindow.h"
#include "Writer3ds.h"
#include "render/Engine.h"
#include "render/ErrorLog.h"
#include "render/RenderState.h"
#include "scene/Camera.h"
#include "scene/KVXPath.h"
#include "scene/Mesh.h"
#include "scene/OGroup.h"
#include "scene/Scene.h"
#include "texture/Material.h"
#include "texture/TList.h"

namespace {

using namespace kvxtest;

const std::string kDataDir = std::string(KVX_TESTDATA_DIR) + "/3ds/assimp";
const std::string kDir = ".";

// One triangle object named name with corners v.
k3ds::Mesh triangleObject(const std::string& name, const float (&v)[9]) {
    k3ds::Mesh m;
    m.name = name;
    m.vertices = {{v[0], v[1], v[2]}, {v[3], v[4], v[5]}, {v[6], v[7], v[8]}};
    m.faces = {{0, 1, 2, 7}};
    return m;
}

float extentX(Mesh* m) {
    float lo = m->vertices[0].x, hi = lo;
    for (int i = 1; i < m->vertexCount; ++i) {
        lo = std::min(lo, m->vertices[i].x);
        hi = std::max(hi, m->vertices[i].x);
    }
    return hi - lo;
}

// A started engine whose log goes into the console under test.
struct SceneTranscript : ConsoleTest {
    TestWindow* window = nullptr;
    Scene* scene = nullptr;

    InDirectory inData{kDataDir};

    void SetUp() override {
        window = new TestWindow(&c);
        ASSERT_EQ(window->result, 0);
        kvxInitErrorLog(&c);
        scene = new Scene;
        ASSERT_EQ(c.setScene(scene), 0);
        take();
    }
    void TearDown() override {
        kvxInitErrorLog(3);
        delete scene;
        delete window;
    }
    // What SCENEINFO must print, counted straight from the scene.
    std::string expectedInfo() {
        int meshes = 0, lights = 0, cams = 0, tl = 0, mats = 0, pl = 0, paths = 0, ps = 0;
        int verts = 0, faces = 0;
        for (int i = 0; i < scene->groupCount; ++i) {
            OGroup* g = scene->groups[i];
            meshes += g->meshCount;
            lights += g->lightCount;
            cams += g->cameraCount;
            tl += g->tlistCount;
            pl += g->pathListCount;
            ps += g->particleSourceCount;
            if (g->tlistCount > 0) mats += g->tlists[0]->seekLastMaterial()->id;
            for (int p = 0; p < g->pathListCount; ++p) paths += g->pathLists[p]->pathCount;
            for (int m = 0; m < g->meshCount; ++m) {
                verts += g->meshes[m]->vertexCount;
                faces += g->meshes[m]->faceCount;
            }
        }
        char cam[256];
        if (scene->camera)
            snprintf(cam, sizeof cam, "  Active camera: %" PRIxPTR " (%s)\n",
                     reinterpret_cast<uintptr_t>(scene->camera), scene->camera->name);
        else
            snprintf(cam, sizeof cam, "  Active camera is NULL\n");
        char buf[2048];
        snprintf(buf, sizeof buf,
                 "Scene information\n  Number of OGroups: %d\n  Total number of mesh objects: %d\n"
                 "  Total number of lights: %d\n  Total number of cameras: %d\n"
                 "  Total number of TLists: %x\n    Total number of Materials in TLists: %d\n"
                 "  Total number of PathLists: %x\n    Total number of Paths in PathLists: %d\n"
                 "  Total number of ParticleSource: %x\n%sTotal vertices: %d Total faces: %d",
                 scene->groupCount, meshes, lights, cams, tl, mats, pl, paths, ps, cam, verts, faces);
        return buf;
    }
};

TEST_F(SceneTranscript, LoadReportAndReload) {
    std::string load = "LOAD3DS cubes_with_alpha.3DS " + kDir;
    run(load);
    ASSERT_EQ(scene->groupCount, 1);
    OGroup* g = scene->groups[0];
    EXPECT_EQ(g->meshCount, 5);
    EXPECT_EQ(g->cameraCount, 0);
    std::string upper = load;
    for (char& ch : upper) ch = static_cast<char>(toupper(static_cast<unsigned char>(ch)));
    EXPECT_STREQ(c.lastLoad, upper.c_str());

    std::string info = run("SCENEINFO");
    EXPECT_EQ(info, ">SCENEINFO\n" + expectedInfo());
    // Figures of the reference reader for this file.
    EXPECT_NE(info.find("  Total number of mesh objects: 5\n"), std::string::npos);
    EXPECT_NE(info.find("Total faces: 60"), std::string::npos);
    EXPECT_NE(info.find("  Active camera is NULL\n"), std::string::npos);
    EXPECT_NE(info.find("    Total number of Materials in TLists: 5\n"), std::string::npos);

    run("RELOAD3DS");
    ASSERT_EQ(scene->groupCount, 1);
    EXPECT_EQ(scene->groups[0]->meshCount, 5);

    // Materials only: the file is read but nothing is added.
    run("LOAD3DS fels.3ds " + kDir + " /M");
    ASSERT_EQ(scene->groupCount, 1);
    EXPECT_EQ(scene->groups[0]->meshCount, 5);

    EXPECT_EQ(run("CLEAR3DS"), ">CLEAR3DS\n");
    EXPECT_EQ(scene->groupCount, 0);
    EXPECT_EQ(run("SCENEINFO"), ">SCENEINFO\n" + expectedInfo());
    EXPECT_EQ(run("CLEAR3DS"), ">CLEAR3DS\n");  // no group left: nothing to do
}

// Switches come only from the words after the name and the directory: absolute
// paths hold "/A", "/M", "/S" and the like ("/3DS/ASSIMP/CUBES...").
TEST_F(SceneTranscript, SwitchesOnlyAfterNameAndDirectory) {
    std::string file = kDataDir + "/cubes_with_alpha.3DS";
    run("LOAD3DS " + file + " " + kDataDir + "/");
    ASSERT_EQ(scene->groupCount, 1);
    EXPECT_EQ(scene->groups[0]->meshCount, 5);
    run("RELOAD3DS");
    ASSERT_EQ(scene->groupCount, 1);
    EXPECT_EQ(scene->groups[0]->meshCount, 5);
    // A real switch, in either case, still applies: materials only adds nothing.
    run("LOAD3DS " + kDataDir + "/fels.3ds " + kDataDir + " /x /m");
    ASSERT_EQ(scene->groupCount, 1);
    EXPECT_EQ(scene->groups[0]->meshCount, 5);
}

TEST_F(SceneTranscript, CamerasAndActiveSelections) {
    run("load3ds CameraRollAnim.3ds " + kDir + " /s");
    ASSERT_EQ(scene->groupCount, 1);
    OGroup* g = scene->groups[0];
    ASSERT_EQ(g->cameraCount, 1);
    ASSERT_NE(scene->camera, nullptr);
    std::string info = run("SCENEINFO");
    EXPECT_EQ(info, ">SCENEINFO\n" + expectedInfo());
    EXPECT_NE(info.find(" (Camera01)\n"), std::string::npos);
    EXPECT_NE(info.find("Total faces: 12"), std::string::npos);

    EXPECT_EQ(run("ACTIVECAMERA 0"), ">ACTIVECAMERA 0\nActiveCamera change completed.\n");
    EXPECT_EQ(g->activeCamera, g->cameras[0]);
    EXPECT_EQ(run("ACTIVECAMERA 5"),
              ">ACTIVECAMERA 5\nCamList used in functioncall is NULL!\nActiveCamera change completed.\n");
    EXPECT_EQ(g->activeCamera, g->cameras[0]);
    EXPECT_EQ(run("ACTIVETLIST 70"),
              ">ACTIVETLIST 70\nTList used in functioncall is NULL!\nActiveTList change completed.\n");
    EXPECT_EQ(run("ACTIVEPLIST 3"),
              ">ACTIVEPLIST 3\nPathList used in functioncall is NULL!\nActivePathList change completed.\n");
}

TEST_F(SceneTranscript, GammaAndFieldOfView) {
    std::string loaded = run("LOAD3DS RotatingCube.3DS " + kDir);
    ASSERT_EQ(scene->groupCount, 1) << loaded;
    EXPECT_EQ(run("GAMMA 0.8"), ">GAMMA 0.8\nGamma value changed.\n");
    EXPECT_FLOAT_EQ(kvxGetGamma(), 0.8f);
    EXPECT_EQ(run("GAMMA 7"), ">GAMMA 7\nGamma value changed.\n");  // out of range: kept
    EXPECT_FLOAT_EQ(kvxGetGamma(), 0.8f);

    EXPECT_EQ(run("FOV 1"), ">FOV 1\nFov value changed.\n");
    EXPECT_FLOAT_EQ(kvxGetFOV(), 1.0f);
    EXPECT_EQ(run("FOV 179"), ">FOV 179\nFov value changed.\n");
    EXPECT_FLOAT_EQ(kvxGetFOV(), 179.0f);
    EXPECT_EQ(run("FOV 0.5", 52), ">FOV 0.5\nInvalid value (value out of range)!\n");
    EXPECT_EQ(run("FOV 180", 52), ">FOV 180\nInvalid value (value out of range)!\n");
    EXPECT_EQ(run("FOV NAN", 52), ">FOV NAN\nInvalid value (value out of range)!\n");
    EXPECT_FLOAT_EQ(kvxGetFOV(), 179.0f);
}

TEST_F(SceneTranscript, FailedLoadAndProgress) {
    static int calls = 0;
    static float lastFraction = -1.0f;
    c.addProgressFunc([](float f) {
        ++calls;
        lastFraction = f;
    });
    run("LOAD3DS TargetCameraAnim.3ds " + kDir);
    ASSERT_EQ(scene->groupCount, 1);
    EXPECT_GT(calls, 0);
    EXPECT_FLOAT_EQ(lastFraction, 1.0f);

    std::string out = run("LOAD3DS missing.3ds " + kDir);
    EXPECT_NE(out.find("Cannot open .3DS file (possible disk error)"), std::string::npos) << out;
    EXPECT_EQ(scene->groupCount, 0);  // the load clears the scene first
    EXPECT_EQ(scene->camera, nullptr);
}

TEST_F(SceneTranscript, ScalerObjectSizesTheScene) {
    const float scaler[9] = {0, 0, 0, 2, 0, 0, 0, 2, 0};
    const float box[9] = {0, 0, 0, 10, 0, 0, 0, 10, 0};
    k3ds::Scene file;
    file.meshes = {triangleObject("SCALER", scaler), triangleObject("BOX", box)};
    std::string path = consoleScratch()("scaler.3ds");
    ASSERT_TRUE(k3ds::saveScene(file, path));

    // A reload does not apply the measuring object again.
    std::string out = run("LOAD3DS " + path + " .");
    ASSERT_EQ(scene->groupCount, 1) << out;
    OGroup* g = scene->groups[0];
    Mesh* s = reinterpret_cast<Mesh*>(g->findObject("SCALER"));
    Mesh* b = reinterpret_cast<Mesh*>(g->findObject("BOX"));
    ASSERT_NE(s, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_FALSE(s->visible);
    EXPECT_TRUE(b->visible);
    EXPECT_NEAR(extentX(s), 1.0f, 1e-4f);
    EXPECT_NEAR(extentX(b), 5.0f, 1e-4f);

    run("RELOAD3DS");
    ASSERT_EQ(scene->groupCount, 1);
    b = reinterpret_cast<Mesh*>(scene->groups[0]->findObject("BOX"));
    ASSERT_NE(b, nullptr);
    EXPECT_NEAR(extentX(b), 10.0f, 1e-4f);
}

}  // namespace
