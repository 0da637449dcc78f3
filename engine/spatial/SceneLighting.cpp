// Static lighting across every group of a scene: each group's faces shadow
// every other group's vertices; self-illumination and gamma run as passes.

#include <cmath>

#include "render/Engine.h"
#include "scene/Light.h"
#include "scene/Mesh.h"
#include "scene/OGroup.h"
#include "scene/Scene.h"
#include "spatial/LightingTerms.h"
#include "spatial/ShadowIndex.h"
#include "texture/Material.h"

using namespace kvx_spatial;

namespace {

// Blends the corners of self-illuminated faces towards white.
void selfIlluminationPass(Mesh* m, TList* list) {
    if (m->faces == nullptr) return;
    for (int f = 0; f < m->faceCount; ++f) {
        Material* mat = materialOf(list, m, f);
        if (mat == nullptr || !(mat->selfIllumination > 0.0f)) continue;
        const float s = mat->selfIllumination;
        const int corner[3] = {m->faces[f].a, m->faces[f].b, m->faces[f].c};
        for (int v : corner) {
            if (v >= m->vertexCount) continue;
            Color& c = m->originalColors[v];
            c = Color{(1.0f - s) * c.r + s, (1.0f - s) * c.g + s, (1.0f - s) * c.b + s, 0.0f};
        }
    }
}

void gammaPass(Mesh* m) {
    const float gamma = kvxGetGamma();
    for (int v = 0; v < m->vertexCount; ++v) {
        Color& c = m->originalColors[v];
        c.r = std::pow(c.r, gamma);
        c.g = std::pow(c.g, gamma);
        c.b = std::pow(c.b, gamma);
    }
}

}  // namespace

bool Scene::checkRay(Light* light, Vertex3D* point, Vertex3D* offset) {
    if (light == nullptr || point == nullptr || offset == nullptr) return true;
    const Vertex3D target = lightingPoint(*point, *offset);
    for (int g = 0; g < groupCount; ++g) {
        OGroup* group = groups[g];
        if (group != nullptr && !directlyLit(group->meshes, group->meshCount, light->location, target)) return false;
    }
    return true;
}

void Scene::calcDynamicLight(Light* light, int flags) {
    const bool lighting = !(flags & (kLightSelfIllumination | kLightGamma)) && light != nullptr;
    ShadowIndex index;
    const bool indexed = lighting && (flags & kLightShadows) && kvxShadowIndexEnabled;
    if (indexed) {
        for (int g = 0; g < groupCount; ++g)
            if (groups[g] != nullptr) index.addMeshes(groups[g]->meshes, groups[g]->meshCount);
        index.build();
    }
    for (int g = 0; g < groupCount; ++g) {
        OGroup* group = groups[g];
        if (group == nullptr) continue;
        for (int i = 0; i < group->meshCount; ++i) {
            Mesh* m = group->meshes[i];
            if (m == nullptr || m->originalColors == nullptr) continue;
            if (flags & kLightReset) resetColors(m);
            if (flags & kLightSelfIllumination) {
                selfIlluminationPass(m, group->activeTList);
                continue;
            }
            if (flags & kLightGamma) {
                gammaPass(m);
                continue;
            }
            if (!lighting) continue;
            lightVertices(m, light, flags, false, [&](int v, const Vertex3D& p) {
                return indexed ? index.isLit(light->location, p) : checkRay(light, &m->vertices[v], &m->position);
            });
        }
    }
}

void Scene::calcDynamicLights(int flags) {
    // The pass bits request passes after the lights; the first light itself is lit.
    const int firstLightFlags = flags & ~(kLightSelfIllumination | kLightGamma);
    bool first = true;
    for (int g = 0; g < groupCount; ++g) {
        OGroup* group = groups[g];
        if (group == nullptr) continue;
        for (int i = 0; i < group->lightCount; ++i) {
            calcDynamicLight(group->lights[i], first && g == 0 ? firstLightFlags : 0);
            first = false;
        }
    }
    if (flags & kLightGamma) calcDynamicLight(nullptr, kLightGamma);
    calcDynamicLight(nullptr, kLightSelfIllumination);
}
