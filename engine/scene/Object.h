#ifndef KVX_SCENE_OBJECT_H
#define KVX_SCENE_OBJECT_H

// Common base of everything a group holds by name: meshes, cameras, lights.
// No virtual functions: derived classes begin with these fields and may be
// handled through an Object pointer.

#include <cstdint>

#include "core/Types.h"

class Object {
public:
    Vertex3D location;
    Vertex3D rotation;  // Euler degrees about x, y, z (heading/tilt for cameras)
    Vertex3D position;
    Vertex3D pivot;
    char* name;  // owned
    Object* parent;
    int32_t id;
    int32_t parentId;
    bool visible;
    bool special;
    int32_t specialType;
    float specialFade;

    // A visible, unnamed object at the origin.
    Object();
    // A copy of o with its own copy of the name.
    Object(const Object& o);
    // Frees the name.
    ~Object();
    // Copies o, name included; returns this object.
    Object& operator=(const Object& o);

    // Replaces the name with a copy of n.
    void setName(const char* n);
    // Marks the object special of the given type and hides it from the normal passes.
    void setSpecial(int type);
    // Returns a heap copy of this object.
    Object* copyObject();
};

// Heap copy of a NUL-terminated name; null stays null.
char* kvxCopyName(const char* n);

#endif
