#ifndef KVX_SCENE_CAMERA_H
#define KVX_SCENE_CAMERA_H

// A camera looking from eye to target, with hand-flying movement operations
// driven by the heading (rotation.x) and tilt (rotation.y) it carries.

#include "scene/Object.h"

class Camera : public Object {
public:
    Vertex3D eye;
    Vertex3D target;
    float roll;  // degrees
    float lens;  // millimetres
    float fov;   // degrees

    Camera();

    void calcFOV();
    Vertex3D getPosition();
    void moveTo(float x, float y, float z);
    void moveTo(float ex, float ey, float ez, float tx, float ty, float tz);
    void moveBy(float dx, float dy, float dz);
    void moveBy(float ex, float ey, float ez, float tx, float ty, float tz);
    void forward(float d);
    void reverse(float d);
    void stepLeft(float d);
    void stepRight(float d);
    void targetFromRotation(float d);
    void rotationFromTarget();
    Object* copyObject();

private:
    Vertex3D direction() const;
    void step(float d);
};

#endif
