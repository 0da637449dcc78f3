// 3D Studio import of arbitrary bytes read from disk, with every part of the file taken
// and every preparation step run.
#include <cstddef>
#include <cstdint>

#include "FuzzSupport.h"
#include "scene/OGroup.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    kvxfuzz::startEngine();
    kvxInitErrorLog(kvxLogToNowhere);
    std::string path = kvxfuzz::writeScratch("scene.3ds", data, size);
    const int flags = kvxfuzz::kImportEverything | kvxLoadWeld;
    OGroup group;
    load3ds(path.c_str(), &group, kvxfuzz::scratchDir().c_str(), flags, nullptr, nullptr);
    return 0;
}
