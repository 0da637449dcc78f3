#ifndef KVX_IMPORT3DS_IMPORT3DS_H
#define KVX_IMPORT3DS_IMPORT3DS_H

// Fills an object group from a 3D Studio file; the flag word selects what is
// taken from the file and which preparation follows.

class OGroup;

// Bits of the load3ds flag word.
enum {
    // Scene::createOGroup deletes every group first; OGroup::load clears its group first.
    kvxLoadClearFirst = 0x0001,  // read by the callers, not by load3ds
    // Adds the triangle meshes and prepares every mesh of the group.
    kvxLoadMeshes = 0x0004,
    // Adds the lights.
    kvxLoadLights = 0x0008,
    // Adds the cameras.
    kvxLoadCameras = 0x0010,
    // Adds the keyframer's animation as a path list and marks the group animated.
    kvxLoadKeyframer = 0x0020,
    // Adds the materials as a material list, loads and uploads their textures.
    kvxLoadMaterials = 0x0040,
    // Scene::createOGroup lights the group statically from its lights afterwards.
    kvxLoadLighting = 0x0080,  // read by Scene::createOGroup
    // Shares vertex normals within smoothing groups before the normals are computed.
    kvxLoadSmoothing = 0x0100,
    // Brightens every texture image (Texture::multiply).
    kvxLoadBrighten = 0x0200,
    // Welds close vertices (OGroup::closeCombine(0.5)) before the meshes are prepared.
    kvxLoadWeld = 0x0400,
    // Builds the octree the collision, ray and height queries need.
    kvxLoadOctree = 0x0800,
    // Creates textures with 8 bits per channel.
    kvxLoadTrueColor = 0x1000,
    // Loads textures at half size.
    kvxLoadHalfSize = 0x2000,
    // Creates textures without mipmaps.
    kvxLoadNoMipmaps = 0x4000,
    // Reads the .3DS file and every texture from entries of the pack file archive.
    kvxLoadFromArchive = 0x8000
};

// What a host loads a whole lit, animated scene with (the demo's later scenes).
enum {
    kvxLoadScene = kvxLoadMeshes | kvxLoadLights | kvxLoadCameras | kvxLoadKeyframer | kvxLoadMaterials |
                   kvxLoadLighting | kvxLoadSmoothing | kvxLoadTrueColor
};

// 0 on success, 13 when the file cannot be read, 14 when it is not a .3DS file.
int load3ds(const char* file, OGroup* group, const char* textureDir, int flags, void (*progress)(float),
            const char* archive);

#endif
