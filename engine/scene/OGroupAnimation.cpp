// Animation and drawing of a group: placing objects along their keyframe
// tracks, the camera's path, culling and the per-mesh draw calls.

#include <cmath>

#include "render/ErrorLog.h"
#include "render/RenderState.h"
#include "scene/Camera.h"
#include "scene/Frustrum.h"
#include "scene/KVXPath.h"
#include "scene/Mesh.h"
#include "scene/OGroup.h"
#include "scene/RenderFlags.h"
#include "scene/SceneMessages.h"
#include "texture/Material.h"
#include "texture/TList.h"
#include "texture/Texture.h"

namespace {

// Deeper hierarchies than this are cut: a chain a host built by hand may
// loop, and a group holds fewer objects than this anyway.
const int kMaxHierarchyDepth = OGroup::maxMeshs + OGroup::maxCameras + OGroup::maxLights;

float lerp(float a, float b, float t) { return a + (b - a) * t; }

Vertex3D lerp(const Vertex3D& a, const Vertex3D& b, float t) {
    return Vertex3D{lerp(a.x, b.x, t), lerp(a.y, b.y, t), lerp(a.z, b.z, t)};
}

// Index of the first key at or after frame f (keyCount when none is).
int firstKeyFrom(const KVXPath* p, int f) {
    int i = 0;
    while (i < p->keyCount && p->keys[i].frame < f) ++i;
    return i;
}

float keyFraction(const KVXPath* p, int i, int f) {
    int d = p->keys[i].frame - p->keys[i - 1].frame;
    if (d == 0) d = 1;
    return static_cast<float>(f - p->keys[i - 1].frame) / static_cast<float>(d);
}

Vertex3D interpolatePosition(const KVXPath* p, int f) {
    int i = firstKeyFrom(p, f);
    if (i >= 1 && i < p->keyCount) return lerp(p->keys[i - 1].position, p->keys[i].position, keyFraction(p, i, f));
    return i == 0 ? p->keys[0].position : p->keys[p->keyCount - 1].position;
}

// Scalar tracks change the value only between two keys.
bool interpolateScalar(const KVXPath* p, int f, float& value) {
    int i = firstKeyFrom(p, f);
    if (i < 1 || i >= p->keyCount) return false;
    value = lerp(p->keys[i - 1].value, p->keys[i].value, keyFraction(p, i, f));
    return true;
}

void rotateAboutNegated(float angle, const Vertex3D& axis) {
    // A zero angle or axis is no rotation; the axis would not normalise.
    if (angle == 0.0f || (axis.x == 0.0f && axis.y == 0.0f && axis.z == 0.0f)) return;
    kvxRotate(angle, -axis.x, -axis.y, -axis.z);
}

// Keys are relative: the orientation at frame f is the part of the key being
// approached, then every earlier key in full. The closing key only ends the
// search; it carries no rotation of its own, so past the last real key the
// orientation stays where the last key left it.
void applyRotationTrack(const KVXPath* p, int f) {
    int k = p->keyCount;
    if (k <= 2) {
        rotateAboutNegated(p->keys[0].angle, p->keys[0].axis);
        return;
    }
    int j = 0;
    while (j < k && p->keys[j].frame <= f) ++j;
    if (j == 0) return;
    int lastReal = k - 2;
    if (j <= lastReal) rotateAboutNegated(keyFraction(p, j, f) * p->keys[j].angle, p->keys[j].axis);
    for (int i = (j < k ? j : k) - 1; i >= 0; --i)
        if (i <= lastReal) rotateAboutNegated(p->keys[i].angle, p->keys[i].axis);
}

bool isCamera(OGroup* g, Object* o) {
    for (int i = 0; i < g->cameraCount; ++i)
        if (g->cameras[i] == o) return true;
    return false;
}

bool isMesh(OGroup* g, Object* o) {
    for (int i = 0; i < g->meshCount; ++i)
        if (g->meshes[i] == o) return true;
    return false;
}

void advanceFrame(Texture* t) {
    if (!t || t->frames < 2) return;
    if (++t->currentFrame >= t->frames) t->currentFrame = 0;
}

void copyMatrix(const double* in, float* out) {
    for (int i = 0; i < 16; ++i) out[i] = static_cast<float>(in[i]);
}

}  // namespace

