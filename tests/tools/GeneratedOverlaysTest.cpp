// The generated overlay images drawn the way the show draws them: the tunnel
// grid with its tables and texture, the titles, sprites and the picture.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "SharedData.h"
#include "TestWindow.h"
#include "core/Math.h"
#include "render/Overlay.h"
#include "render/RenderState.h"
#include "render/TextureUpload.h"
#include "texture/Material.h"
#include "texture/Texture.h"

namespace {

Texture* loaded(const std::string& dir, const char* name, int bits) {
    Texture* t = new Texture;
    t->setFilename(name, 0);
    t->setBaseDir(dir.c_str());
    t->bits = bits;
    t->loadTexture(0, 1.0f);
    return t;
}

// The show's three ways of making an overlay material.
Material* plainImage(const std::string& dir, const char* name) {
    Material* m = new Material;
    m->addFirstTexture(loaded(dir, name, 32));
    m->firstTexture->uploadTexture(0);
    return m;
}

Material* imageWithAlpha(const std::string& dir, const char* name, const char* mask = nullptr) {
    Material* m = new Material;
    m->addFirstTexture(loaded(dir, name, 16));
    Texture* op = loaded(dir, mask ? mask : name, 16);
    if (mask)
        for (int i = 0; i < op->width * op->height; ++i) op->data[i * 4 + 3] = 127;
    m->addOpacityTexture(op);
    m->calcAlpha();
    m->firstTexture->uploadTexture(0);
    return m;
}

int litPixels(const TestWindow& w, int threshold) {
    int n = 0;
    for (int y = 0; y < TestWindow::kHeight; y += 4)
        for (int x = 0; x < TestWindow::kWidth; x += 4) {
            Rgba p = w.readPixel(x, y);
            n += p.r + p.g + p.b > threshold;
        }
    return n;
}

const int kSamples = (TestWindow::kWidth / 4) * (TestWindow::kHeight / 4);

void clearBlack() {
    Color black{0, 0, 0, 1};
    kvxSetClearColor(&black);
    kvxClear();
}

// A window with the engine started, and the generated data's folder.
class GeneratedOverlays : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(window.result, 0);
        dir = sharedDataDir();
        ASSERT_FALSE(dir.empty());
        dir += "/";
        kvxSetMipMapType(kvxMipMapTrilinear);
    }

    TestWindow window;
    std::string dir;
};

}  // namespace

TEST_F(GeneratedOverlays, TunnelFliesThroughTheMetalTexture) {
    Material* metal = imageWithAlpha(dir, "metal.tga");
    std::ifstream in(dir + "tunnel.raw", std::ios::binary);
    std::vector<unsigned char> raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_EQ(raw.size(), 131070u);
    std::vector<Color> colors(4800);
    std::vector<Vertex2D> uv(4800);
    Material* title = plainImage(dir, "title6.jpg");
    for (int p : {30, 200}) {
        float s1 = 2 * std::sin(kvxRad(2.0f * p)), s2 = 2 * std::sin(kvxRad(2.0f * p + 90)),
              s3 = 2 * std::sin(kvxRad(2.0f * p + 180));
        float alpha = p < 60 ? p * 0.016666668f : 0.5f;
        for (int i = 0; i < 60; ++i)
            for (int j = 0; j < 80; ++j) {
                float fi = kvxRad(float(i)), fj = kvxRad(float(j));
                colors[i * 80 + j] = {std::cos(fj) * std::sin(fi) * s1, std::sin(fj) * std::cos(fi) * s2,
                                      std::sin(fj) * std::sin(fi) * s3, alpha};
                int q = (960 * i + 4 * j) % 64000;
                int a = (raw[q] - 128) & 255, b = (raw[65535 + q] - 128) & 255;
                uv[i * 80 + j] = {(p + b) * 0.001953125f, (p + a) * 0.001953125f};
            }
        clearBlack();
        kvxBlendFunc(KVX_ONE, KVX_ONE);
        kvxDrawGrid(colors.data(), uv.data(), 640, 480, metal);
        window.save(TestWindow::outputPath("tunnel_" + std::to_string(p) + ".png"));
        EXPECT_GT(litPixels(window, 60), kSamples / 3) << "tunnel at phase " << p;
        // The demo's name over it.
        kvxEnable(KVX_BLEND);
        kvxBlendFunc(KVX_ONE, KVX_ONE);
        Vertex3D at{64, 112, 1};
        Color white{1, 1, 1, 1};
        kvxDrawImage(&at, title, &white, 512, 256, false, 0);
        window.save(TestWindow::outputPath("tunnel_title_" + std::to_string(p) + ".png"));
        kvxSwapBuffers();
    }
    delete metal;
    delete title;
}

TEST_F(GeneratedOverlays, TitlesSpritesAndPictureShowOnScreen) {
    Color white{1, 1, 1, 1};
    for (int i = 1; i <= 5; ++i) {
        std::string name = "title" + std::to_string(i) + ".jpg";
        Material* m = plainImage(dir, name.c_str());
        clearBlack();
        kvxEnable(KVX_BLEND);
        kvxBlendFunc(KVX_ONE, KVX_ONE);
        Vertex3D at{64, 176, 1};
        kvxDrawImage(&at, m, &white, 512, 128, false, 0);
        EXPECT_GT(litPixels(window, 300), 100) << name;
        if (i == 1) window.save(TestWindow::outputPath("title1_screen.png"));
        kvxSwapBuffers();
        delete m;
    }
    // Sprites turned and added, then the picture faded in with its mask.
    Material* trip = imageWithAlpha(dir, "trip01.tga");
    Material* bubble = imageWithAlpha(dir, "kupla01.tga");
    Material* picture = imageWithAlpha(dir, "ginter.tga", "gintera.tga");
    Color magenta{1, 0, 1, 1};
    kvxSetClearColor(&magenta);
    kvxClear();
    kvxEnable(KVX_BLEND);
    kvxBlendFunc(KVX_ONE, KVX_ONE);
    for (int k = 0; k < 8; ++k) {
        Vertex3D a{float(40 + 70 * k), float(60 + 40 * (k % 3)), 1}, b{float(20 + 75 * k), 300, 1};
        kvxDrawImage(&a, trip, &white, 128, 128, false, 20.0f * k);
        kvxDrawImage(&b, bubble, &white, 128, 128, false, 0);
    }
    window.save(TestWindow::outputPath("sprites_screen.png"));
    clearBlack();
    kvxEnable(KVX_BLEND);
    kvxBlendFunc(KVX_SRC_ALPHA, KVX_ONE_MINUS_SRC_ALPHA);
    Vertex3D origin{0, 0, 1};
    kvxDrawImage(&origin, picture, &white, 640, 480, false, 0);
    window.save(TestWindow::outputPath("picture_screen.png"));
    EXPECT_GT(litPixels(window, 60), kSamples / 20);
    delete trip;
    delete bubble;
    delete picture;
}
