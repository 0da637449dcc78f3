// Lights file reader over arbitrary bytes. The first bytes shape the group (mesh count
// and vertex counts) so the file is read against many layouts; the rest is the file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "FuzzSupport.h"
#include "scene/Mesh.h"
#include "scene/OGroup.h"

namespace {
const size_t kShapeBytes = 4;
const int kMaxMeshes = 8;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    kvxInitErrorLog(kvxLogToNowhere);
    if (size < kShapeBytes) return 0;
    OGroup group;
    const int meshes = data[0] % (kMaxMeshes + 1);
    for (int i = 0; i < meshes; ++i) {
        Mesh* m = new Mesh();
        // Some meshes stay empty, one in four gets no colour array.
        int vertices = (data[1 + i % 3] >> (i % 4)) % 40;
        m->createVertices(vertices);
        if ((data[3] >> i) & 1) {
            std::free(m->originalColors);
            m->originalColors = nullptr;
        }
        if (group.addMesh(m) != 0) delete m;
    }
    std::string path = kvxfuzz::writeScratch("lights.dat", data + kShapeBytes, size - kShapeBytes);
    group.loadLights(path.c_str());
    return 0;
}
