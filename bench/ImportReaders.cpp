#include "ImportReaders.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cctype>
#include <vector>

#include "scene/OGroup.h"

#ifdef KVX_HAVE_LIB3DS
#include <lib3ds/file.h>
#include <lib3ds/mesh.h>
#endif
#ifdef KVX_HAVE_ASSIMP
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <assimp/Importer.hpp>
#endif

namespace kvxbench {

bool has3dsExtension(const std::string& name) {
    if (name.size() < 4) return false;
    std::string ext = name.substr(name.size() - 4);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return ext == ".3ds";
}

bool readWithEngine(const std::string& file) {
    OGroup* g = new OGroup();
    int rc = load3ds(file.c_str(), g, "", kImportFlags, nullptr, "");
    benchmark::DoNotOptimize(g->meshCount);
    delete g;
    return rc == 0;
}

#ifdef KVX_HAVE_LIB3DS
bool readWithLib3ds(const std::string& file) {
    Lib3dsFile* f = lib3ds_file_load(file.c_str());
    if (!f) return false;
    std::vector<float> normals;
    for (Lib3dsMesh* m = f->meshes; m; m = m->next) {
        normals.assign(size_t(m->faces) * 9, 0.0f);
        lib3ds_mesh_calculate_normals(m, reinterpret_cast<Lib3dsVector*>(normals.data()));
        benchmark::DoNotOptimize(normals.data());
    }
    lib3ds_file_free(f);
    return true;
}
#endif

#ifdef KVX_HAVE_ASSIMP
bool readWithAssimp(const std::string& file) {
    static Assimp::Importer* importer = new Assimp::Importer();
    const aiScene* s = importer->ReadFile(file, aiProcess_GenSmoothNormals);
    if (!s) return false;
    benchmark::DoNotOptimize(s->mNumMeshes);
    importer->FreeScene();
    return true;
}
#endif

}  // namespace kvxbench
