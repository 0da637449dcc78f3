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

    // An empty group.
    OGroup();
    // Deletes everything the group owns.
    ~OGroup();

    // Lifecycle.
    // Deletes everything the group holds and empties it; returns 0.
    int clear();
    // Loads a .3DS file into the group with a load flag word (kvxLoad...); returns 0, or the loader's error
    // code.
    int load(const char* fileName, int flags, const char* textureDirectory);

    // Containers.
    // Adds mesh (owned from now on); returns 0, or an error code when the group is full.
    int addMesh(Mesh* mesh);
    // Adds light (owned); returns 0, or an error code when the group is full.
    int addLight(Light* light);
    // Adds camera (owned), the active one when it is the first; returns 0, or an error code when the group is
    // full.
    int addCamera(Camera* camera);
    // Adds a material list (owned); returns 0, or an error code when the group is full.
    int addTList(TList* list);
    // Adds an animation (owned); returns 0, or an error code when the group is full.
    int addPathList(PathList* list);
    // Adds a particle source (owned); returns 0, or an error code when the group is full.
    int addParticleSource(ParticleSource* source);
    // Makes camera i the active one; returns 0, or an error code when there is none.
    int setActiveCamera(int i);
    // Makes material list i the one meshes render with; returns 0, or an error code when there is none.
    int setActiveTList(int i);
    // Makes animation i the one that plays; returns 0, or an error code when there is none.
    int setActivePathList(int i);
    // Returns the mesh, camera or light of that name, or null.
    Object* findObject(const char* name);
    // Returns the mesh, camera or light with that id, or null.
    Object* findObject(int id);
    // Deletes mesh and its tracks from the group; returns 0, or an error code when it is not in the group.
    int delMesh(Mesh* mesh);
    // Gives the same-named meshes of target this group's faces and materials; returns 0, or an error code when
    // they do not match.
    int copyMaterialFaceStructures(OGroup* target);

    // Merging and whole-group edits.
    // Marks mesh to be merged by attach(), or not.
    void markAttach(bool value, Mesh* mesh);
    // Merges the marked meshes into one.
    void attach();
    // Scales the whole group so that reference's largest face becomes size, and hides reference.
    void adjustSize(Mesh* reference, float size);
    // Welds the vertices of the first mesh that lie closer than percent of the group's extent.
    void closeCombine(float percent);
    // Builds the octree over every face, for the collision, ray and height queries; returns 0, or an error
    // code.
    int constructOctree();

    // Animation and rendering.
    // Sets the animation frame the next render shows (wrapped into the animation, or clamped to its end with
    // clampFrames).
    void setCurrentFrame(int frame);
    // Draws every mesh at the current frame through camera with a render flag word (kvxRender...); returns 0.
    int render(int flags, Camera* camera);
    // Draws one mesh of the group and advances the frame; returns 0, or an error code when it is not a mesh of
    // the group.
    int renderObject(Object* object, int flags);
    // Multiplies the current matrix by object's placement at the current frame, parents first; returns 0, or
    // an error code without an animation.
    int doAnimation(Object* object, Object* self);
    // Multiplies the current matrix by object's own position and rotation tracks; true when it has a rotation
    // track.
    bool doObjectAnim(Object* object, Object* self);
    // Moves camera's eye, target and roll to the current frame.
    void doCameraAnim(Camera* camera);
    // Fills mesh's world vertices from its placement at the current frame.
    void transformVertices(Mesh* mesh);
    // Returns in matrix (16 floats) object's placement at the current frame.
    void getObjectAnimatedMatrix(Object* object, float* matrix);
    // Returns object's model-view matrix through the active camera, the projection and the viewport.
    void getObjectAnimatedMatrixWithCamera(Object* object, float* modelview, float* projection, int* viewport);
    // Replaces the tracks of the named object by a fixed position and rotation.
    void overrideObjectPosition(const char* name, Vertex3D* position, Vertex4D* rotation);
    // Advances every animated texture of the active material list by one frame; returns 0.
    int animateTextures();

    // Static lighting (defined with the spatial queries).
    // True when a face of the group lies between light and point (moved by offset).
    bool checkRay(Light* light, Vertex3D* point, Vertex3D* offset);
    // Adds light's contribution to the vertex colours (flags: 1 reset first, 2 cast shadows, 4 subtract).
    void calcDynamicLight(Light* light, int flags);
    // Computes the vertex colours from all of the group's lights.
    void calcDynamicLights(int flags);
    // Applies the gamma to the computed vertex colours.
    void applyLights();
    // Writes the computed vertex colours to a file.
    void saveLights(const char* fileName);
    // Reads vertex colours written by saveLights.
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
