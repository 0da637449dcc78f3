#include "scene/Scene.h"

#include "import3ds/Import3DS.h"
#include "render/ErrorLog.h"
#include "render/RenderState.h"
#include "scene/Camera.h"
#include "scene/OGroup.h"
#include "scene/SceneMessages.h"

namespace {

bool ownsCamera(const OGroup* g, const Camera* c) {
    for (int i = 0; i < g->cameraCount; ++i)
        if (g->cameras[i] == c) return true;
    return false;
}

}  // namespace

Scene::Scene() : groupCount(0), camera(nullptr), parameters(new SceneParams()) {
    for (OGroup*& g : groups) g = nullptr;
}

Scene::~Scene() {
    for (int i = 0; i < groupCount; ++i) {
        delete groups[i];
        groups[i] = nullptr;
    }
    groupCount = 0;
    delete parameters;
}

OGroup* Scene::createOGroup(const char* fileName, int flags, const char* textureDirectory, int lightParameter,
                            void (*progress)(float), const char* archive) {
    if (flags & kvxLoadClearFirst)
        while (groupCount > 0) deleteOGroup(groups[groupCount - 1]);
    if (groupCount >= maxGroups) return nullptr;
    OGroup* group = new OGroup();
    groups[groupCount++] = group;
    if (load3ds(fileName, group, textureDirectory, flags, progress, archive) != 0) {
        deleteOGroup(group);
        return nullptr;
    }
    if (!camera && group->cameraCount > 0) setCamera(group, 0);
    if (flags & kvxLoadLighting) group->calcDynamicLights(lightParameter);
    return group;
}

int Scene::getOGID(OGroup* group) {
    for (int i = 0; i < groupCount; ++i)
        if (groups[i] == group) return i;
    return -1;
}

int Scene::insertMesh(int index, const char* fileName, int flags, const char* textureDirectory, const char* archive) {
    if (index < 0 || index >= groupCount) return kvxPutToErrorLog(kMsgGroupNotFound, kCodeGroupNotFound);
    return load3ds(fileName, groups[index], textureDirectory, flags, nullptr, archive);
}

int Scene::insertMesh(OGroup* group, const char* fileName, int flags, const char* textureDirectory,
                      const char* archive) {
    int index = getOGID(group);
    if (index < 0) return kvxPutToErrorLog(kMsgGroupNotFound, kCodeGroupNotFound);
    return insertMesh(index, fileName, flags, textureDirectory, archive);
}

int Scene::deleteOGroup(OGroup* group) {
    int index = getOGID(group);
    if (index < 0 || !group) return kvxPutToErrorLog(kMsgGroupNotFound, kCodeGroupNotFound);
    for (int i = index; i + 1 < groupCount; ++i) groups[i] = groups[i + 1];
    groups[--groupCount] = nullptr;
    if (camera && ownsCamera(group, camera)) camera = nullptr;
    delete group;
    return 0;
}

int Scene::render(int flags) {
    kvxInitMatrix();
    kvxLookWithCamera(camera);
    for (int i = 0; i < groupCount; ++i) groups[i]->render(flags, camera);
    return 0;
}

int Scene::render(int index, int flags) {
    kvxInitMatrix();
    kvxLookWithCamera(camera);
    if (index >= 0 && index < groupCount && groups[index]) groups[index]->render(flags, camera);
    return 0;
}

int Scene::setCamera(OGroup* group, int index) {
    if (!group || index < 0 || index >= group->cameraCount)
        return kvxPutToErrorLog(kMsgCameraNotFound, kCodeCameraNotFound);
    camera = group->cameras[index];
    kvxSetFOV(camera);
    return 0;
}

int Scene::setParameters(SceneParams* p) {
    if (p) *parameters = *p;
    return 0;
}

SceneParams* Scene::getParameters() { return parameters; }

// Materials need no preparation for the OpenGL rasterizer.
void Scene::prepareMaterialsForDX() {}
