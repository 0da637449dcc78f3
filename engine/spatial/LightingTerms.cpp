#include "spatial/LightingTerms.h"

#include <cmath>
#include <cstring>

#include "core/Math.h"
#include "core/VectorOps.h"
#include "scene/Light.h"
#include "scene/Mesh.h"
#include "texture/TList.h"

namespace kvx_spatial {

float lightIntensity(const Light* light, const Vertex3D& p, const Vertex3D& n, int flags) {
    Vertex3D toLight = kvx_vector::sub(light->location, p);
    const float d = float(toLight);
    Vertex3D dir{0.0f, 0.0f, 0.0f};
    if (d != 0.0f) dir = Vertex3D{toLight.x / d, toLight.y / d, toLight.z / d};
    float intensity = 0.0f;
    if (d <= light->outerRange) {
        Vertex3D normal = n;
        intensity = dotProd(&dir, &normal);
        if (d > light->innerRange)
            intensity = intensity * (1.0f - (d - light->innerRange) / (light->outerRange - light->innerRange));
        if (intensity < 0.0f) intensity = 0.0f;
    }
    if (flags & kLightSubtract) intensity = -intensity;
    return intensity;
}

Color withLight(const Color& entry, const Light* light, float intensity, bool clampResult) {
    Color c = entry;
    c.r += intensity * light->color.r;
    c.g += intensity * light->color.g;
    c.b += intensity * light->color.b;
    if (clampResult) {
        clamp(&c.r, 0.0f, 1.0f);
        clamp(&c.g, 0.0f, 1.0f);
        clamp(&c.b, 0.0f, 1.0f);
    }
    return c;
}

bool sameColor(const Color& a, const Color& b) { return std::memcmp(&a, &b, sizeof(Color)) == 0; }

Material* materialOf(TList* list, const Mesh* m, int face) {
    if (list == nullptr || m->faceMaterials == nullptr || face < 0 || face >= m->faceCount) return nullptr;
    return list->getMaterial(m->faceMaterials[face]);
}

void resetColors(Mesh* m) {
    if (m->originalColors == nullptr) return;
    for (int v = 0; v < m->vertexCount; ++v) m->originalColors[v] = Color{0.0f, 0.0f, 0.0f, 0.0f};
}

}  // namespace kvx_spatial
