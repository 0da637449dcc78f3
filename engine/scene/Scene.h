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

    Scene();
    ~Scene();

    OGroup* createOGroup(const char* fileName, int flags, const char* textureDirectory, int lightParameter,
                         void (*progress)(float), const char* archive);
    int getOGID(OGroup* group);
    int insertMesh(int index, const char* fileName, int flags, const char* textureDirectory,
                   const char* archive);
    int insertMesh(OGroup* group, const char* fileName, int flags, const char* textureDirectory,
                   const char* archive);
    int deleteOGroup(OGroup* group);
    int render(int flags);
    int render(int index, int flags);
    int setCamera(OGroup* group, int index);
    int setParameters(SceneParams* p);
    SceneParams* getParameters();
    void prepareMaterialsForDX();

    // Static lighting across every group (defined with the spatial queries).
    bool checkRay(Light* light, Vertex3D* point, Vertex3D* offset);
    void calcDynamicLight(Light* light, int flags);
    void calcDynamicLights(int flags);

private:
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;
};

#endif
