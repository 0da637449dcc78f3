#include "texture/Material.h"

#include <cstring>
#include <new>
#include "render/ErrorLog.h"
#include "render/TextureUpload.h"
#include "texture/Texture.h"
#include "texture/TextureMessages.h"

namespace {

const int kColorTextureSide = 4;
const char kColorTextureName[] = "KVXCreated.KVX";

inline unsigned char colorByte(float v) {
    if (!(v > -1.0e6f && v < 1.0e6f)) return 0;  // keeps the conversion defined
    return static_cast<unsigned char>(static_cast<int>(v * 255.0f) & 0xFF);
}

}  // namespace

Material::Material()
    : id(0), selfIllumination(0.0f), transparency(0.0f), firstTexture(nullptr), secondTexture(nullptr),
      opacityTexture(nullptr), reflectionTexture(nullptr), ambient(nullptr), specular(nullptr), diffuse(nullptr),
      next(nullptr), tiled(true), twoSided(false), wireframe(false), wireSize(0.0f) {
    memset(name, 0, sizeof(name));
    strcpy(name, "DEFAULT");
}

Material::~Material() {
    delete firstTexture;
    delete secondTexture;
    delete opacityTexture;
    delete reflectionTexture;
}

void Material::setName(const char* newName) {
    if (newName == nullptr) return;
    strncpy(name, newName, kNameSize - 1);
    name[kNameSize - 1] = '\0';
}

int Material::addFirstTexture(Texture* t) {
    firstTexture = t;
    return 0;
}

int Material::addSecondTexture(Texture* t) {
    secondTexture = t;
    return 0;
}

int Material::addOpacityTexture(Texture* t) {
    opacityTexture = t;
    return 0;
}

int Material::addReflectionTexture(Texture* t) {
    reflectionTexture = t;
    return 0;
}

int Material::addAmbientColor(Color* c) {
    ambient = c;
    return 0;
}

int Material::addSpecularColor(Color* c) {
    specular = c;
    return 0;
}

int Material::addDiffuseColor(Color* c) {
    diffuse = c;
    return 0;
}

// Nearest-neighbour resampling of the opacity map to the first texture's size.
bool Material::matchOpacitySize() {
    Texture* src = opacityTexture;
    Texture* dst = firstTexture;
    if (src->width == dst->width && src->height == dst->height) return true;
    if (src->width < 1 || src->height < 1 || dst->width < 1 || dst->height < 1) return false;
    size_t bytes = static_cast<size_t>(dst->width) * static_cast<size_t>(dst->height) * 4;
    unsigned char* out = new (std::nothrow) unsigned char[bytes];
    if (out == nullptr) return false;
    float rx = static_cast<float>(src->width) / static_cast<float>(dst->width);
    float ry = static_cast<float>(src->height) / static_cast<float>(dst->height);
    for (int y = 0; y < dst->height; ++y) {
        int sy = static_cast<int>(static_cast<float>(y) * ry);
        if (sy >= src->height) sy = src->height - 1;
        for (int x = 0; x < dst->width; ++x) {
            int sx = static_cast<int>(static_cast<float>(x) * rx);
            if (sx >= src->width) sx = src->width - 1;
            memcpy(out + (static_cast<size_t>(y) * dst->width + x) * 4,
                   src->data + (static_cast<size_t>(sy) * src->width + sx) * 4, 4);
        }
    }
    delete[] src->data;
    src->data = out;
    src->width = dst->width;
    src->height = dst->height;
    return true;
}

void Material::calcAlpha() {
    if (firstTexture == nullptr) return;
    firstTexture->alphaType = Texture::kAlphaPlain;
    if (opacityTexture == nullptr || firstTexture->data == nullptr || opacityTexture->data == nullptr) return;
    if (!matchOpacitySize()) return;
    size_t count = static_cast<size_t>(firstTexture->width) * static_cast<size_t>(firstTexture->height);
    const unsigned char* mask = opacityTexture->data;
    unsigned char* pixels = firstTexture->data;
    bool ownAlpha = opacityTexture->components == 4;
    for (size_t i = 0; i < count; ++i) {
        const unsigned char* m = mask + i * 4;
        pixels[i * 4 + 3] = ownAlpha ? m[3] : static_cast<unsigned char>((m[0] + m[1] + m[2]) / 3);
    }
    firstTexture->alphaType = Texture::kAlphaComputed;
    transparency = 1.0f;
}

int Material::makeTextureFromColor() {
    if (diffuse == nullptr) return kvxPutToErrorLog(kMsgNoDiffuse, kCodeNoDiffuse);
    Texture* t = new Texture;
    delete firstTexture;
    firstTexture = t;
    const int pixels = kColorTextureSide * kColorTextureSide;
    unsigned char* buffer = new unsigned char[pixels * 4];
    unsigned char rgba[4] = {colorByte(diffuse->r), colorByte(diffuse->g), colorByte(diffuse->b),
                             colorByte(diffuse->a)};
    for (int i = 0; i < pixels; ++i) memcpy(buffer + i * 4, rgba, 4);
    t->data = buffer;
    int name = t->seekFreeTextureID();
    if (name <= 0) return kvxPutToErrorLog(kMsgUpload, kCodeUpload);
    t->textureIDs[0] = static_cast<uint32_t>(name);
    t->width = kColorTextureSide;
    t->height = kColorTextureSide;
    t->setFilename(kColorTextureName, 0);
    kvxUploadTexture(t, 0);
    delete[] t->data;
    t->data = nullptr;
    return 0;
}
