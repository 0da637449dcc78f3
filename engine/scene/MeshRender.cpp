// Mesh rendering passes. Every run is clamped to the face array, and only
// faces whose corners lie inside the vertex arrays reach the renderers.

#include <algorithm>

#include "render/Engine.h"
#include "render/FaceRenderers.h"
#include "render/Overlay.h"
#include "render/RenderState.h"
#include "render/TransparentStack.h"
#include "scene/Mesh.h"
#include "texture/Material.h"
#include "texture/TList.h"
#include "texture/Texture.h"

namespace {

const int kFlagWire = 0x1;
const int kFlagFlat = 0x2;
const int kFlagNoCull = 0x4;
const int kFlagNoTexture = 0x8;
const int kFlagQueueTransparent = 0x10;
const int kFlagOpaque = 0x20;
const int kFlagSpecial = 0x100;
const int kFlagEffect = 0x200;
const int kFlagRecord = 0x400;
const int kFlagReplay = 0x1000;
const int kFlagImmediate = 0x2000;
const int kFlagTransparentNow = 0x10000;

const int kCapTexture2D = 3;
const int kCapBlend = 5;
const int kCapCullFace = 7;
const int kShadeFlat = 8;
const int kShadeSmooth = 9;
const int kBlendSrcAlpha = 18;
const int kBlendDstAlpha = 19;
const int kBlendOne = 20;
const int kBlendOneMinusSrcAlpha = 21;
const int kDepthEqual = 25;
const int kDepthLessEqual = 26;
const int kMaskOff = 28;
const int kMaskOn = 29;
const int kListCompile = 30;

const float kReflectionAlpha = 0.5f;
const int kGlowSpriteType = 1;
const float kGlowSpriteSize = 100.0f;

// Recording needs a reserved list; without one nothing is recorded or drawn.
bool canRecord(int flags, uint32_t list) { return !(flags & kFlagRecord) || list != 0; }

// Draws the runs, recording them into the list with 0x400, or replays the
// list instead with 0x1000 (when not recording and the list exists).
template <class DrawRuns>
void throughDisplayList(int flags, uint32_t list, DrawRuns&& drawRuns) {
    const bool record = (flags & kFlagRecord) != 0;
    if (record) kvxNewList(int(list), kListCompile);
    if ((flags & kFlagReplay) && !record && list != 0)
        kvxCallList(int(list));
    else
        drawRuns();
    if (record) kvxEndList();
}

bool isTransparent(const Material* m) {
    return m->transparency != 0.0f ||
           (m->firstTexture != nullptr && m->firstTexture->alphaType == Texture::kAlphaComputed);
}

bool drawsWire(int flags, const Material* m) { return (flags & kFlagWire) != 0 || m->wireframe; }

// Culling off for one run: for every run with 0x4, otherwise for two-sided materials.
class RunCulling {
public:
    RunCulling(int flags, const Material* m) : off_((flags & kFlagNoCull) != 0 || m->twoSided) {
        if (off_) kvxDisable(kCapCullFace);
    }
    ~RunCulling() {
        if (off_) kvxEnable(kCapCullFace);
    }
    RunCulling(const RunCulling&) = delete;
    RunCulling& operator=(const RunCulling&) = delete;

private:
    bool off_;
};

// Binds the run's first texture, or draws the run untextured when it has none.
// Texturing comes back afterwards unless the whole pass is untextured.
class RunTexture {
public:
    RunTexture(int flags, Texture* texture)
        : disabled_(texture == nullptr), restore_((flags & kFlagNoTexture) == 0) {
        if (texture != nullptr)
            kvxSetTexture(texture);
        else
            kvxDisable(kCapTexture2D);
    }
    void end() {
        if (disabled_ && restore_) kvxEnable(kCapTexture2D);
        disabled_ = false;
    }
    ~RunTexture() { end(); }
    RunTexture(const RunTexture&) = delete;
    RunTexture& operator=(const RunTexture&) = delete;

private:
    bool disabled_;
    bool restore_;
};

void beginPass(int flags) {
    if (flags & kFlagFlat) kvxShadeModel(kShadeFlat);
    if (flags & kFlagNoTexture) kvxDisable(kCapTexture2D);
}

void endPass(int flags) {
    if (flags & kFlagFlat) kvxShadeModel(kShadeSmooth);
    if (flags & kFlagNoTexture) kvxEnable(kCapTexture2D);
}

// Calls draw(a, b) for each maximal span of faces in [first, last] that
// the mesh can draw safely.
template <class Draw>
void forEachValidSpan(const Mesh& mesh, int first, int last, Draw draw) {
    int spanStart = -1;
    for (int f = first; f <= last; ++f) {
        if (mesh.isFaceValid(f)) {
            if (spanStart < 0) spanStart = f;
        } else if (spanStart >= 0) {
            draw(spanStart, f - 1);
            spanStart = -1;
        }
    }
    if (spanStart >= 0) draw(spanStart, last);
}

Material* defaultMaterial() {
    static Material fallback;
    return &fallback;
}

}  // namespace

