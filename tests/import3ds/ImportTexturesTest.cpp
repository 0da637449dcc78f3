// Texture loading of the imported material list: image files found in any
// letter case, image lists and opacity maps merged into the alpha channel.

#include <sys/stat.h>

#include <fstream>

#include "ImportTestSupport.h"

using kvxtest::importBytes;
using kvxtest::mainWithEditor;

namespace {

// An uncompressed 24-bit Targa of one colour.
void writeTarga(const std::string& path, int size, uint8_t r, uint8_t g, uint8_t b) {
    std::vector<uint8_t> t(18, 0);
    t[2] = 2;
    t[12] = static_cast<uint8_t>(size);
    t[14] = static_cast<uint8_t>(size);
    t[16] = 24;
    for (int i = 0; i < size * size; ++i) {
        t.push_back(b);
        t.push_back(g);
        t.push_back(r);
    }
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(t.data()), static_cast<std::streamsize>(t.size()));
}

std::string textureDir() {
    std::string dir = kvxtest::scratch("maps");
    mkdir(dir.c_str(), 0755);
    return dir + "/";
}

Chunks3ds materialWithMaps(const char* map, const char* opacity) {
    Chunks3ds c = mainWithEditor();
    c.begin(0xAFFF).begin(0xA000).str("Mapped").end();
    c.begin(0xA020).color24(10, 20, 30).end();
    c.begin(0xA200).percent(80).begin(0xA300).str(map).end();
    c.begin(0xA351).u16(0x10).end().begin(0xA354).f32(2.0f).end().begin(0xA35C).f32(45.0f).end().end();
    if (opacity) c.begin(0xA210).begin(0xA300).str(opacity).end().end();
    c.end();
    c.end().end();
    return c;
}

TEST(ImportTextures, MapNamesInAnotherCaseAreFound) {
    std::string dir = textureDir();
    writeTarga(dir + "checker.tga", 8, 255, 0, 0);
    OGroup g;
    ASSERT_EQ(importBytes(materialWithMaps("CHECKER.TGA", nullptr), &g, 0x0040, "case.3ds", dir.c_str()), 0);
    Material* m = g.activeTList->seekMaterial("Mapped");
    ASSERT_NE(m, nullptr);
    ASSERT_NE(m->firstTexture, nullptr);
    Texture* t = m->firstTexture;
    EXPECT_STREQ(t->filename[0], "CHECKER.TGA");
    EXPECT_EQ(t->percentage, 80);
    EXPECT_FLOAT_EQ(t->uScale, 2.0f);
    EXPECT_FLOAT_EQ(t->angle, 45.0f);
    EXPECT_FALSE(m->tiled);
    EXPECT_EQ(t->width, 8);
    EXPECT_NE(t->textureIDs[0], 0u);  // uploaded
    EXPECT_EQ(t->data, nullptr);      // and released
}

TEST(ImportTextures, ImageListsWithOpacityListsGiveAlphaFrames) {
    std::string dir = textureDir();
    std::ofstream colour(dir + "anim.ifl"), alpha(dir + "fade.ifl");
    for (int i = 0; i < 4; ++i) {
        std::string c = "frame" + std::to_string(i) + ".tga";
        std::string a = "alpha" + std::to_string(i) + ".tga";
        writeTarga(dir + c, 8, static_cast<uint8_t>(60 * i), 100, 100);
        writeTarga(dir + a, 8, static_cast<uint8_t>(50 * i), static_cast<uint8_t>(50 * i),
                   static_cast<uint8_t>(50 * i));
        colour << c << "\n";
        alpha << a << "\n";
    }
    colour.close();
    alpha.close();
    OGroup g;
    ASSERT_EQ(importBytes(materialWithMaps("ANIM.IFL", "fade.ifl"), &g, 0x0040, "ifl.3ds", dir.c_str()), 0);
    Material* m = g.activeTList->seekMaterial("Mapped");
    ASSERT_NE(m, nullptr);
    Texture* t = m->firstTexture;
    ASSERT_EQ(t->frames, 4);
    for (int f = 0; f < 4; ++f) EXPECT_NE(t->textureIDs[f], 0u) << f;
    EXPECT_EQ(t->alphaType, int(Texture::kAlphaComputed));
    EXPECT_FLOAT_EQ(m->transparency, 1.0f);
    ASSERT_NE(m->opacityTexture, nullptr);
    EXPECT_EQ(m->opacityTexture->frames, 4);
    EXPECT_EQ(m->opacityTexture->data, nullptr);

    // Rendering with flag 0x40 steps the image list once per call.
    Camera cam;
    cam.eye = Vertex3D{0, -5, 0};
    for (int step = 1; step <= 5; ++step) {
        g.render(kvxRenderAnimateTextures, &cam);
        EXPECT_EQ(t->currentFrame, step % 4);
    }
}

TEST(ImportTextures, StillOpacityMapServesEveryFrame) {
    std::string dir = textureDir();
    std::ofstream colour(dir + "two.ifl");
    for (int i = 0; i < 2; ++i) {
        writeTarga(dir + "still" + std::to_string(i) + ".tga", 8, 200, 0, 0);
        colour << "still" << i << ".tga\n";
    }
    colour.close();
    writeTarga(dir + "mask.tga", 8, 128, 128, 128);
    kvxtest::LogCapture log("still-opacity.log");
    OGroup g;
    ASSERT_EQ(importBytes(materialWithMaps("two.ifl", "mask.tga"), &g, 0x0040, "still.3ds", dir.c_str()), 0);
    Texture* t = g.activeTList->seekMaterial("Mapped")->firstTexture;
    EXPECT_EQ(t->frames, 2);
    EXPECT_NE(t->textureIDs[1], 0u);
    EXPECT_EQ(t->alphaType, int(Texture::kAlphaComputed));
    EXPECT_FALSE(log.contains("Error loading"));
}

TEST(ImportTextures, MissingImagesAreLoggedAndTheImportGoesOn) {
    kvxtest::LogCapture log("missing-map.log");
    OGroup g;
    std::string dir = textureDir();
    ASSERT_EQ(importBytes(materialWithMaps("NOSUCH.TGA", nullptr), &g, 0x0040, "missing.3ds", dir.c_str()), 0);
    Material* m = g.activeTList->seekMaterial("Mapped");
    ASSERT_NE(m->firstTexture, nullptr);  // the texture object stays
    EXPECT_TRUE(log.contains("Error loading"));
}

}  // namespace
