#ifndef KVX_CORE_TYPES_H
#define KVX_CORE_TYPES_H

// Plain value records shared by every part of the engine and its hosts.
// All are copied member-wise; none carries virtual functions.

#include <cstdint>

class Mesh;

struct Vertex2D {
    float x, y;
};

struct Vertex3D {
    float x, y, z;

    Vertex3D operator+(Vertex3D& o);
    Vertex3D operator-(Vertex3D& o);
    Vertex3D operator-();
    Vertex3D& operator+=(Vertex3D& o);
    Vertex3D& operator-=(Vertex3D& o);
    Vertex3D operator^(Vertex3D& o);   // cross product
    float operator*(Vertex3D& o);      // dot product
    void operator*=(float f);
    void operator/=(float f);
    operator float();                  // length
    void normalize();
    Vertex3D& operator=(const Vertex3D& o) = default;
};

struct Vertex4D {
    float x, y, z;
    float w;  // angle or scalar part
};

struct Color {
    float r, g, b, a;
};

// One triangle; arrays of these go to OpenGL unchanged as 16-bit index triples.
struct Facelist {
    uint16_t a, b, c;
};
static_assert(sizeof(Facelist) == 6, "Facelist must stay three packed 16-bit indices");

struct Textlist {
    int32_t value;
};

struct Viewport {
    float width, height, aspect;
    float zNear, zFar, fov;

    void reset();
    void calcAspect();
};

// Axis-aligned box: minimum corner then maximum corner.
struct Cube {
    float x1, y1, z1, x2, y2, z2;

    void setValues(float ax1, float ay1, float az1, float ax2, float ay2, float az2);
};

struct Triangle {
    int32_t v[5];
};

// Six vectors kept per face for the sphere-against-polygon test.
struct EdgeNormal {
    Vertex3D n[6];
};

struct PlaneList {
    int32_t face;
    Mesh* mesh;
};

// One collision plane; a node of a singly linked list that owns its tail.
struct Plane {
    bool visited;
    PlaneList* points;
    int32_t count;
    Vertex3D normal;
    Vertex3D origin;
    int32_t planeId;
    Plane* next;

    Plane();
    ~Plane();
    void create(int n);
    Plane& operator=(const Plane& o) = default;
};

// Five plane points, then their five normals.
struct Frustrum {
    Vertex3D point[5];
    Vertex3D normal[5];
};

struct SceneParams {
    int32_t value[9];
    bool flagA[4];
    bool flagB[3];

    SceneParams();
};

struct KVXInfo {
    uint16_t infoLow;
    uint16_t infoHigh;
    char text[1024];
};

struct KVXCounter {
    int32_t value[4];
};

#endif
