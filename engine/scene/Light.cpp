#include "scene/Light.h"

Light::Light() : color{255.0f, 255.0f, 255.0f, 255.0f}, innerRange(0.0f), outerRange(10000.0f) { visible = true; }

Object* Light::copyObject() { return new Light(*this); }
