#ifndef KVX_SCENE_OGROUP_H
#define KVX_SCENE_OGROUP_H

// One loaded scene: meshes, cameras and lights with the material lists, path
// lists and particle sources that belong to them, and an octree over the faces.
// Containers are fixed arrays of owned pointers; entries past a count are null.

#include <cstdint>

#include "core/Types.h"

class Object;
class Mesh;
class Camera;
class Light;
class TList;
class PathList;
class KVXPath;
class ParticleSource;
class octreeNode;

class OGroup {
public:
    static const int maxMeshs = 4096;
    static const int maxCameras = 64;
    static const int maxLights = 256;
    static const int maxTLists = 64;
    static const int maxPathLists = 64;
    static const int maxParticleSources = 256;

    int32_t meshCount;
    int32_t cameraCount;
    int32_t lightCount;
    int32_t tlistCount;
    int32_t pathListCount;
    int32_t particleSourceCount;
    Mesh* meshes[maxMeshs];
    Camera* cameras[maxCameras];
    Light* lights[maxLights];
    TList* tlists[maxTLists];
    PathList* pathLists[maxPathLists];
    ParticleSource* particleSources[maxParticleSources];
    TList* activeTList;
    PathList* activePathList;
    Camera* activeCamera;
    octreeNode* octree;
    bool animated;
    bool clampFrames;
    int32_t currentFrame;
    int32_t startFrame;
    int32_t endFrame;
    int32_t frameCount;

    OGroup();
    ~OGroup();

    // Lifecycle.
    int clear();
    int load(const char* fileName, int flags, const char* textureDirectory);

    // Containers.
    int addMesh(Mesh* mesh);
    int addLight(Light* light);
    int addCamera(Camera* camera);
    int addTList(TList* list);
    int addPathList(PathList* list);
    int addParticleSource(ParticleSource* source);
    int setActiveCamera(int i);
    int setActiveTList(int i);
    int setActivePathList(int i);
    Object* findObject(const char* name);
    Object* findObject(int id);
    int delMesh(Mesh* mesh);
    int copyMaterialFaceStructures(OGroup* target);

    // Merging and whole-group edits.
    void markAttach(bool value, Mesh* mesh);
    void attach();
    void adjustSize(Mesh* reference, float size);
    void closeCombine(float percent);
    int constructOctree();

    // Animation and rendering.
    void setCurrentFrame(int frame);
    int render(int flags, Camera* camera);
    int renderObject(Object* object, int flags);
    int doAnimation(Object* object, Object* self);
    bool doObjectAnim(Object* object, Object* self);
    void doCameraAnim(Camera* camera);
    void transformVertices(Mesh* mesh);
    void getObjectAnimatedMatrix(Object* object, float* matrix);
    void getObjectAnimatedMatrixWithCamera(Object* object, float* modelview, float* projection,
                                           int* viewport);
    void overrideObjectPosition(const char* name, Vertex3D* position, Vertex4D* rotation);
    int animateTextures();

    // Static lighting (defined with the spatial queries).
    bool checkRay(Light* light, Vertex3D* point, Vertex3D* offset);
    void calcDynamicLight(Light* light, int flags);
    void calcDynamicLights(int flags);
    void applyLights();
    void saveLights(const char* fileName);
    void loadLights(const char* fileName);

    // Track of an object in the active path list: the first path of that object
    // and kind; nodeType 0 accepts any node type.
    KVXPath* findTrack(Object* object, int track, int nodeType);

private:
    OGroup(const OGroup&) = delete;
    OGroup& operator=(const OGroup&) = delete;

    void destroyOctree();
    void releaseTLists();
    void dropPivotsOf(Object* object);
    void staticTransform(Object* object);
    void placeObject(Object* object, bool animate);
    int animate(Object* object, Object* self, int depth);
    void scalePaths(float f);
};

#endif
