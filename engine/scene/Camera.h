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

    // A camera at the origin looking along +y.
    Camera();

    // Sets fov from the lens length in millimetres.
    void calcFOV();
    // Returns the eye.
    Vertex3D getPosition();
    // Moves the eye to (x, y, z); the target stays.
    void moveTo(float x, float y, float z);
    // Moves the eye and the target.
    void moveTo(float ex, float ey, float ez, float tx, float ty, float tz);
    // Moves the eye and the target by the same offset.
    void moveBy(float dx, float dy, float dz);
    // Moves the eye and the target by offsets of their own.
    void moveBy(float ex, float ey, float ez, float tx, float ty, float tz);
    // Moves the eye d units along the heading and tilt in rotation.
    void forward(float d);
    // Moves the eye d units backwards.
    void reverse(float d);
    // Moves the eye sideways to the left.
    void stepLeft(float d);
    // Moves the eye sideways to the right.
    void stepRight(float d);
    // Puts the target d units ahead of the eye along rotation.
    void targetFromRotation(float d);
    // Sets rotation's heading and tilt to look from the eye at the target.
    void rotationFromTarget();
    // Returns a heap copy of this camera.
    Object* copyObject();

private:
    Vertex3D direction() const;
    void step(float d);
};

#endif
