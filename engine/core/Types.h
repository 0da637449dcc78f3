#ifndef KVX_CORE_TYPES_H
#define KVX_CORE_TYPES_H

// Plain value records shared by every part of the engine and its hosts.
// All are copied member-wise; none carries virtual functions.

#include <cstdint>

class Mesh;

// A point or texture coordinate in the plane.
struct Vertex2D {
    float x, y;
};

// A point or vector in space; z is up in imported scenes.
struct Vertex3D {
    float x, y, z;

    // Returns the sum.
    Vertex3D operator+(Vertex3D& o);
    // Returns the difference.
    Vertex3D operator-(Vertex3D& o);
    // Returns the negated vector.
    Vertex3D operator-();
    // Adds o; returns this vector.
    Vertex3D& operator+=(Vertex3D& o);
    // Subtracts o; returns this vector.
    Vertex3D& operator-=(Vertex3D& o);
    Vertex3D operator^(Vertex3D& o);  // cross product
    float operator*(Vertex3D& o);     // dot product
    // Scales by f.
    void operator*=(float f);
    // Divides by f.
    void operator/=(float f);
    operator float();  // length
    // Scales to unit length.
    void normalize();
    // Copies o; returns this vector.
    Vertex3D& operator=(const Vertex3D& o) = default;
    // Default and copy construction stay trivial, as for a plain record.
    Vertex3D() = default;
    Vertex3D(const Vertex3D& o) = default;
};

// A rotation axis with its angle, or a quaternion.
struct Vertex4D {
    float x, y, z;
    float w;  // angle or scalar part
};

// An RGBA colour, components normally from 0 to 1.
struct Color {
    float r, g, b, a;
};

// One triangle; arrays of these go to OpenGL unchanged as 16-bit index triples.
struct Facelist {
    uint16_t a, b, c;
};
static_assert(sizeof(Facelist) == 6, "Facelist must stay three packed 16-bit indices");

// One texture index of a face.
struct Textlist {
    int32_t value;
};

// The projection: window size, aspect ratio, clip planes and field of view (degrees).
struct Viewport {
    float width, height, aspect;
    float zNear, zFar, fov;

    // Sets the default projection values.
    void reset();
    // Sets aspect to width / height.
    void calcAspect();
};

// Axis-aligned box: minimum corner then maximum corner.
struct Cube {
    float x1, y1, z1, x2, y2, z2;

    // Sets both corners.
    void setValues(float ax1, float ay1, float az1, float ax2, float ay2, float az2);
};

// Vertex indices of a triangle as the collision planes keep them.
struct Triangle {
    int32_t v[5];
};

// Six vectors kept per face for the sphere-against-polygon test.
struct EdgeNormal {
    Vertex3D n[6];
};

// One face of a mesh that lies in a collision plane.
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
    // Makes room for n faces in points.
    void create(int n);
    // Copies o member-wise; returns this plane.
    Plane& operator=(const Plane& o) = default;
};

// Five plane points, then their five normals.
struct Frustrum {
    Vertex3D point[5];
    Vertex3D normal[5];
};

// Host-defined parameters a scene carries for its host.
struct SceneParams {
    int32_t value[9];
    bool flagA[4];
    bool flagB[3];

    SceneParams();
};

// The engine description kvxInfo fills: version numbers and a text.
struct KVXInfo {
    uint16_t infoLow;
    uint16_t infoHigh;
    char text[1024];
};

// Four counters for a host's statistics.
struct KVXCounter {
    int32_t value[4];
};

#endif
