#ifndef KVX_IMPORT3DS_IMPORT3DS_H
#define KVX_IMPORT3DS_IMPORT3DS_H

// Fills an object group from a 3D Studio file; the flag word selects what is
// taken from the file and which preparation follows.

class OGroup;

// Bits of the load3ds flag word.
enum {
    kvxLoadClearFirst = 0x0001,     // read by the callers, not by load3ds
    kvxLoadMeshes = 0x0004,
    kvxLoadLights = 0x0008,
    kvxLoadCameras = 0x0010,
    kvxLoadKeyframer = 0x0020,
    kvxLoadMaterials = 0x0040,
    kvxLoadLighting = 0x0080,       // read by Scene::createOGroup
    kvxLoadSmoothing = 0x0100,
    kvxLoadBrighten = 0x0200,
    kvxLoadWeld = 0x0400,
    kvxLoadOctree = 0x0800,
    kvxLoadTrueColor = 0x1000,
    kvxLoadHalfSize = 0x2000,
    kvxLoadNoMipmaps = 0x4000,
    kvxLoadFromArchive = 0x8000
};

// What a host loads a whole lit, animated scene with (the demo's later scenes).
enum {
    kvxLoadScene = kvxLoadMeshes | kvxLoadLights | kvxLoadCameras | kvxLoadKeyframer | kvxLoadMaterials |
                   kvxLoadLighting | kvxLoadSmoothing | kvxLoadTrueColor
};

// 0 on success, 13 when the file cannot be read, 14 when it is not a .3DS file.
int load3ds(const char* file, OGroup* group, const char* textureDir, int flags,
            void (*progress)(float), const char* archive);

#endif
