// Material entries, their texture maps and the loading of the list's images.

#include <cstdlib>

#include "import3ds/Import3DS.h"
#include "import3ds/ImportState.h"
#include "texture/Material.h"
#include "texture/TList.h"
#include "texture/Texture.h"

namespace kvx_import {

namespace {

const float kPercent = 0.01f;
const float kByteToUnit = 0.003921569f;
const int kNoTiling = 0x10;
const int kTrueColorBits = 32;

Color* newColor(ImportContext& c) {
    Loader& in = c.loader;
    Color* color = new Color{0.0f, 0.0f, 0.0f, 1.0f};
    if (c.materials) c.materials->keepColor(color);
    in.getChunkID();
    if (!in.end || in.chunkLength > 0) readColor(in, *color);
    return color;
}

// A percentage sub-chunk: 16-bit integer, or a float written by some exporters.
float readPercentage(Loader& in) {
    in.getChunkID();
    if (in.end) return 0.0f;
    float value = in.chunkID == kPercentFloat ? in.getFloat() : static_cast<float>(in.getShort());
    in.skipChunk();
    return value * kPercent;
}

void readMapChunk(ImportContext& c, unsigned id, Texture* t, Material* m) {
    Loader& in = c.loader;
    char name[kNameSize];
    switch (id) {
        case kPercentInt: t->percentage = in.getShort(); break;
        case kPercentFloat: t->percentage = static_cast<int>(in.getFloat()); break;
        case kMapFileName:
            in.getString(name, kNameSize);
            t->setFilename(name, 0);
            t->setBaseDir(c.materials->baseDirectory);
            break;
        case kMapTiling:
            if ((in.getShort() & 0xFFFF) == kNoTiling) m->tiled = false;
            break;
        case kMapUScale: t->uScale = in.getFloat(); break;
        case kMapVScale: t->vScale = in.getFloat(); break;
        case kMapUOffset: t->uOffset = in.getFloat(); break;
        case kMapVOffset: t->vOffset = in.getFloat(); break;
        case kMapRotation: t->angle = in.getFloat(); break;
        default: break;
    }
}

// Map sub-chunks over `bytes` bytes, cursor after the map chunk's header.
void parseMap(ImportContext& c, long long bytes, Texture* t, Material* m) {
    long long consumed = 0;
    for (SubChunk sub; nextSubChunk(c.loader, consumed, bytes, sub); consumed += sub.length) {
        readMapChunk(c, sub.id, t, m);
        c.loader.skipChunk();
    }
}

Texture* newMapTexture(ImportContext& c, Material* m, unsigned id) {
    Texture* t = new Texture();
    if (c.flags & kvxLoadTrueColor) t->bits = kTrueColorBits;
    if (c.flags & kvxLoadNoMipmaps) t->mipmap = false;
    // A repeated map replaces the earlier one, which nobody else holds.
    switch (id) {
        case kTextureMap:
            delete m->firstTexture;
            m->addFirstTexture(t);
            break;
        case kSecondTextureMap:
            delete m->secondTexture;
            m->addSecondTexture(t);
            break;
        case kOpacityMap:
            delete m->opacityTexture;
            m->addOpacityTexture(t);
            break;
        default:
            delete m->reflectionTexture;
            m->addReflectionTexture(t);
            break;
    }
    return t;
}

// Handles one sub-chunk of a material; the cursor may stop anywhere inside it.
void readMaterialChunk(ImportContext& c, unsigned id, unsigned length, Material*& m) {
    Loader& in = c.loader;
    if (id == kMaterialName) {
        char name[kNameSize];
        in.getString(name, kNameSize);
        m = new Material();
        c.materials->addMaterial(m);
        m->setName(name);
        return;
    }
    if (!m) return;
    switch (id) {
        case kAmbient: m->addAmbientColor(newColor(c)); break;
        case kDiffuse: m->addDiffuseColor(newColor(c)); break;
        case kSpecular: m->addSpecularColor(newColor(c)); break;
        case kTransparency: m->transparency = readPercentage(in); break;
        case kSelfIllumination: m->selfIllumination = readPercentage(in); break;
        case kTwoSided: m->twoSided = true; break;
        case kWire: m->wireframe = true; break;
        case kWireSize: m->wireSize = in.getFloat(); break;
        case kTextureMap:
        case kSecondTextureMap:
        case kOpacityMap:
        case kReflectionMap:
            parseMap(c, static_cast<long long>(length) - Loader::headerSize, newMapTexture(c, m, id), m);
            break;
        default: break;
    }
}

}  // namespace

void readColor(Loader& in, Color& out) {
    switch (in.chunkID) {
        case kColorFloat:
            out.r = in.getFloat();
            out.g = in.getFloat();
            out.b = in.getFloat();
            out.a = 1.0f;
            break;
        case kColor24:
        case kColorLinear24:
            out.r = static_cast<unsigned char>(in.getChar()) * kByteToUnit;
            out.g = static_cast<unsigned char>(in.getChar()) * kByteToUnit;
            out.b = static_cast<unsigned char>(in.getChar()) * kByteToUnit;
            out.a = 1.0f;
            break;
        default: break;
    }
    in.skipChunk();
}

// Each sub-chunk is counted once, header included, and the cursor moves to
// its end afterwards: a colour chunk's second colour (24-bit and linear) is
// passed over with its parent instead of being counted again, and the
// entry's own header counts, so the loop ends exactly at the entry's end.
void parseMaterial(ImportContext& c, unsigned length) {
    Loader& in = c.loader;
    const unsigned char* entryStart = in.chunkStart;
    long long consumed = Loader::headerSize;
    Material* m = nullptr;
    for (SubChunk sub; nextSubChunk(in, consumed, length, sub); consumed += sub.length) {
        const unsigned char* chunkStart = in.chunkStart;
        readMaterialChunk(c, sub.id, sub.length, m);
        in.chunkStart = const_cast<unsigned char*>(chunkStart);
        in.chunkLength = sub.length;
        in.chunkID = static_cast<uint16_t>(sub.id);
        in.skipChunk();
    }
    // Leave the cursor at the entry's end whatever its sub-chunks claimed.
    in.chunkStart = const_cast<unsigned char*>(entryStart);
    in.chunkLength = length;
    in.chunkID = kMaterialEntry;
    in.skipChunk();
}

// --- textures -----------------------------------------------------------------

namespace {

int loadFrame(const ImportContext& c, Texture* t, int slot, float scale) {
    const char* archive = (c.flags & kvxLoadFromArchive) ? c.archive : nullptr;
    return archive ? t->loadTexture(slot, archive, scale) : t->loadTexture(slot, scale);
}

void extractFrames(const ImportContext& c, Texture* t) {
    const char* archive = (c.flags & kvxLoadFromArchive) ? c.archive : nullptr;
    if (archive)
        t->extractNames(archive);
    else
        t->extractNames();
}

// The image slot of frame f: image lists keep their images from slot 1 on.
// A still opacity map serves every frame of an animated first texture.
int slotOf(const Texture* t, int f) { return t->frames > 1 ? f + 1 : 0; }

void loadMaterialFrames(const ImportContext& c, Material* m, float scale) {
    Texture* first = m->firstTexture;
    Texture* opacity = m->opacityTexture;
    bool brighten = (c.flags & kvxLoadBrighten) != 0;
    extractFrames(c, first);
    if (opacity) extractFrames(c, opacity);
    int frames = first->frames < Texture::kMaxFrames ? first->frames : Texture::kMaxFrames;
    for (int f = 0; f < frames; ++f) {
        loadFrame(c, first, first->frames > 1 ? f + 1 : f, scale);
        if (brighten && first->data) first->multiply();
        if (opacity) {
            loadFrame(c, opacity, slotOf(opacity, f), scale);
            if (brighten && opacity->data) opacity->multiply();
            m->calcAlpha();
            delete[] opacity->data;
            opacity->data = nullptr;
        }
        if (first->data) first->uploadTexture(f);
    }
}

}  // namespace

void loadMaterialTextures(ImportContext& c, void (*progress)(float)) {
    TList* list = c.materials;
    float scale = (c.flags & kvxLoadHalfSize) ? 0.5f : 1.0f;
    Material* last = list->seekLastMaterial();
    int n = last ? last->id : 0;
    int i = 0;
    for (Material* m = list->head; m; m = m->next, ++i) {
        if (m->firstTexture) loadMaterialFrames(c, m, scale);
        // A list holding only the default material reports the stage's start.
        if (progress) progress(n > 0 ? 0.5f + 0.2f * static_cast<float>(i) / static_cast<float>(n) : 0.5f);
    }
    for (Material* m = list->head; m; m = m->next)
        if (!m->firstTexture) m->makeTextureFromColor();
}

}  // namespace kvx_import
