// The generated scenes through the engine: they import with the demo's flags,
// hold what the show relies on, and render to pictures with something in them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SharedData.h"
#include "TestWindow.h"
#include "import3ds/Import3DS.h"
#include "render/Engine.h"
#include "render/RenderState.h"
#include "render/TextureUpload.h"
#include "scene/Camera.h"
#include "scene/KVXPath.h"
#include "scene/Light.h"
#include "scene/Mesh.h"
#include "scene/OGroup.h"
#include "scene/RenderFlags.h"
#include "scene/Scene.h"
#include "texture/Material.h"
#include "texture/TList.h"
#include "texture/Texture.h"

namespace {

struct Level {
    const char* file;
    int flags;
    int lastFrame;  // the show plays frames up to here
    std::vector<const char*> named;
};

const Level kLevels[] = {
    {"level01.dat", kvxLoadScene | kvxLoadClearFirst, 2950, {"PARTICLE1"}},
    {"level02.dat", kvxLoadScene, 490, {"PARTICLE1"}},
    {"level03.dat", kvxLoadScene, 500, {"CUBE1", "CUBE2"}},
};

int lastKeyFrame(const KVXPath* p) { return p->keyCount >= 2 ? p->keys[p->keyCount - 2].frame : -1; }

struct Loaded {
    Scene scene;
    OGroup* groups[3] = {};
    std::string dir;
    bool load() {
        dir = sharedDataDir();
        if (dir.empty()) return false;
        std::string base = dir + "/";
        kvxSetMipMapType(kvxMipMapTrilinear);
        kvxSetFOV(80);
        kvxSetGamma(0.7f);
        for (int i = 0; i < 3; ++i) {
            std::string path = base + kLevels[i].file;
            groups[i] = scene.createOGroup(path.c_str(), kLevels[i].flags, base.c_str(), 16, nullptr, nullptr);
            if (!groups[i]) return false;
            groups[i]->setCurrentFrame(0);
        }
        return true;
    }
};

}  // namespace

TEST(GeneratedScenes, ImportWithEverythingTheShowUses) {
    TestWindow window;
    ASSERT_EQ(window.result, 0);
    Loaded l;
    ASSERT_TRUE(l.load());
    for (int i = 0; i < 3; ++i) {
        const Level& lv = kLevels[i];
        OGroup* g = l.groups[i];
        SCOPED_TRACE(lv.file);
        int faces = 0;
        bool hierarchy = false;
        for (int m = 0; m < g->meshCount; ++m) {
            faces += g->meshes[m]->faceCount;
            hierarchy = hierarchy || g->meshes[m]->parent != nullptr;
        }
        EXPECT_GE(faces, 5000);
        EXPECT_LE(faces, 30000);
        EXPECT_TRUE(hierarchy);
        EXPECT_GE(g->lightCount, 1);
        ASSERT_GE(g->cameraCount, 1);
        EXPECT_TRUE(g->animated);
        EXPECT_GE(g->frameCount, lv.lastFrame);
        for (const char* name : lv.named) EXPECT_NE(g->findObject(name), nullptr) << name;

        // The camera's eye and target paths run through every frame played.
        Camera* cam = g->cameras[0];
        bool eye = false, target = false;
        ASSERT_NE(g->activePathList, nullptr);
        for (int p = 0; p < g->activePathList->pathCount; ++p) {
            KVXPath* path = g->activePathList->paths[p];
            if (path->object != reinterpret_cast<Object*>(cam) || path->track != 0) continue;
            EXPECT_EQ(path->keys[0].frame, 0);
            EXPECT_GE(lastKeyFrame(path), lv.lastFrame);
            (path->nodeType == 7 ? eye : target) = true;
        }
        EXPECT_TRUE(eye);
        EXPECT_TRUE(target);

        // Transparent materials with merged opacity maps, and an image-list animation.
        bool opacity = false, animatedTexture = false;
        ASSERT_NE(g->activeTList, nullptr);
        for (Material* m = g->activeTList->head; m; m = m->next) {
            if (!m->firstTexture) continue;
            opacity = opacity || (m->opacityTexture && m->firstTexture->alphaType == 13);
            animatedTexture = animatedTexture || m->firstTexture->frames > 1;
        }
        EXPECT_TRUE(opacity);
        EXPECT_TRUE(animatedTexture);
    }
}

