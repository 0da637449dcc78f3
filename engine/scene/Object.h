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
    Vertex3D rotation;   // Euler degrees about x, y, z (heading/tilt for cameras)
    Vertex3D position;
    Vertex3D pivot;
    char* name;          // owned
    Object* parent;
    int32_t id;
    int32_t parentId;
    bool visible;
    bool special;
    int32_t specialType;
    float specialFade;

    Object();
    Object(const Object& o);
    ~Object();
    Object& operator=(const Object& o);

    void setName(const char* n);
    void setSpecial(int type);
    Object* copyObject();
};

// Heap copy of a NUL-terminated name; null stays null.
char* kvxCopyName(const char* n);

#endif
