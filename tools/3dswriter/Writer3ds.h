#pragma once
// Serialises a k3ds::Scene into the .3DS chunk format.
#include <string>
#include <vector>

#include "Scene3ds.h"
#include "import3ds/ChunkIds.h"

namespace k3ds {

namespace id = kvx_chunk;

// Returns an empty string on success, else what is wrong with the scene
// (index ranges, per-face array sizes, 16-bit limits).
std::string validateScene(const Scene& scene);
bool writeScene(const Scene& scene, std::vector<uint8_t>& out, std::string* error = nullptr);
bool saveScene(const Scene& scene, const std::string& path, std::string* error = nullptr);

}  // namespace k3ds
