#include "Gizmos.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

#include "Vec.h"
#include "ViewerScene.h"

using namespace kvx_vector;

namespace {

const int kGridLines = 20;       // each side of the origin
const int kMaxNormals = 200000;  // lines drawn per frame at most

void line(const Vertex3D& a, const Vertex3D& b) {
    kvxVertex3f(a.x, a.y, a.z);
    kvxVertex3f(b.x, b.y, b.z);
}

void drawBox(const float* m, const Vertex3D& lo, const Vertex3D& hi) {
    Vertex3D c[8];
    for (int i = 0; i < 8; ++i)
        c[i] = transformPoint(m, vec(i & 1 ? hi.x : lo.x, i & 2 ? hi.y : lo.y, i & 4 ? hi.z : lo.z));
    for (int i = 0; i < 8; ++i)
        for (int bit = 1; bit < 8; bit <<= 1)
            if (!(i & bit)) line(c[i], c[i | bit]);
}

void drawBoxes(OGroup* g) {
    kvxColor4f(1.0f, 0.8f, 0.2f, 1);
    for (int i = 0; i < g->meshCount; ++i) {
        Mesh* m = g->meshes[i];
        if (!m->visible || !m->vertices || m->vertexCount == 0) continue;
        Vertex3D lo = vec(FLT_MAX, FLT_MAX, FLT_MAX), hi = vec(-FLT_MAX, -FLT_MAX, -FLT_MAX);
        for (int v = 0; v < m->vertexCount; ++v) {
            const Vertex3D& p = m->vertices[v];
            lo = vec(std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z));
            hi = vec(std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z));
        }
        float matrix[16];
        g->getObjectAnimatedMatrix(m, matrix);  // uses the matrix stack: outside begin/end
        kvxBegin(KVX_LINES);
        drawBox(matrix, lo, hi);
        kvxEnd();
    }
}

void drawNormals(OGroup* g, float size) {
    kvxColor4f(0.3f, 1.0f, 1.0f, 1);
    int drawn = 0;
    for (int i = 0; i < g->meshCount && drawn < kMaxNormals; ++i) {
        Mesh* m = g->meshes[i];
        if (!m->visible || !m->vertices || !m->normals) continue;
        float matrix[16];
        g->getObjectAnimatedMatrix(m, matrix);
        kvxBegin(KVX_LINES);
        for (int v = 0; v < m->vertexCount && drawn < kMaxNormals; ++v, ++drawn) {
            Vertex3D tip = add(m->vertices[v], mul(m->normals[v], size));
            line(transformPoint(matrix, m->vertices[v]), transformPoint(matrix, tip));
        }
        kvxEnd();
    }
}

// Grid lines every power of ten that fits the scene about ten times.
void drawAxesAndGrid(float radius) {
    float spacing = std::pow(10.0f, std::floor(std::log10(std::max(radius, 1e-3f) / 2)));
    float extent = spacing * kGridLines;
    kvxBegin(KVX_LINES);
    kvxColor4f(0.45f, 0.45f, 0.5f, 1);
    for (int i = -kGridLines; i <= kGridLines; ++i) {
        float t = i * spacing;
        line(vec(t, -extent, 0), vec(t, extent, 0));
        line(vec(-extent, t, 0), vec(extent, t, 0));
    }
    kvxEnd();
    float a = radius * 0.5f;
    kvxBegin(KVX_LINES);
    kvxColor4f(1, 0.2f, 0.2f, 1);
    line(vec(0, 0, 0), vec(a, 0, 0));
    kvxColor4f(0.2f, 1, 0.2f, 1);
    line(vec(0, 0, 0), vec(0, a, 0));
    kvxColor4f(0.3f, 0.5f, 1, 1);
    line(vec(0, 0, 0), vec(0, 0, a));
    kvxEnd();
}

}  // namespace

void drawGizmos(ViewerScene& view, const GizmoOptions& o) {
    OGroup* g = view.group();
    if (!g || !view.camera() || !(o.boxes || o.normals || o.axes)) return;
    bool textured = kvxIsEnabled(KVX_TEXTURE_2D);
    bool blended = kvxIsEnabled(KVX_BLEND);
    kvxDisable(KVX_TEXTURE_2D);
    kvxDisable(KVX_BLEND);
    kvxInitMatrix();
    kvxLookWithCamera(view.camera());
    if (o.axes) drawAxesAndGrid(view.radius());
    if (o.boxes) drawBoxes(g);
    if (o.normals) drawNormals(g, view.radius() * 0.02f);
    if (textured) kvxEnable(KVX_TEXTURE_2D);
    if (blended) kvxEnable(KVX_BLEND);
}
