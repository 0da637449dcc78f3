#include "scene/Mesh.h"

#include <GL/glu.h>
#include <cmath>

#include "render/Engine.h"
#include "render/ErrorLog.h"
#include "render/RenderState.h"
#include "scene/MeshAdjacency.h"
#include "scene/MeshArrays.h"
#include "scene/SceneMessages.h"

using namespace kvx_mesh;

// --- FaceRangeList -----------------------------------------------------------

FaceRangeList::FaceRangeList(int n) : count(n > 0 ? n : 0), ranges(nullptr) { ranges = allocZeroed<FaceRange>(count); }

FaceRangeList::~FaceRangeList() { release(ranges); }

FaceRangeList* FaceRangeList::copy() const {
    FaceRangeList* c = new FaceRangeList(count);
    for (int i = 0; i < count; ++i) c->ranges[i] = ranges[i];
    return c;
}

// --- construction ------------------------------------------------------------

Mesh::Mesh()
    : Object(), deviceBuffer(nullptr), originalVertices(nullptr), vertices(nullptr), worldVertices(nullptr),
      textureCoords(nullptr), originalNormals(nullptr), normals(nullptr), edgeNormals(nullptr), faces(nullptr),
      faceMaterials(nullptr), smoothingGroups(nullptr), originalColors(nullptr), colors(nullptr),
      materialGroups(nullptr), faceFlags(nullptr), displayList(0), transparentDisplayList(0), attached(true),
      facesCamera(false), vertexCount(0), faceCount(0), vertexCapacity(0), faceCapacity(0), radius(0.0f) {
    location = Vertex3D{0.0f, 0.0f, 0.0f};
    rotation = Vertex3D{0.0f, 0.0f, 0.0f};
    position = Vertex3D{0.0f, 0.0f, 0.0f};
    pivot = Vertex3D{0.0f, 0.0f, 0.0f};
    visible = true;
}

Mesh::~Mesh() {
    destroyVertices();
    destroyFaces();
    destroyDisplayList();
    delete materialGroups;
    materialGroups = nullptr;
    // No Direct3D device exists on this platform, so deviceBuffer is never set.
}

// --- array management --------------------------------------------------------

namespace {

template <class T>
void allocate(T*& p, int n) {
    p = allocZeroed<T>(n);
}

}  // namespace

void Mesh::createVertices(int n) {
    destroyVertices();
    if (n < 0) n = 0;
    visitVertexArrays(*this, [n](auto*& array, bool) { allocate(array, n); });
    vertexCount = n;
}

void Mesh::destroyVertices() {
    visitVertexArrays(*this, [](auto*& array, bool) { release(array); });
}

void Mesh::createFaces(int n) {
    destroyFaces();
    if (n < 0) n = 0;
    visitFaceArrays(*this, [n](auto*& array, bool) { allocate(array, n); });
    for (int i = 0; i < n; ++i) smoothingGroups[i] = i;
    faceCount = n;
}

void Mesh::destroyFaces() {
    visitFaceArrays(*this, [](auto*& array, bool) { release(array); });
}

void Mesh::expandObject(int newVertexCount, int newFaceCount) {
    if (newVertexCount > vertexCount) {
        int kept = vertexCount;
        visitVertexArrays(*this, [=](auto*& array, bool) { resize(array, kept, newVertexCount); });
        vertexCount = newVertexCount;
    }
    if (newFaceCount > faceCount) {
        int kept = faceCount;
        visitFaceArrays(*this, [=](auto*& array, bool) { resize(array, kept, newFaceCount); });
        faceCount = newFaceCount;
    }
}

void Mesh::minimizeVirtualTriangleCount() {
    if (vertexCapacity > vertexCount) {
        int n = vertexCount;
        visitVertexArrays(*this, [n](auto*& array, bool trimmed) {
            if (trimmed) resize(array, n, n);
        });
        vertexCapacity = vertexCount;
    }
    if (faceCapacity > faceCount) {
        int n = faceCount;
        visitFaceArrays(*this, [n](auto*& array, bool trimmed) {
            if (trimmed) resize(array, n, n);
        });
        faceCapacity = faceCount;
    }
}

