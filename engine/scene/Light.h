#ifndef KVX_SCENE_LIGHT_H
#define KVX_SCENE_LIGHT_H

// A point light for the static lighting; its position is Object::location.

#include "scene/Object.h"

class Light : public Object {
public:
    Color color;       // 0-255 scale by default
    float innerRange;  // full strength up to here
    float outerRange;  // no effect beyond here

    // A white light at the origin.
    Light();

    // Returns a heap copy of this light.
    Object* copyObject();
};

#endif
