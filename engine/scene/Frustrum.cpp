#include "scene/Frustrum.h"

#include <cmath>

#include "core/Math.h"
#include "core/VectorOps.h"
#include "render/Engine.h"
#include "scene/Camera.h"
#include "scene/Mesh.h"

namespace {

using namespace kvx_vector;

const float kDegenerate = 0.000001f;

struct Basis {
    Vertex3D forward, up, side;
};

Basis cameraBasis(Camera* camera) {
    Basis b;
    b.forward = sub(camera->target, camera->eye);
    if (length(b.forward) < kDegenerate) {
        camera->target = add(camera->eye, Vertex3D{1.0f, 0.0f, 0.0f});
        b.forward = sub(camera->target, camera->eye);
    }
    b.forward = normalized(b.forward);
    const Vertex3D worldUp{0.0f, 0.0f, 1.0f};
    b.up = sub(worldUp, mul(b.forward, dot(worldUp, b.forward)));
    // Looking straight along z leaves no up direction: +y, which is then
    // perpendicular to forward, takes its place.
    if (length(b.up) < kDegenerate) {
        const Vertex3D fallback{0.0f, 1.0f, 0.0f};
        b.up = sub(fallback, mul(b.forward, dot(fallback, b.forward)));
    }
    b.up = normalized(b.up);
    b.forward = normalized(b.forward);
    b.side = normalized(cross(b.up, b.forward));
    return b;
}

}  // namespace

void kvxMakeFrustrum(Camera* camera, Frustrum* out) {
    if (!camera || !out) return;
    float halfFov = kvxViewport.fov * 0.5f;
    float halfWidth = kvxViewport.aspect * halfFov;
    Basis b = cameraBasis(camera);
    float tV = std::tan(kvxRad(halfFov));
    float tH = std::tan(kvxRad(halfWidth));
    for (int i = 0; i < 4; ++i) out->point[i] = camera->eye;
    Vertex3D fv = mul(b.forward, tV);
    Vertex3D fh = mul(b.forward, tH);
    out->normal[0] = normalized(sub(b.up, fv));
    out->normal[1] = normalized(sub(mul(fv, -1.0f), b.up));
    out->normal[2] = normalized(sub(b.side, fh));
    out->normal[3] = normalized(sub(mul(fh, -1.0f), b.side));
    out->normal[4] = b.forward;
    out->point[4] = add(camera->eye, mul(b.forward, kvxViewport.zFar));
}

bool kvxIsObjectInFrustrum(Frustrum* frustum, Mesh* mesh) {
    if (!frustum || !mesh) return true;
    for (int i = 0; i < 4; ++i) {
        float d = dot(sub(mesh->position, frustum->point[i]), frustum->normal[i]);
        if (d > mesh->radius) return false;
    }
    return true;
}

bool kvxPointInsideObject(Mesh* mesh, Vertex3D* point) {
    if (!mesh || !point || mesh->faceCount < 1 || !mesh->faces || !mesh->vertices) return true;
    for (int f = 0; f < mesh->faceCount; ++f) {
        if (!mesh->isFaceValid(f)) continue;
        const Facelist& fc = mesh->faces[f];
        Vertex3D* corners[3] = {&mesh->vertices[fc.a], &mesh->vertices[fc.b], &mesh->vertices[fc.c]};
        Vertex3D n = calcNormal(corners[0], corners[1], corners[2]);
        for (Vertex3D* c : corners) {
            Vertex3D w = add(*c, mesh->position);
            if (dot(sub(*point, w), n) > 0.0f) return false;
        }
    }
    return true;
}
