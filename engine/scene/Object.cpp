#include "scene/Object.h"

#include <cstring>

char* kvxCopyName(const char* n) {
    if (!n) return nullptr;
    size_t len = strlen(n) + 1;
    char* copy = new char[len];
    memcpy(copy, n, len);
    return copy;
}

Object::Object()
    : location{0, 0, 0}, rotation{0, 0, 0}, position{0, 0, 0}, pivot{0, 0, 0}, name(nullptr), parent(nullptr), id(0),
      parentId(0), visible(true), special(false), specialType(0), specialFade(0.0f) {}

// Copies own their name text so that each object frees only its own.
Object::Object(const Object& o) : name(nullptr) { *this = o; }

Object::~Object() { delete[] name; }

Object& Object::operator=(const Object& o) {
    if (this == &o) return *this;
    location = o.location;
    rotation = o.rotation;
    position = o.position;
    pivot = o.pivot;
    setName(o.name);
    parent = o.parent;
    id = o.id;
    parentId = o.parentId;
    visible = o.visible;
    special = o.special;
    specialType = o.specialType;
    specialFade = o.specialFade;
    return *this;
}

void Object::setName(const char* n) {
    char* copy = kvxCopyName(n);  // before freeing: n may be our own name
    delete[] name;
    name = copy;
}

void Object::setSpecial(int type) {
    special = true;
    specialType = type;
    visible = false;
}

Object* Object::copyObject() { return new Object(*this); }