namespace {

struct Shot {
    int level;
    int frame;
    float fov;
    Color clear;
    bool fog;
    Color fogColor;
    float fogEnd;
    const char* name;
};

// A frame of each passage, drawn the way the show draws it.
void render(Loaded& l, const Shot& s) {
    OGroup* g = l.groups[s.level];
    l.scene.setCamera(g, 0);
    g->setCurrentFrame(s.frame);
    Color clear = s.clear;
    kvxSetClearColor(&clear);
    if (s.fog)
        kvxSetFog(s.fogColor, 1, s.fogEnd);
    else
        kvxDisable(KVX_FOG);
    kvxClear();
    kvxSetFOV(s.fov);
    Viewport* v = kvxGetViewport();
    v->zFar = 3000;
    v->zNear = 0.1f;
    kvxSetViewport(v);
    int id = l.scene.getOGID(g);
    kvxDisable(KVX_ALPHA_TEST);
    l.scene.render(id, kvxRenderOpaquePass);
    kvxEnable(KVX_ALPHA_TEST);
    l.scene.render(id, kvxRenderTransparentPass);
    if (s.level == 2) {
        Object* cage = g->findObject("CUBE1");
        Object* core = g->findObject("CUBE2");
        cage->visible = true;
        core->visible = false;
        kvxDisable(KVX_ALPHA_TEST);
        l.scene.render(id, kvxRenderOpaquePass | kvxRenderWireframe);
        kvxEnable(KVX_ALPHA_TEST);
        l.scene.render(id, kvxRenderTransparentPass | kvxRenderWireframe);
        cage->visible = false;
        core->visible = true;
    }
}

}  // namespace

TEST(GeneratedScenes, EveryPassageRendersAPicture) {
    TestWindow window;
    ASSERT_EQ(window.result, 0);
    Loaded l;
    ASSERT_TRUE(l.load());
    l.groups[2]->findObject("CUBE1")->visible = false;
    const Color black{0, 0, 0, 1}, pink{0.5f, 0.15f, 0.35f, 1}, magenta{1, 0, 1, 1};
    const Shot shots[] = {
        {0, 100, 50, black, false, black, 0, "level01_0100"},
        {0, 400, 70, black, false, black, 0, "level01_0400"},
        {0, 585, 70, black, false, black, 0, "level01_0585"},
        {0, 700, 120, black, false, black, 0, "level01_0700"},
        {0, 950, 70, black, false, black, 0, "level01_0950"},
        {0, 1300, 70, pink, false, black, 0, "level01_1300"},
        {0, 1500, 70, pink, false, black, 0, "level01_1500"},
        {0, 2200, 70, black, false, black, 0, "level01_2200"},
        {0, 2500, 70, black, false, black, 0, "level01_2500"},
        {0, 2900, 70, black, false, black, 0, "level01_2900"},
        {1, 60, 70, pink, true, pink, 700, "level02_0060"},
        {1, 250, 70, pink, true, pink, 700, "level02_0250"},
        {1, 450, 70, pink, true, pink, 700, "level02_0450"},
        {2, 50, 120, magenta, true, magenta, 150, "level03_0050"},
        {2, 300, 120, magenta, true, magenta, 150, "level03_0300"},
    };
    for (const Shot& s : shots) {
        SCOPED_TRACE(s.name);
        render(l, s);
        window.save(TestWindow::outputPath(std::string(s.name) + ".png"));
        int covered = 0, total = 0;
        int cr = int(s.clear.r * 255), cg = int(s.clear.g * 255), cb = int(s.clear.b * 255);
        for (int y = 0; y < TestWindow::kHeight; y += 8)
            for (int x = 0; x < TestWindow::kWidth; x += 8, ++total)
                covered += !colorNear(window.readPixel(x, y), cr, cg, cb, 12);
        EXPECT_GT(covered, total / 4) << "mostly background";
        kvxSwapBuffers();
    }
}