KVXPath* OGroup::findTrack(Object* object, int track, int nodeType) {
    if (!activePathList || !object) return nullptr;
    for (int i = 0; i < activePathList->pathCount; ++i) {
        KVXPath* p = activePathList->paths[i];
        if (!p || p->object != object || p->track != track || p->keyCount < 1) continue;
        if (nodeType != 0 && p->nodeType != nodeType) continue;
        return p;
    }
    return nullptr;
}

void OGroup::setCurrentFrame(int frame) {
    currentFrame = frame;
    if (frameCount <= 0) {
        currentFrame = 0;
        return;
    }
    if (!clampFrames)
        currentFrame = frame % frameCount;
    else if (frame >= frameCount)
        currentFrame = frameCount - 1;
}

void OGroup::staticTransform(Object* o) {
    kvxTranslate(o->position.x, o->position.y, o->position.z);
    kvxTranslate(-o->pivot.x, -o->pivot.y, -o->pivot.z);
    if (o->rotation.z != 0.0f) kvxRotate(o->rotation.z, 0.0f, 0.0f, 1.0f);
    if (o->rotation.y != 0.0f) kvxRotate(o->rotation.y, 0.0f, 1.0f, 0.0f);
    if (o->rotation.x != 0.0f) kvxRotate(o->rotation.x, 1.0f, 0.0f, 0.0f);
    kvxTranslate(o->pivot.x, o->pivot.y, o->pivot.z);
}

void OGroup::placeObject(Object* o, bool animate) {
    if (animate)
        doAnimation(o, o);
    else
        staticTransform(o);
}

bool OGroup::doObjectAnim(Object* object, Object* self) {
    if (!object) return false;
    if (KVXPath* position = findTrack(object, KVXPath::trackPosition, 0)) {
        Vertex3D p = position->keyCount < 3 ? position->keys[0].position : interpolatePosition(position, currentFrame);
        kvxTranslate(p.x, p.y, p.z);
    }
    KVXPath* rotation = findTrack(object, KVXPath::trackRotation, 0);
    if (rotation) applyRotationTrack(rotation, currentFrame);
    if (KVXPath* scale = findTrack(object, KVXPath::trackScale, 0)) {
        Vertex3D s = interpolatePosition(scale, currentFrame);
        kvxScale(s.x, s.y, s.z);
    }
    if (!rotation) return false;
    if (object == self) kvxTranslate(-object->pivot.x, -object->pivot.y, -object->pivot.z);
    return true;
}

int OGroup::animate(Object* object, Object* self, int depth) {
    if (object->parent && depth < kMaxHierarchyDepth) animate(object->parent, self, depth + 1);
    doObjectAnim(object, self);
    return 0;
}

int OGroup::doAnimation(Object* object, Object* self) {
    if (!activePathList) return kvxPutToErrorLog(kMsgPathListNull, kCodePathListNull);
    if (!object) return 0;
    return animate(object, self, 0);
}

void OGroup::doCameraAnim(Camera* camera) {
    if (!camera) return;
    if (KVXPath* eye = findTrack(camera, KVXPath::trackPosition, KVXPath::nodeCamera))
        camera->eye = interpolatePosition(eye, currentFrame);
    if (KVXPath* roll = findTrack(camera, KVXPath::trackScalar, 0)) interpolateScalar(roll, currentFrame, camera->roll);
    if (KVXPath* target = findTrack(camera, KVXPath::trackPosition, KVXPath::nodeTarget))
        camera->target = interpolatePosition(target, currentFrame);
}

int OGroup::animateTextures() {
    if (!activeTList) return 0;
    for (Material* m = activeTList->head; m; m = m->next) {
        advanceFrame(m->firstTexture);
        advanceFrame(m->secondTexture);
        advanceFrame(m->opacityTexture);
        advanceFrame(m->reflectionTexture);
    }
    return 0;
}

