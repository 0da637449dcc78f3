#ifndef KVXVIEW_CAMERA_CONTROLLER_H
#define KVXVIEW_CAMERA_CONTROLLER_H

// Moves the free camera: orbit, pan and zoom about a point; fly with the
// keys and the mouse; or walk as a person would, with the engine's sliding
// collision and ground height, under gravity.

#include <Korvex3D.h>

enum class CameraMode { Orbit, Fly, Walk };

// Held movement keys, each -1, 0 or 1.
struct MoveInput {
    float forward = 0;
    float right = 0;
    float up = 0;
    bool fast = false;
};

class CameraController {
public:
    // Scene scale: orbit zoom, fly speed and the clip distances follow it.
    void setSceneRadius(float radius);
    // Looks from eye at target (orbiting about target).
    void lookFrom(const Vertex3D& eye, const Vertex3D& target);

    void orbit(float dxPixels, float dyPixels);
    void pan(float dxPixels, float dyPixels, float viewHeight, float fovDegrees);
    void zoom(float steps);
    void look(float dxPixels, float dyPixels);

    CameraMode mode() const { return mode_; }
    // Walking needs the group's octree, built here when it has none.
    void setMode(CameraMode mode, OGroup* group);
    void update(float seconds, const MoveInput& input, OGroup* group);
    void apply(Camera* camera) const;

    Vertex3D eye() const { return eye_; }
    bool onGround() const { return onGround_; }

private:
    Vertex3D forward() const;
    Vertex3D pivot() const;
    void walk(float seconds, const MoveInput& input, OGroup* group);
    void fly(float seconds, const MoveInput& input);
    Vertex3D bodyCenter() const;

    CameraMode mode_ = CameraMode::Orbit;
    Vertex3D eye_{0, -10, 0};
    float yaw_ = 90;   // degrees about z from +x
    float pitch_ = 0;  // degrees above the horizon
    float distance_ = 10;
    float sceneRadius_ = 10;
    float walkScale_ = 1;  // a person's size in scene units, 1 in scenes of metres
    float fallSpeed_ = 0;
    bool onGround_ = false;
};

#endif
