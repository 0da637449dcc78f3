// Damaged copies of the real files: every import ends with a result code and
// a group holding what was valid, never a crash or a read outside the file
// (run under the sanitizer build to see the latter).

#include <fstream>
#include <iterator>
#include <random>

#include "ImportTestSupport.h"

namespace {

const char* const kSeeds[] = {"CameraRollAnim.3ds",
                              "RotatingCube.3DS",
                              "TargetCameraAnim.3ds",
                              "cube_with_diffuse_texture.3DS",
                              "cube_with_specular_texture.3DS",
                              "cubes_with_alpha.3DS",
                              "fels.3ds"};
const int kFlagSets[] = {kvxLoadScene, kvxLoadScene | kvxLoadWeld | kvxLoadOctree, kvxLoadMeshes,
                         kvxLoadKeyframer | kvxLoadMaterials, 0xFFFF & ~kvxLoadFromArchive};
const int kMutationsPerFile = 120;

std::vector<uint8_t> readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void mutate(std::vector<uint8_t>& b, std::mt19937& rng) {
    auto at = [&](size_t span) { return b.size() > span ? rng() % (b.size() - span) : 0; };
    switch (rng() % 4) {
        case 0:  // scattered bytes
            for (int i = 0, n = 1 + rng() % 8; i < n && !b.empty(); ++i) b[at(0)] = static_cast<uint8_t>(rng());
            break;
        case 1: {  // an extreme 16- or 32-bit value, where counts and lengths live
            const uint32_t values[] = {0, 1, 5, 0xFFFF, 0x7FFF, 0x8000, 0x7FFFFFFF, 0xFFFFFFFF, 65535};
            uint32_t v = values[rng() % 9];
            size_t p = at(4);
            for (int i = 0; i < 4 && p + i < b.size(); ++i) b[p + i] = static_cast<uint8_t>(v >> (8 * i));
            break;
        }
        case 2:  // truncation
            b.resize(at(0));
            break;
        default: {  // a range repeated elsewhere
            size_t from = at(0), length = 1 + rng() % 64, to = at(0);
            std::vector<uint8_t> piece(b.begin() + static_cast<long>(from),
                                       b.begin() + static_cast<long>(std::min(b.size(), from + length)));
            b.insert(b.begin() + static_cast<long>(to), piece.begin(), piece.end());
            break;
        }
    }
}

TEST(ImportMutation, DamagedFilesImportCleanly) {
    kvxtest::window();
    std::mt19937 rng(20261208);
    std::string path = kvxtest::scratch("mutant.3ds");
    int imported = 0;
    for (const char* seed : kSeeds) {
        std::vector<uint8_t> original = readAll(kvxtest::dataFile(seed));
        ASSERT_FALSE(original.empty()) << seed;
        for (int i = 0; i < kMutationsPerFile; ++i) {
            std::vector<uint8_t> b = original;
            for (int n = 1 + rng() % 3; n > 0; --n) mutate(b, rng);
            std::ofstream(path, std::ios::binary)
                .write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
            OGroup g;
            int flags = kFlagSets[rng() % 5];
            int r = load3ds(path.c_str(), &g, "", flags, nullptr, nullptr);
            ASSERT_TRUE(r == 0 || r == 14) << seed << " mutation " << i;
            for (int m = 0; m < g.meshCount; ++m)
                for (int f = 0; f < g.meshes[m]->faceCount; ++f) ASSERT_TRUE(g.meshes[m]->isFaceValid(f));
            if (r == 0) ++imported;
            // The damaged group must still animate and render without faults.
            g.setCurrentFrame(i);
            if (g.cameraCount > 0) g.render(kvxRenderOpaquePass | kvxRenderCull, g.cameras[0]);
        }
    }
    EXPECT_GT(imported, 0);
}

}  // namespace
