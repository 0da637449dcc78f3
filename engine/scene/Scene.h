#ifndef KVX_SCENE_SCENE_H
#define KVX_SCENE_SCENE_H

// The host's top-level container: up to 256 object groups, the camera they
// are seen through and a parameter record.

#include <cstdint>

#include "core/Types.h"

class OGroup;
class Camera;
class Light;

class Scene {
public:
    static const int maxGroups = 256;

    int32_t groupCount;
    OGroup* groups[maxGroups];  // owned, in creation order
    Camera* camera;             // a camera of one of the groups, not owned
    SceneParams* parameters;    // owned

    // An empty scene with no camera.
    Scene();
    // Deletes the groups and the parameters.
    ~Scene();

    // Loads a .3DS file into a new group (flags: kvxLoad...; lightParameter: flags of the static lighting),
    // takes its first camera when the scene has none; returns the group, or null.
    OGroup* createOGroup(const char* fileName, int flags, const char* textureDirectory, int lightParameter,
                         void (*progress)(float), const char* archive);
    // Returns the index of group, or -1.
    int getOGID(OGroup* group);
    // Loads a further .3DS file into group index; returns 0, or an error code.
    int insertMesh(int index, const char* fileName, int flags, const char* textureDirectory, const char* archive);
    // Loads a further .3DS file into group; returns 0, or an error code.
    int insertMesh(OGroup* group, const char* fileName, int flags, const char* textureDirectory, const char* archive);
    // Deletes group; returns 0, or an error code when it is not in the scene.
    int deleteOGroup(OGroup* group);
    // Renders every group through the scene's camera with a render flag word (kvxRender...); returns 0.
    int render(int flags);
    // Renders group index through the scene's camera with a render flag word; returns 0.
    int render(int index, int flags);
    // Looks through camera index of group and takes its field of view; returns 0, or an error code.
    int setCamera(OGroup* group, int index);
    // Copies p into the scene's parameters; returns 0.
    int setParameters(SceneParams* p);
    // Returns the scene's parameters.
    SceneParams* getParameters();
    // Prepares materials for Direct3D (does nothing with OpenGL).
    void prepareMaterialsForDX();

    // Static lighting across every group (defined with the spatial queries).
    // True when a face of any group lies between light and point (moved by offset).
    bool checkRay(Light* light, Vertex3D* point, Vertex3D* offset);
    // Adds light's contribution, with shadows, to every group's vertex colours.
    void calcDynamicLight(Light* light, int flags);
    // Lights every group by all of their lights.
    void calcDynamicLights(int flags);

private:
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;
};

#endif