bool Mesh::isFaceValid(int f) const {
    if (faces == nullptr || f < 0 || f >= faceCount) return false;
    return MeshAdjacency::faceInRange(faces[f], vertexCount);
}

// --- display lists -----------------------------------------------------------

int Mesh::createDisplayList() {
    if (!kvxOpenGLSelected()) return 0;
    destroyDisplayList();
    displayList = uint32_t(kvxGenLists(1));
    transparentDisplayList = uint32_t(kvxGenLists(1));
    if (displayList == 0 || transparentDisplayList == 0)
        return kvxPutToErrorLog(kMsgNoDisplayLists, kCodeNoDisplayLists);
    return 0;
}

void Mesh::destroyDisplayList() {
    if (!kvxOpenGLSelected()) return;
    // Each list is deleted on its own, so a half-failed reservation does not leak.
    if (displayList != 0) kvxDeleteLists(int(displayList), 1);
    if (transparentDisplayList != 0) kvxDeleteLists(int(transparentDisplayList), 1);
    displayList = 0;
    transparentDisplayList = 0;
}

// --- placement ---------------------------------------------------------------

void Mesh::restoreToWorldCoordinates() {
    for (int i = 0; i < vertexCount; ++i) {
        if (originalVertices != nullptr) originalVertices[i] += position;
        if (vertices != nullptr) vertices[i] += position;
    }
    position = Vertex3D{0.0f, 0.0f, 0.0f};
}

namespace {

// Column-major 4x4 matrices, as OpenGL stores them.
void setIdentity(double (&m)[16]) {
    for (int i = 0; i < 16; ++i) m[i] = (i % 5 == 0) ? 1.0 : 0.0;
}

void multiplyRight(double (&m)[16], const double (&r)[16]) {
    double out[16];
    for (int col = 0; col < 4; ++col)
        for (int row = 0; row < 4; ++row) {
            double s = 0.0;
            for (int k = 0; k < 4; ++k) s += m[k * 4 + row] * r[col * 4 + k];
            out[col * 4 + row] = s;
        }
    for (int i = 0; i < 16; ++i) m[i] = out[i];
}

void translate(double (&m)[16], double x, double y, double z) {
    double t[16];
    setIdentity(t);
    t[12] = x;
    t[13] = y;
    t[14] = z;
    multiplyRight(m, t);
}

// Rotation about one coordinate axis (0 = x, 1 = y, 2 = z), as glRotate builds it.
void rotateAxis(double (&m)[16], double degrees, int axis) {
    if (degrees == 0.0) return;
    const double radians = degrees * 3.14159265358979323846 / 180.0;
    const double c = std::cos(radians), s = std::sin(radians);
    const int u = (axis + 1) % 3, v = (axis + 2) % 3;
    double r[16];
    setIdentity(r);
    r[u * 4 + u] = c;
    r[v * 4 + v] = c;
    r[u * 4 + v] = s;   // column u, row v
    r[v * 4 + u] = -s;  // column v, row u
    multiplyRight(m, r);
}

Vertex3D transformPoint(const double (&m)[16], const Vertex3D& p, double w) {
    return Vertex3D{float(m[0] * p.x + m[4] * p.y + m[8] * p.z + m[12] * w),
                    float(m[1] * p.x + m[5] * p.y + m[9] * p.z + m[13] * w),
                    float(m[2] * p.x + m[6] * p.y + m[10] * p.z + m[14] * w)};
}

}  // namespace

