// Static per-vertex lighting of one object group, with optional ray-cast
// shadows, and the lights file that stores its result.

#include <cmath>
#include <cstdio>
#include <vector>

#include "core/Math.h"
#include "platform/FileSystem.h"
#include "render/Engine.h"
#include "render/ErrorLog.h"
#include "scene/Light.h"
#include "scene/Mesh.h"
#include "scene/OGroup.h"
#include "spatial/LightingTerms.h"
#include "spatial/ShadowIndex.h"
#include "spatial/SpatialMessages.h"
#include "texture/Material.h"

#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ != __ORDER_LITTLE_ENDIAN__
#error "the lights file holds little-endian floats; this build writes them natively"
#endif

using namespace kvx_spatial;

namespace {

bool hasColorArrays(const Mesh* m) {
    return m != nullptr && m->vertices != nullptr && m->normals != nullptr && m->originalColors != nullptr;
}

// Corners of self-illuminated faces start at their material's level.
void setSelfIllumination(Mesh* m, TList* list) {
    if (list == nullptr || m->faces == nullptr) return;
    for (int f = 0; f < m->faceCount; ++f) {
        Material* mat = materialOf(list, m, f);
        if (mat == nullptr || !(mat->selfIllumination > 0.0f)) continue;
        float s = mat->selfIllumination;
        clamp(&s, 0.0f, 1.0f);
        const int corner[3] = {m->faces[f].a, m->faces[f].b, m->faces[f].c};
        for (int v : corner)
            if (v < m->vertexCount) m->originalColors[v] = Color{s, s, s, 0.0f};
    }
}

}  // namespace

bool OGroup::checkRay(Light* light, Vertex3D* point, Vertex3D* offset) {
    if (light == nullptr || point == nullptr || offset == nullptr) return true;
    return directlyLit(meshes, meshCount, light->location, lightingPoint(*point, *offset));
}

void OGroup::calcDynamicLight(Light* light, int flags) {
    ShadowIndex index;
    const bool indexed = (flags & kLightShadows) && kvxShadowIndexEnabled && light != nullptr;
    if (indexed) {
        index.addMeshes(meshes, meshCount);
        index.build();
    }
    for (int i = 0; i < meshCount; ++i) {
        Mesh* m = meshes[i];
        if (!hasColorArrays(m)) continue;
        if (flags & kLightReset) {
            resetColors(m);
            setSelfIllumination(m, activeTList);
        }
        if (light == nullptr) continue;
        lightVertices(m, light, flags, true, [&](int v, const Vertex3D& p) {
            return indexed ? index.isLit(light->location, p) : checkRay(light, &m->vertices[v], &m->position);
        });
    }
}

void OGroup::calcDynamicLights(int flags) {
    if (lightCount > 0) {
        calcDynamicLight(lights[0], flags | kLightReset);
        for (int i = 1; i < lightCount; ++i) calcDynamicLight(lights[i], 0);
    }
    applyLights();
}

void OGroup::applyLights() {
    for (int i = 0; i < meshCount; ++i) {
        Mesh* m = meshes[i];
        if (m == nullptr || m->colors == nullptr || m->originalColors == nullptr) continue;
        const float g = 1.0f / kvxGetGamma();
        for (int v = 0; v < m->vertexCount; ++v) {
            const Color& o = m->originalColors[v];
            Color& c = m->colors[v];
            c.r = std::pow(o.r, g);
            c.g = std::pow(o.g, g);
            c.b = std::pow(o.b, g);
            clamp(&c.r, 0.0f, 1.0f);
            clamp(&c.g, 0.0f, 1.0f);
            clamp(&c.b, 0.0f, 1.0f);
        }
    }
}

void OGroup::saveLights(const char* fileName) {
    FILE* f = fileName != nullptr ? kvxOpenFile(fileName, "wb") : nullptr;
    if (f == nullptr) {
        kvxPutToErrorLog(kMsgLightsFileOpen, kCodeLightsFileOpen);
        return;
    }
    const Color none{0.0f, 0.0f, 0.0f, 0.0f};
    for (int i = 0; i < meshCount; ++i) {
        const Mesh* m = meshes[i];
        if (m == nullptr || m->vertexCount < 1) continue;
        if (m->originalColors != nullptr) {
            std::fwrite(m->originalColors, sizeof(Color), size_t(m->vertexCount), f);
            continue;
        }
        // Keep the layout the reader expects even for a mesh without colours.
        for (int v = 0; v < m->vertexCount; ++v) std::fwrite(&none, sizeof(Color), 1, f);
    }
    std::fclose(f);
}

void OGroup::loadLights(const char* fileName) {
    FILE* f = fileName != nullptr ? kvxOpenFile(fileName, "rb") : nullptr;
    if (f == nullptr) {
        kvxPutToErrorLog(kMsgLightsFileOpen, kCodeLightsFileOpen);
        return;
    }
    size_t total = 0;
    for (int i = 0; i < meshCount; ++i)
        if (meshes[i] != nullptr && meshes[i]->vertexCount > 0) total += size_t(meshes[i]->vertexCount);
    // Read everything first so that a short file leaves every colour as it was.
    std::vector<Color> data(total);
    size_t got = total > 0 ? std::fread(data.data(), sizeof(Color), total, f) : 0;
    std::fclose(f);
    if (got < total) {
        kvxPutToErrorLog(kMsgLightsFileShort, kCodeLightsFileShort);
        return;
    }
    size_t at = 0;
    for (int i = 0; i < meshCount; ++i) {
        Mesh* m = meshes[i];
        if (m == nullptr || m->vertexCount < 1) continue;
        if (m->originalColors != nullptr)
            for (int v = 0; v < m->vertexCount; ++v) m->originalColors[v] = data[at + size_t(v)];
        at += size_t(m->vertexCount);
    }
}
