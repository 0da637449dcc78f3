#ifndef KVX_BENCH_IMPORTREADERS_H
#define KVX_BENCH_IMPORTREADERS_H

// The three .3DS readers compared by the import benchmarks. Each takes a file
// to its in-memory scene with vertex normals and answers false on failure.

#include <string>

#include "import3ds/Import3DS.h"

namespace kvxbench {

// Meshes, lights, cameras, keyframer and smoothing; no textures.
const int kImportFlags = kvxLoadMeshes | kvxLoadLights | kvxLoadCameras | kvxLoadKeyframer | kvxLoadSmoothing;

bool has3dsExtension(const std::string& name);

bool readWithEngine(const std::string& file);
#ifdef KVX_HAVE_LIB3DS
bool readWithLib3ds(const std::string& file);  // lib3ds_file_load + lib3ds_mesh_calculate_normals
#endif
#ifdef KVX_HAVE_ASSIMP
bool readWithAssimp(const std::string& file);  // ReadFile with aiProcess_GenSmoothNormals
#endif

}  // namespace kvxbench

#endif