int OGroup::render(int flags, Camera* camera) {
    // Without a camera nothing can be drawn or recorded.
    if (!camera) return 0;
    if (flags & kvxRenderCamera) {
        doCameraAnim(camera);
        kvxInitMatrix();
        kvxLookWithCamera(camera);
    }
    Frustrum frustum;
    if (flags & kvxRenderCull) kvxMakeFrustrum(camera, &frustum);
    if (flags & kvxRenderAnimateTextures) animateTextures();
    for (int i = 0; i < meshCount; ++i) {
        Mesh* mesh = meshes[i];
        if ((flags & kvxRenderCull) && !kvxIsObjectInFrustrum(&frustum, mesh)) continue;
        if (mesh->facesCamera) mesh->rotation.z = camera->rotation.x;
        kvxPushMatrix();
        placeObject(mesh, animated);
        mesh->render(flags, activeTList);
        kvxPopMatrix();
    }
    return 0;
}

int OGroup::renderObject(Object* object, int flags) {
    if (!object) return kvxPutToErrorLog(kMsgObjectNull, kCodeObjectNull);
    if (!isMesh(this, object)) return kvxPutToErrorLog(kMsgObjectNotFound, kCodeObjectNotFound);
    if (flags & kvxRenderAnimateTextures) animateTextures();
    bool animate = animated && !(flags & kvxRenderStatic);
    kvxPushMatrix();
    placeObject(object, animate);
    static_cast<Mesh*>(object)->render(flags, activeTList);
    kvxPopMatrix();
    if (animate && ++currentFrame > frameCount) currentFrame = 0;
    return 0;
}

void OGroup::transformVertices(Mesh* mesh) {
    if (!mesh) return;
    double m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    kvxPushMatrix();
    kvxInitMatrix();
    placeObject(mesh, animated);
    kvxGetModelViewMatrix(m);
    kvxPopMatrix();
    if (!mesh->worldVertices || !mesh->vertices) return;
    for (int i = 0; i < mesh->vertexCount; ++i) {
        const Vertex3D& v = mesh->vertices[i];
        mesh->worldVertices[i] = Vertex3D{static_cast<float>(m[0] * v.x + m[4] * v.y + m[8] * v.z + m[12]),
                                          static_cast<float>(m[1] * v.x + m[5] * v.y + m[9] * v.z + m[13]),
                                          static_cast<float>(m[2] * v.x + m[6] * v.y + m[10] * v.z + m[14])};
    }
}

void OGroup::getObjectAnimatedMatrix(Object* object, float* matrix) {
    if (!object || !matrix) return;
    double m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    kvxPushMatrix();
    kvxInitMatrix();
    placeObject(object, animated);
    kvxGetModelViewMatrix(m);
    kvxPopMatrix();
    copyMatrix(m, matrix);
}

void OGroup::getObjectAnimatedMatrixWithCamera(Object* object, float* modelview, float* projection, int* viewport) {
    if (!object) return;
    kvxPushMatrix();
    placeObject(object, animated);
    if (modelview) kvxGetModelViewMatrix(modelview);
    if (projection) kvxGetProjectionMatrix(projection);
    if (viewport) kvxGetViewportMatrix(viewport);
    kvxPopMatrix();
}

void OGroup::overrideObjectPosition(const char* name, Vertex3D* position, Vertex4D* rotation) {
    Object* o = findObject(name);
    if (!o || !activePathList) return;
    KVXPath* track = findTrack(o, KVXPath::trackPosition, isCamera(this, o) ? KVXPath::nodeCamera : 0);
    if (track && position) {
        track->keyCount = 1;
        track->keys[0].position = *position;
    }
    if (!rotation) return;
    if (KVXPath* turn = findTrack(o, KVXPath::trackRotation, 0)) {
        turn->keyCount = 1;
        turn->keys[0].axis = Vertex3D{rotation->x, rotation->y, rotation->z};
        turn->keys[0].angle = rotation->w;
    }
}