bool Mesh::clampRun(int run, int& first, int& last) const {
    if (materialGroups == nullptr || run < 0 || run >= materialGroups->count) return false;
    if (materialGroups->ranges == nullptr || faces == nullptr || vertices == nullptr) return false;
    first = std::max(0, materialGroups->ranges[run].first);
    last = std::min(faceCount - 1, materialGroups->ranges[run].last);
    return first <= last;
}

// A run whose material number is unknown is drawn with the defaults.
Material* Mesh::runMaterial(TList* materials, int first) const {
    Material* m = nullptr;
    if (materials != nullptr && faceMaterials != nullptr) m = materials->getMaterial(faceMaterials[first]);
    return m != nullptr ? m : defaultMaterial();
}

void Mesh::drawRun(int flags, Material* material, int first, int last) {
    forEachValidSpan(*this, first, last, [&](int a, int b) {
        if (drawsWire(flags, material))
            kvxRenderWire(colors, textureCoords, vertices, normals, faces, faceFlags, a, b);
        else if (flags & kFlagImmediate)
            kvxRenderBasic(colors, textureCoords, vertices, normals, faces, a, b);
        else
            kvxRenderList(colors, textureCoords, vertices, normals, faces, a, b);
    });
}

void Mesh::drawReflection(Material* material, int first, int last) {
    kvxSetTexture(material->reflectionTexture);
    kvxEnable(kCapBlend);
    kvxBlendFunc(kBlendSrcAlpha, kBlendDstAlpha);
    kvxDepthFunc(kDepthEqual);
    kvxDepthMask(kMaskOff);
    forEachValidSpan(*this, first, last, [&](int a, int b) {
        kvxRenderReflection(colors, vertices, normals, faces, a, b, kReflectionAlpha);
    });
    kvxDisable(kCapBlend);
    kvxDepthFunc(kDepthLessEqual);
    kvxDepthMask(kMaskOn);
}

void Mesh::writeRunAlpha(float alpha, int first, int last) {
    if (colors == nullptr) return;
    for (int f = first; f <= last; ++f) {
        if (!isFaceValid(f)) continue;
        colors[faces[f].a].a = alpha;
        colors[faces[f].b].a = alpha;
        colors[faces[f].c].a = alpha;
    }
}

int Mesh::render(int flags, TList* materials) {
    if (kvxSelectedRasterizer != 0) return 0;
    if (special && (flags & kFlagSpecial)) {
        renderSpecial(flags, materials);
        return 0;
    }
    if (!visible) return 0;
    if (flags & kFlagOpaque) renderNonTransparent(flags, materials);
    if (flags & kFlagQueueTransparent) renderTransparent(flags, materials);
    if (flags & kFlagTransparentNow) renderTransparentImmediately(flags, materials);
    if (flags & kFlagEffect) renderEffect(flags, materials);
    return 0;
}

int Mesh::renderNonTransparent(int flags, TList* materials) {
    if (materialGroups == nullptr || !canRecord(flags, displayList)) return 0;
    kvxDisable(kCapBlend);
    beginPass(flags);
    throughDisplayList(flags, displayList, [&] {
        for (int run = 0; run < materialGroups->count; ++run) {
            int first, last;
            if (!clampRun(run, first, last)) continue;
            Material* m = runMaterial(materials, first);
            RunCulling culling(flags, m);
            if (isTransparent(m)) continue;
            RunTexture texture(flags, m->firstTexture);
            drawRun(flags, m, first, last);
            texture.end();
            if (m->reflectionTexture != nullptr && !drawsWire(flags, m)) drawReflection(m, first, last);
        }
    });
    endPass(flags);
    return 0;
}

