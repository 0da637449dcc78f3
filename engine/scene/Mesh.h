#ifndef KVX_SCENE_MESH_H
#define KVX_SCENE_MESH_H

// A triangle object: parallel per-vertex and per-face arrays, the runs of
// faces that share a material, and two display lists. The per-vertex arrays
// are tightly packed because the renderers hand them to OpenGL unchanged.

#include <cstdint>
#include "core/Types.h"
#include "scene/MeshFaceRanges.h"
#include "scene/Object.h"

class TList;
class Material;

class Mesh : public Object {
public:
    static constexpr int kMaxFacesPerVertex = 512;  // smoothing gives up beyond this
    static constexpr int kMaxVertices = 65536;      // what 16-bit face indices address

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

    // An empty mesh.
    Mesh();
    // Frees the arrays and the display list.
    ~Mesh();
    // Arrays are owned; a copy is made only through copyObject.
    Mesh(const Mesh&) = delete;
    Mesh& operator=(const Mesh&) = delete;

    // Array management.
    // Allocates every per-vertex array for n vertices.
    void createVertices(int n);
    // Frees the per-vertex arrays.
    void destroyVertices();
    // Allocates every per-face array for n faces.
    void createFaces(int n);
    // Frees the per-face arrays.
    void destroyFaces();
    // Grows the arrays to the new counts, keeping their contents.
    void expandObject(int newVertexCount, int newFaceCount);
    // Shrinks the arrays to the counts in use.
    void minimizeVirtualTriangleCount();

    // Preparation, in the order a loader runs it.
    // Shares the normals of vertices at the same place in the same smoothing groups.
    void prepareSmoothing();
    // Moves the vertices so that the mesh's pivot lies at its origin.
    void center();
    // Computes the face and vertex normals.
    void calcNormals();
    // Copies the original vertices into the calculated ones.
    void originalToCalculated();
    // Sets radius to the distance of the farthest vertex from the origin.
    void calcRadius();
    // Orders the faces by material and records the runs.
    void sortFacesByMaterial();
    // Computes each face's edge normals for the collision test.
    void calcEdgeNormals();
    // Records the mesh into a display list; returns its name, or 0.
    int createDisplayList();
    // Deletes the display list.
    void destroyDisplayList();
    // Moves the vertices back from the pivot to world coordinates.
    void restoreToWorldCoordinates();

    // Queries.
    // Returns vertex i in world coordinates at the current placement.
    Vertex3D calculatedVertex(int i);
    // Returns vertex i and its normal in world coordinates at the current placement.
    void calculatedVertex(int i, Vertex3D* v, Vertex3D* n);
    void placeVertices(Vertex3D* out) const;  // calculatedVertex of every vertex, into vertexCount entries
    // Projects the vertices to window coordinates.
    void calcWindowCoords();
    // Returns a heap copy with copies of the arrays.
    Object* copyObject();

    // True when all three corners of face f lie inside the vertex arrays.
    bool isFaceValid(int f) const;

    // Rendering passes.
    // Draws the mesh with its materials as the render flag word says; returns 0.
    int render(int flags, TList* materials);
    // Draws the opaque runs; returns 0.
    int renderNonTransparent(int flags, TList* materials);
    // Queues the transparent faces on the transparent stack; returns 0.
    int renderTransparent(int flags, TList* materials);
    // Draws the transparent runs blended, at once; returns 0.
    int renderTransparentImmediately(int flags, TList* materials);
    // Draws the mesh again over itself as an effect; returns 0.
    int renderEffect(int flags, TList* materials);
    // Draws the glow sprite of a special object; returns 0.
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