// Built in double precision without touching the OpenGL matrix stack, so it
// works without a context and at any stack depth; the result is the matrix
// the renderer builds for the object.
void Mesh::staticTransform(double (&m)[16]) const {
    setIdentity(m);
    translate(m, position.x, position.y, position.z);
    translate(m, -pivot.x, -pivot.y, -pivot.z);
    rotateAxis(m, rotation.z, 2);
    rotateAxis(m, rotation.y, 1);
    rotateAxis(m, rotation.x, 0);
    translate(m, pivot.x, pivot.y, pivot.z);
}

Vertex3D Mesh::calculatedVertex(int i) {
    if (vertices == nullptr || i < 0 || i >= vertexCount) return Vertex3D{0.0f, 0.0f, 0.0f};
    double m[16];
    staticTransform(m);
    return transformPoint(m, vertices[i], 1.0);
}

void Mesh::placeVertices(Vertex3D* out) const {
    double m[16];
    staticTransform(m);
    for (int i = 0; i < vertexCount; ++i) out[i] = transformPoint(m, vertices[i], 1.0);
}

void Mesh::calculatedVertex(int i, Vertex3D* v, Vertex3D* n) {
    if (vertices == nullptr || i < 0 || i >= vertexCount) {
        if (v != nullptr) *v = Vertex3D{0.0f, 0.0f, 0.0f};
        if (n != nullptr) *n = Vertex3D{0.0f, 0.0f, 0.0f};
        return;
    }
    double m[16];
    staticTransform(m);
    if (v != nullptr) *v = transformPoint(m, vertices[i], 1.0);
    if (n != nullptr) *n = normals != nullptr ? transformPoint(m, normals[i], 0.0) : Vertex3D{0.0f, 0.0f, 0.0f};
}

void Mesh::calcWindowCoords() {
    if (!kvxOpenGLSelected() || originalVertices == nullptr || vertices == nullptr) return;
    double modelview[16], projection[16];
    int viewport[4] = {0, 0, 0, 0};
    kvxGetModelViewMatrix(modelview);
    kvxGetProjectionMatrix(projection);
    kvxGetViewportMatrix(viewport);
    for (int i = 0; i < vertexCount; ++i) {
        const Vertex3D& p = originalVertices[i];
        double wx = 0.0, wy = 0.0, wz = 0.0;
        gluProject(p.x, p.y, p.z, modelview, projection, viewport, &wx, &wy, &wz);
        vertices[i] = Vertex3D{float(wx), float(wy), float(wz)};
    }
}

// --- copying -----------------------------------------------------------------

Object* Mesh::copyObject() {
    Mesh* m = new Mesh();
    static_cast<Object&>(*m) = static_cast<const Object&>(*this);

    m->createVertices(vertexCount);
    m->createFaces(faceCount);
    auto copyInto = [](auto* dst, const auto* src, int n) {
        if (src != nullptr)
            for (int i = 0; i < n; ++i) dst[i] = src[i];
    };
    copyInto(m->originalVertices, originalVertices, vertexCount);
    copyInto(m->vertices, vertices, vertexCount);
    copyInto(m->originalNormals, originalNormals, vertexCount);
    copyInto(m->normals, normals, vertexCount);
    copyInto(m->textureCoords, textureCoords, vertexCount);
    copyInto(m->colors, colors, vertexCount);
    copyInto(m->originalColors, originalColors, vertexCount);
    copyInto(m->faces, faces, faceCount);
    copyInto(m->faceMaterials, faceMaterials, faceCount);
    copyInto(m->faceFlags, faceFlags, faceCount);
    if (materialGroups != nullptr) m->materialGroups = materialGroups->copy();

    m->attached = attached;
    m->facesCamera = facesCamera;
    m->vertexCapacity = vertexCapacity;
    m->faceCapacity = faceCapacity;
    m->radius = radius;
    // The copy reserves lists of its own (empty until recorded); sharing the
    // source's names would let either mesh delete the other's lists.
    if (displayList != 0 || transparentDisplayList != 0) m->createDisplayList();
    return m;
}