int Mesh::renderTransparent(int flags, TList* materials) {
    if (materialGroups == nullptr) return 0;
    for (int run = 0; run < materialGroups->count; ++run) {
        int first, last;
        if (!clampRun(run, first, last)) continue;
        Material* m = runMaterial(materials, first);
        if (!isTransparent(m)) continue;
        writeRunAlpha(m->transparency, first, last);
        forEachValidSpan(*this, first, last, [&](int a, int b) {
            kvxAddTransparentFace(colors, textureCoords, vertices, normals, faces, a, b, m, &position);
        });
    }
    return 0;
}

int Mesh::renderTransparentImmediately(int flags, TList* materials) {
    if (materialGroups == nullptr || !canRecord(flags, transparentDisplayList)) return 0;
    kvxEnable(kCapBlend);
    kvxBlendFunc(kBlendSrcAlpha, kBlendOneMinusSrcAlpha);
    beginPass(flags);
    throughDisplayList(flags, transparentDisplayList, [&] {
        for (int run = 0; run < materialGroups->count; ++run) {
            int first, last;
            if (!clampRun(run, first, last)) continue;
            Material* m = runMaterial(materials, first);
            if (!isTransparent(m)) continue;
            RunCulling culling(flags, m);
            kvxBlendFunc(kBlendSrcAlpha, kBlendOneMinusSrcAlpha);
            kvxDepthFunc(kDepthLessEqual);
            writeRunAlpha(m->transparency, first, last);
            RunTexture texture(flags, m->firstTexture);
            drawRun(flags, m, first, last);
            texture.end();
            if (m->reflectionTexture != nullptr && !drawsWire(flags, m)) {
                drawReflection(m, first, last);
                kvxEnable(kCapBlend);  // the next transparent run still blends
            }
            kvxDepthFunc(kDepthLessEqual);
        }
    });
    endPass(flags);
    return 0;
}

int Mesh::renderEffect(int flags, TList* materials) {
    if (materialGroups == nullptr) return 0;
    kvxEnable(kCapBlend);
    kvxDepthFunc(kDepthEqual);
    kvxDepthMask(kMaskOff);
    beginPass(flags);

    if ((flags & kFlagReplay) && displayList != 0) {
        kvxCallList(int(displayList));
    } else {
        for (int run = 0; run < materialGroups->count; ++run) {
            int first, last;
            if (!clampRun(run, first, last)) continue;
            Material* m = runMaterial(materials, first);
            RunCulling culling(flags, m);
            Texture* t = m->firstTexture;
            if (t != nullptr && t->alphaType == Texture::kAlphaComputed) continue;
            if (t != nullptr) kvxSetTexture(t);
            drawRun(flags, m, first, last);
        }
    }

    endPass(flags);
    kvxDisable(kCapBlend);
    kvxDepthFunc(kDepthLessEqual);
    kvxDepthMask(kMaskOn);
    return 0;
}

int Mesh::renderSpecial(int flags, TList* materials) {
    if (materialGroups == nullptr || specialType != kGlowSpriteType) return 0;
    if (vertices == nullptr || vertexCount < 1) return 0;
    calcWindowCoords();
    const Vertex3D at = vertices[0];
    const Viewport* view = kvxGetViewport();
    if (at.x < 0.0f || at.y < 0.0f || at.x >= view->width || at.y >= view->height) {
        specialFade = 0.0f;
        return 0;
    }
    if (at.z < 0.0f) specialFade = 0.0f;

    // Fade in over a second's worth of frames, out over half of that.
    const int fps = kvxGetFPS();
    if (kvxIsVisible(at.x, at.y, at.z)) {
        if (specialFade < 1.0f) specialFade += fps > 0 ? 1.0f / float(fps) : 1.0f;
        specialFade = std::min(specialFade, 1.0f);
    } else {
        if (specialFade > 0.0f) specialFade -= fps > 0 ? 2.0f / float(fps) : 1.0f;
        specialFade = std::max(specialFade, 0.0f);
    }
    if (specialFade <= 0.0f) return 0;

    kvxBlendFunc(kBlendSrcAlpha, kBlendOne);
    Material* m = nullptr;
    if (materials != nullptr && faceMaterials != nullptr && faceCount > 0)
        m = materials->getMaterial(faceMaterials[0]);
    if (m == nullptr || m->firstTexture == nullptr) return 0;  // the sprite needs a texture
    Vertex3D pos = at;
    Color color{1.0f, 1.0f, 1.0f, specialFade};
    kvxDrawImageWithoutYConversion(&pos, m, &color, kGlowSpriteSize, kGlowSpriteSize, true);
    return 0;
}
