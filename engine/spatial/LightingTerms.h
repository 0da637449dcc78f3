#ifndef KVX_SPATIAL_LIGHTINGTERMS_H
#define KVX_SPATIAL_LIGHTINGTERMS_H

// Pieces shared by the group and scene lighting passes.

#include "core/Types.h"
#include "scene/Mesh.h"
#include "spatial/ShadowIndex.h"

class Light;
class Mesh;
class Material;
class TList;

namespace kvx_spatial {

// Flag bits of calcDynamicLight(s).
const int kLightReset = 1;
const int kLightShadows = 2;
const int kLightSubtract = 4;
const int kLightSelfIllumination = 8;  // scene only
const int kLightGamma = 16;            // scene only

// Strength of the light at point p with normal n: distance fall-off times the
// cosine, never negative before the subtract bit negates it.
float lightIntensity(const Light* light, const Vertex3D& p, const Vertex3D& n, int flags);

// Entry plus intensity times the light's colour; alpha is kept.
Color withLight(const Color& entry, const Light* light, float intensity, bool clampResult);

bool sameColor(const Color& a, const Color& b);  // bit for bit

// The face's material in the list, or null.
Material* materialOf(TList* list, const Mesh* m, int face);

void resetColors(Mesh* m);

// Adds the light to every vertex of m. open(v, p) is asked, only with the
// shadow bit and only for a vertex whose colour would change, whether the
// way from the light to vertex v at lighting position p is free.
template <class Open>
void lightVertices(Mesh* m, const Light* light, int flags, bool clampResult, Open open) {
    if (m->vertices == nullptr || m->normals == nullptr || m->originalColors == nullptr) return;
    for (int v = 0; v < m->vertexCount; ++v) {
        const Vertex3D p = lightingPoint(m->vertices[v], m->position);
        const Color lit =
            withLight(m->originalColors[v], light, lightIntensity(light, p, m->normals[v], flags), clampResult);
        // Whether shadowed or not, an unchanged colour stays the same.
        if (sameColor(lit, m->originalColors[v])) continue;
        if ((flags & kLightShadows) && !open(v, p)) continue;
        m->originalColors[v] = lit;
    }
}

}  // namespace kvx_spatial

#endif
