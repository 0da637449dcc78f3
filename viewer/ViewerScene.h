#ifndef KVXVIEW_VIEWER_SCENE_H
#define KVXVIEW_VIEWER_SCENE_H

// The scene a viewer shows: one loaded .3DS file in an engine Scene, the
// animation frame, the camera it is seen through (one of the file's or a free
// one), how it is lit, and the drawing of one frame.

#include <string>
#include <vector>

#include <Korvex3D.h>

// Where a file comes from: a path, or an entry of a pack file ("PACK:ENTRY").
struct SceneSource {
    std::string file;        // what load3ds opens: the path, or the entry name
    std::string archive;     // the pack file, empty for plain files
    std::string textureDir;  // beside the file (or the entry)
    static SceneSource parse(const std::string& source);
};

struct RenderOptions {
    bool textures = true;
    bool wire = false;
};

struct FrameStats {
    int meshes = 0;  // visible meshes of the group
    int drawn = 0;   // of those inside the view
    int faces = 0;   // faces of the drawn meshes
    int culled = 0;  // meshes outside the view
};

class ViewerScene {
public:
    static const int kFreeCamera = -1;
    static const int kNoCamera = -2;

    ViewerScene();
    ~ViewerScene();
    ViewerScene(const ViewerScene&) = delete;
    ViewerScene& operator=(const ViewerScene&) = delete;

    // Loads source; on failure the previous scene stays and the engine's code
    // (13, 14, ...) is returned, else 0.
    int load(const std::string& source, void (*progress)(float));
    // Takes in a group that someone else (the console) put into the scene,
    // loaded from source ("" when unknown: the source stays): a group other
    // than the one shown, or any group after a load; true when the scene changed.
    bool adoptChanges(const std::string& source, bool loaded);
    // Puts the free camera back where it frames the whole scene.
    void resetFreeCamera();

    // Whether a material whose map could not be loaded is shown in its
    // diffuse colour (on by default) or kept as loaded.
    void setColourMissingMaps(bool on) { colourMissingMaps_ = on; }
    // Smoothing groups split vertices along their borders (on by default).
    void setSmoothing(bool on) { smoothing_ = on; }

    Scene* scene() { return &scene_; }
    OGroup* group() const { return scene_.groupCount > 0 ? scene_.groups[0] : nullptr; }
    const std::string& source() const { return source_; }

    // Animation segment and frame.
    int firstFrame() const;
    int lastFrame() const;
    int frame() const { return frame_; }
    void setFrame(int frame);

    // Cameras: the file's, by index, and the free one (kFreeCamera).
    int cameraCount() const;
    int cameraIndex() const { return cameraIndex_; }
    void selectCamera(int index);
    // Selects the camera a user named: its index, or when name is not empty
    // the file camera of that name in any case. False, with the reason, when
    // the file has no such camera.
    bool selectCamera(int index, const std::string& name, std::string* why);
    Camera* camera() { return scene_.camera; }
    const Camera* camera() const { return scene_.camera; }
    Camera& freeCamera() { return free_; }
    // Where the current camera stands at the current frame.
    void animateCamera();

    // Bounding box of the visible meshes at the first frame, z up.
    Vertex3D boundsMin() const { return min_; }
    Vertex3D boundsMax() const { return max_; }
    Vertex3D center() const;
    float radius() const;

    // Lighting: a light at the eye, or the file's lights with shadows.
    bool fileLighting() const { return fileLighting_; }
    bool hasLights() const { return group() && group()->lightCount > 0; }
    void setFileLighting(bool on);

    FrameStats render(const RenderOptions& options);

private:
    void clearGroupsExcept(OGroup* keep);
    void takeGroup(OGroup* g);
    void computeBounds();
    void colourMissingMaps();
    void sanitiseCameras();
    void fitClipPlanes();
    void updateHeadlight();
    void storeFileLighting();
    void restoreFileLighting();
    FrameStats countVisible();
    void renderWire();
    void prepareWire();

    Scene scene_;
    Camera free_;
    OGroup* known_ = nullptr;
    std::string source_;
    int frame_ = 0;
    int cameraIndex_ = kFreeCamera;
    Vertex3D min_{0, 0, 0}, max_{0, 0, 0};
    bool fileLighting_ = false;
    bool colourMissingMaps_ = true;
    bool smoothing_ = true;
    std::vector<std::vector<Color>> fileColors_;  // the shadowed lighting, once computed
    std::vector<std::vector<Color>> wireColors_;  // one dark colour per vertex, for the wire pass
    std::vector<std::vector<char>> wireEdges_;    // every edge, for meshes that mark none visible
    Vertex3D litEye_{0, 0, 0};
    Vertex3D litTarget_{0, 0, 0};
    bool headlightValid_ = false;
};

#endif
