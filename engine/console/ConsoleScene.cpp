// Console commands that act on the assigned scene and its first group.

#include "console/Console.h"

#include <cinttypes>
#include <cstdint>
#include <cstring>

#include "console/ConsoleMessages.h"
#include "import3ds/Import3DS.h"
#include "render/ErrorLog.h"
#include "scene/Camera.h"
#include "scene/KVXPath.h"
#include "scene/Mesh.h"
#include "scene/OGroup.h"
#include "scene/Scene.h"
#include "texture/Material.h"
#include "texture/TList.h"

namespace {

const int kLightModeRaytraced = 2;
const int kReloadFlags = kvxLoadClearFirst | kvxLoadMeshes | kvxLoadLights | kvxLoadCameras | kvxLoadKeyframer |
                         kvxLoadMaterials | kvxLoadLighting;
const int kReloadFlagsSmooth = kReloadFlags | kvxLoadSmoothing;
const int kLoadFlags = kReloadFlags | kvxLoadTrueColor;
const int kLoadFlagsSmooth = kLoadFlags | kvxLoadSmoothing;
const int kFlagsAnimationOnly = kvxLoadKeyframer;
const int kFlagsMaterialsOnly = 0;
const char kScalerName[] = "SCALER";
const float kScalerSize = 1.0f;

// Switches follow the file name and the material directory: the text after the
// line's third space. Paths on this platform are full of "/X"-like pairs, so the
// name and directory are never searched.
const char* switchWords(const char* upperLine) {
    const char* p = upperLine;
    for (int spaces = 0; spaces < 3; ++spaces) {
        p = strchr(p, ' ');
        if (!p) return "";
        ++p;
    }
    return p;
}

bool hasSwitch(const char* switches, const char* sw) { return strstr(switches, sw) != nullptr; }

// The first group's mesh of that name, if it is a mesh at all.
Mesh* findMesh(OGroup* g, const char* name) {
    Object* o = g->findObject(name);
    for (int i = 0; i < g->meshCount; ++i)
        if (reinterpret_cast<Object*>(g->meshes[i]) == o) return g->meshes[i];
    return nullptr;
}
}  // namespace

OGroup* Console::firstGroup() const {
    if (!scene || scene->groupCount <= 0) return nullptr;
    return scene->groups[0];
}

void Console::relightFirstGroup() {
    if (OGroup* g = firstGroup()) g->applyLights();
}

// The group checks the index itself and logs an empty or invalid slot.
void Console::selectInFirstGroup(Selection what, int n) {
    OGroup* g = firstGroup();
    if (!g) return;
    switch (what) {
        case selectTList: g->setActiveTList(n); break;
        case selectPathList: g->setActivePathList(n); break;
        case selectCamera: g->setActiveCamera(n); break;
    }
}

void Console::clearFirstGroup() {
    if (OGroup* g = firstGroup()) scene->deleteOGroup(g);
}

int Console::loadScene(const char* name, const char* matdir, const char* upperLine, bool reload) {
    if (!scene) return kvxPutToErrorLog(kMsgSceneNull, kCodeSceneNull);
    if (reload && !upperLine[0]) return 0;  // nothing loaded yet: keep the scene as it is
    const char* switches = switchWords(upperLine);
    bool smooth = hasSwitch(switches, "/S");
    int flags = reload ? (smooth ? kReloadFlagsSmooth : kReloadFlags) : (smooth ? kLoadFlagsSmooth : kLoadFlags);
    if (hasSwitch(switches, "/X")) flags |= kvxLoadBrighten;
    if (hasSwitch(switches, "/C")) flags |= kvxLoadWeld;
    if (hasSwitch(switches, "/O")) flags |= kvxLoadOctree;
    int lightMode = hasSwitch(switches, "/R") ? kLightModeRaytraced : 0;

    bool animationOnly = hasSwitch(switches, "/A");
    if (animationOnly || hasSwitch(switches, "/M")) {
        if (scene->groupCount > 0)
            scene->insertMesh(0, name, animationOnly ? kFlagsAnimationOnly : kFlagsMaterialsOnly, matdir, nullptr);
        return 0;
    }
    scene->createOGroup(name, flags, matdir, lightMode, progressFunc, nullptr);
    if (reload) return 0;
    OGroup* g = firstGroup();
    if (!g) return 0;
    if (Mesh* scaler = findMesh(g, kScalerName)) {
        scaler->visible = false;
        g->adjustSize(scaler, kScalerSize);
    }
    return 0;
}

void Console::SceneInfo() {
    if (!scene) return;
    int meshes = 0, lights = 0, cameras = 0, tlists = 0, materials = 0;
    int pathLists = 0, paths = 0, sources = 0, vertices = 0, faces = 0;
    for (int gi = 0; gi < scene->groupCount; ++gi) {
        OGroup* g = scene->groups[gi];
        if (!g) continue;
        meshes += g->meshCount;
        lights += g->lightCount;
        cameras += g->cameraCount;
        tlists += g->tlistCount;
        pathLists += g->pathListCount;
        sources += g->particleSourceCount;
        if (g->tlistCount > 0 && g->tlists[0]) {
            Material* last = g->tlists[0]->seekLastMaterial();
            if (last) materials += last->id;
        }
        for (int p = 0; p < g->pathListCount; ++p)
            if (g->pathLists[p]) paths += g->pathLists[p]->pathCount;
        for (int m = 0; m < g->meshCount; ++m) {
            if (!g->meshes[m]) continue;
            vertices += g->meshes[m]->vertexCount;
            faces += g->meshes[m]->faceCount;
        }
    }
    addText("Scene information\n");
    addTextf("  Number of OGroups: %d\n", scene->groupCount);
    addTextf("  Total number of mesh objects: %d\n", meshes);
    addTextf("  Total number of lights: %d\n", lights);
    addTextf("  Total number of cameras: %d\n", cameras);
    addTextf("  Total number of TLists: %x\n", tlists);
    addTextf("    Total number of Materials in TLists: %d\n", materials);
    addTextf("  Total number of PathLists: %x\n", pathLists);
    addTextf("    Total number of Paths in PathLists: %d\n", paths);
    addTextf("  Total number of ParticleSource: %x\n", sources);
    if (Camera* c = scene->camera)
        addTextf("  Active camera: %" PRIxPTR " (%s)\n", reinterpret_cast<uintptr_t>(c), c->name ? c->name : "");
    else
        addText("  Active camera is NULL\n");
    addTextf("Total vertices: %d Total faces: %d", vertices, faces);
}
