#ifndef KVX_SCENE_MESH_H
#define KVX_SCENE_MESH_H

// A triangle object: parallel per-vertex and per-face arrays, the runs of
// faces that share a material, and two display lists. The per-vertex arrays
// are tightly packed because the renderers hand them to OpenGL unchanged.

#include <cstdint>
#include "core/Types.h"
#include "scene/Object.h"
#include "scene/MeshFaceRanges.h"

class TList;
class Material;

class Mesh : public Object {
public:
    static constexpr int kMaxFacesPerVertex = 512;  // smoothing gives up beyond this
    static constexpr int kMaxVertices = 65536;     // what 16-bit face indices address

    void* deviceBuffer;
    Vertex3D* originalVertices;
    Vertex3D* vertices;
    Vertex3D* worldVertices;
    Vertex2D* textureCoords;
    Vertex3D* originalNormals;
    Vertex3D* normals;
    EdgeNormal* edgeNormals;
    Facelist* faces;
    int32_t* faceMaterials;
    int32_t* smoothingGroups;
    Color* originalColors;
    Color* colors;
    FaceRangeList* materialGroups;
    char* faceFlags;
    uint32_t displayList;
    uint32_t transparentDisplayList;
    bool attached;
    bool facesCamera;
    int32_t vertexCount;
    int32_t faceCount;
    int32_t vertexCapacity;
    int32_t faceCapacity;
    float radius;

    Mesh();
    ~Mesh();
    // Arrays are owned; a copy is made only through copyObject.
    Mesh(const Mesh&) = delete;
    Mesh& operator=(const Mesh&) = delete;

    // Array management.
    void createVertices(int n);
    void destroyVertices();
    void createFaces(int n);
    void destroyFaces();
    void expandObject(int newVertexCount, int newFaceCount);
    void minimizeVirtualTriangleCount();

    // Preparation, in the order a loader runs it.
    void prepareSmoothing();
    void center();
    void calcNormals();
    void originalToCalculated();
    void calcRadius();
    void sortFacesByMaterial();
    void calcEdgeNormals();
    int createDisplayList();
    void destroyDisplayList();
    void restoreToWorldCoordinates();

    // Queries.
    Vertex3D calculatedVertex(int i);
    void calculatedVertex(int i, Vertex3D* v, Vertex3D* n);
    void placeVertices(Vertex3D* out) const;  // calculatedVertex of every vertex, into vertexCount entries
    void calcWindowCoords();
    Object* copyObject();

    // True when all three corners of face f lie inside the vertex arrays.
    bool isFaceValid(int f) const;

    // Rendering passes.
    int render(int flags, TList* materials);
    int renderNonTransparent(int flags, TList* materials);
    int renderTransparent(int flags, TList* materials);
    int renderTransparentImmediately(int flags, TList* materials);
    int renderEffect(int flags, TList* materials);
    int renderSpecial(int flags, TList* materials);

private:
    void staticTransform(double (&m)[16]) const;
    void drawRun(int flags, Material* material, int first, int last);
    void drawReflection(Material* material, int first, int last);
    void writeRunAlpha(float alpha, int first, int last);
    bool clampRun(int run, int& first, int& last) const;
    Material* runMaterial(TList* materials, int first) const;
};

#endif
