// Mesh rendering passes. Every run is clamped to the face array, and only
// faces whose corners lie inside the vertex arrays reach the renderers.

#include <algorithm>

#include "render/Engine.h"
#include "render/FaceRenderers.h"
#include "render/Overlay.h"
#include "render/RenderState.h"
#include "render/TransparentStack.h"
#include "scene/Mesh.h"
#include "scene/RenderFlags.h"
#include "texture/Material.h"
#include "texture/TList.h"
#include "texture/Texture.h"

namespace {

const float kReflectionAlpha = 0.5f;
const int kGlowSpriteType = 1;
const float kGlowSpriteSize = 100.0f;

// Recording needs a reserved list; without one nothing is recorded or drawn.
bool canRecord(int flags, uint32_t list) { return !(flags & kvxRenderRecord) || list != 0; }

// Draws the runs, recording them into the list with kvxRenderRecord, or replays
// the list instead with kvxRenderReplay (when not recording and the list exists).
template <class DrawRuns>
void throughDisplayList(int flags, uint32_t list, DrawRuns&& drawRuns) {
    const bool record = (flags & kvxRenderRecord) != 0;
    if (record) kvxNewList(int(list), KVX_COMPILE);
    if ((flags & kvxRenderReplay) && !record && list != 0)
        kvxCallList(int(list));
    else
        drawRuns();
    if (record) kvxEndList();
}

bool isTransparent(const Material* m) {
    return m->transparency != 0.0f ||
           (m->firstTexture != nullptr && m->firstTexture->alphaType == Texture::kAlphaComputed);
}

bool drawsWire(int flags, const Material* m) { return (flags & kvxRenderWireframe) != 0 || m->wireframe; }

// Culling off for one run: for every run with kvxRenderNoCulling, otherwise for two-sided materials.
class RunCulling {
public:
    RunCulling(int flags, const Material* m) : off_((flags & kvxRenderNoCulling) != 0 || m->twoSided) {
        if (off_) kvxDisable(KVX_CULL_FACE);
    }
    ~RunCulling() {
        if (off_) kvxEnable(KVX_CULL_FACE);
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
        : disabled_(texture == nullptr), restore_((flags & kvxRenderNoTextures) == 0) {
        if (texture != nullptr)
            kvxSetTexture(texture);
        else
            kvxDisable(KVX_TEXTURE_2D);
    }
    void end() {
        if (disabled_ && restore_) kvxEnable(KVX_TEXTURE_2D);
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
    if (flags & kvxRenderFlat) kvxShadeModel(KVX_FLAT);
    if (flags & kvxRenderNoTextures) kvxDisable(KVX_TEXTURE_2D);
}

void endPass(int flags) {
    if (flags & kvxRenderFlat) kvxShadeModel(KVX_SMOOTH);
    if (flags & kvxRenderNoTextures) kvxEnable(KVX_TEXTURE_2D);
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
        else if (flags & kvxRenderImmediate)
            kvxRenderBasic(colors, textureCoords, vertices, normals, faces, a, b);
        else
            kvxRenderList(colors, textureCoords, vertices, normals, faces, a, b);
    });
}

void Mesh::drawReflection(Material* material, int first, int last) {
    kvxSetTexture(material->reflectionTexture);
    kvxEnable(KVX_BLEND);
    kvxBlendFunc(KVX_SRC_ALPHA, KVX_DST_ALPHA);
    kvxDepthFunc(KVX_EQUAL);
    kvxDepthMask(KVX_FALSE);
    forEachValidSpan(*this, first, last, [&](int a, int b) {
        kvxRenderReflection(colors, vertices, normals, faces, a, b, kReflectionAlpha);
    });
    kvxDisable(KVX_BLEND);
    kvxDepthFunc(KVX_LEQUAL);
    kvxDepthMask(KVX_TRUE);
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
    if (!kvxOpenGLSelected()) return 0;
    if (special && (flags & kvxRenderSpecial)) {
        renderSpecial(flags, materials);
        return 0;
    }
    if (!visible) return 0;
    if (flags & kvxRenderOpaque) renderNonTransparent(flags, materials);
    if (flags & kvxRenderQueueTransparent) renderTransparent(flags, materials);
    if (flags & kvxRenderTransparent) renderTransparentImmediately(flags, materials);
    if (flags & kvxRenderEffect) renderEffect(flags, materials);
    return 0;
}

int Mesh::renderNonTransparent(int flags, TList* materials) {
    if (materialGroups == nullptr || !canRecord(flags, displayList)) return 0;
    kvxDisable(KVX_BLEND);
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

int Mesh::renderTransparent(int /*flags*/, TList* materials) {
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
    kvxEnable(KVX_BLEND);
    kvxBlendFunc(KVX_SRC_ALPHA, KVX_ONE_MINUS_SRC_ALPHA);
    beginPass(flags);
    throughDisplayList(flags, transparentDisplayList, [&] {
        for (int run = 0; run < materialGroups->count; ++run) {
            int first, last;
            if (!clampRun(run, first, last)) continue;
            Material* m = runMaterial(materials, first);
            if (!isTransparent(m)) continue;
            RunCulling culling(flags, m);
            kvxBlendFunc(KVX_SRC_ALPHA, KVX_ONE_MINUS_SRC_ALPHA);
            kvxDepthFunc(KVX_LEQUAL);
            writeRunAlpha(m->transparency, first, last);
            RunTexture texture(flags, m->firstTexture);
            drawRun(flags, m, first, last);
            texture.end();
            if (m->reflectionTexture != nullptr && !drawsWire(flags, m)) {
                drawReflection(m, first, last);
                kvxEnable(KVX_BLEND);  // the next transparent run still blends
            }
            kvxDepthFunc(KVX_LEQUAL);
        }
    });
    endPass(flags);
    return 0;
}

int Mesh::renderEffect(int flags, TList* materials) {
    if (materialGroups == nullptr) return 0;
    kvxEnable(KVX_BLEND);
    kvxDepthFunc(KVX_EQUAL);
    kvxDepthMask(KVX_FALSE);
    beginPass(flags);

    if ((flags & kvxRenderReplay) && displayList != 0) {
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
    kvxDisable(KVX_BLEND);
    kvxDepthFunc(KVX_LEQUAL);
    kvxDepthMask(KVX_TRUE);
    return 0;
}

int Mesh::renderSpecial(int /*flags*/, TList* materials) {
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

    kvxBlendFunc(KVX_SRC_ALPHA, KVX_ONE);
    Material* m = nullptr;
    if (materials != nullptr && faceMaterials != nullptr && faceCount > 0) m = materials->getMaterial(faceMaterials[0]);
    if (m == nullptr || m->firstTexture == nullptr) return 0;  // the sprite needs a texture
    Vertex3D pos = at;
    Color color{1.0f, 1.0f, 1.0f, specialFade};
    kvxDrawImageWithoutYConversion(&pos, m, &color, kGlowSpriteSize, kGlowSpriteSize, true);
    return 0;
}
