// 3D Studio import out of a pack file: the input is the whole pack, the scene is the
// entry "SCENE.3DS" and textures are looked up in the same pack.
#include <cstddef>
#include <cstdint>

#include "FuzzSupport.h"
#include "scene/OGroup.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    kvxfuzz::startEngine();
    kvxInitErrorLog(kvxLogToNowhere);
    std::string pack = kvxfuzz::writeScratch("scene.pak", data, size);
    const int flags = kvxfuzz::kImportEverything | kvxLoadFromArchive;
    OGroup group;
    load3ds("scene.3ds", &group, "", flags, nullptr, pack.c_str());
    return 0;
}
