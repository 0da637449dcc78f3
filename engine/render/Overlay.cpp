#include "render/Overlay.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include "render/Engine.h"
#include "texture/Material.h"
#include "texture/Texture.h"

namespace {

const double kOverlayNear = 1e-7;
const double kOverlayFar = 1.0;
const float kLineDepth = -1.0f;
const float kImageDepth = -0.5f;
const float kGridDepth = -0.1f;
const float kGridColumnStep = 0.012658228f;  // 1 / 79
const float kGridRowStep = 0.016949153f;     // 1 / 59
const Color kWhite = {1.0f, 1.0f, 1.0f, 1.0f};

// Notes capabilities as they are switched and puts them back on destruction.
class SavedCaps {
public:
    SavedCaps() : count_(0) {}
    ~SavedCaps() {
        while (count_ > 0) {
            --count_;
            if (was_[count_])
                glEnable(caps_[count_]);
            else
                glDisable(caps_[count_]);
        }
    }
    void set(GLenum cap, bool on) {
        if (count_ == kMax) return;
        caps_[count_] = cap;
        was_[count_] = glIsEnabled(cap) == GL_TRUE;
        ++count_;
        if (on)
            glEnable(cap);
        else
            glDisable(cap);
    }

private:
    static const int kMax = 8;
    GLenum caps_[kMax];
    bool was_[kMax];
    int count_;
};

void loadOverlayProjection() {
    glLoadIdentity();
    glOrtho(0.0, kvxViewport.width, 0.0, kvxViewport.height, kOverlayNear, kOverlayFar);
}

void loadViewportPerspective() {
    glLoadIdentity();
    gluPerspective(kvxViewport.fov, kvxViewport.aspect, kvxViewport.zNear, kvxViewport.zFar);
}

void beginFlatOverlay() {
    glMatrixMode(GL_PROJECTION);
    loadOverlayProjection();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, kLineDepth);
}

void endFlatOverlay() {
    glMatrixMode(GL_PROJECTION);
    loadViewportPerspective();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

// Culling, fog and depth test off, blending on, texturing off.
void setFlatCaps(SavedCaps* caps) {
    caps->set(GL_CULL_FACE, false);
    caps->set(GL_FOG, false);
    caps->set(GL_DEPTH_TEST, false);
    caps->set(GL_BLEND, true);
    caps->set(GL_TEXTURE_2D, false);
}

// The image functions draw textured whatever the caller left enabled.
void setImageCaps(SavedCaps* caps, bool alphaTestOff) {
    if (alphaTestOff) caps->set(GL_ALPHA_TEST, false);
    caps->set(GL_DEPTH_TEST, false);
    caps->set(GL_FOG, false);
    caps->set(GL_CULL_FACE, false);
    caps->set(GL_BLEND, true);
    caps->set(GL_TEXTURE_2D, true);
}

void color(const Color* c) { glColor4f(c->r, c->g, c->b, c->a); }

float flipY(float y) { return kvxViewport.height - y; }

Texture* imageTexture(Material* material) { return material != nullptr ? material->firstTexture : nullptr; }

void bindCurrentFrame(const Texture* t) {
    int frame = t->currentFrame >= 0 && t->currentFrame < Texture::kMaxFrames ? t->currentFrame : 0;
    glBindTexture(GL_TEXTURE_2D, t->textureIDs[frame]);
}

void beginImageMatrices() {
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    loadOverlayProjection();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void endImageMatrices() {
    glMatrixMode(GL_PROJECTION);
    loadViewportPerspective();
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void drawImageQuad(const Texture* t, const Color* tint, float hw, float hh) {
    bindCurrentFrame(t);
    color(tint != nullptr ? tint : &kWhite);
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(-hw, -hh, 0.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(hw, -hh, 0.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(hw, hh, 0.0f);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(-hw, hh, 0.0f);
    glEnd();
}

void drawFlatQuad(const Vertex2D& a, const Vertex2D& b, const Color* c1, const Color* c2, const Color* c3,
                  const Color* c4) {
    SavedCaps caps;
    beginFlatOverlay();
    setFlatCaps(&caps);
    glBegin(GL_QUADS);
    color(c1);
    glVertex3f(a.x, a.y, 0.0f);
    color(c2);
    glVertex3f(b.x, a.y, 0.0f);
    color(c3);
    glVertex3f(b.x, b.y, 0.0f);
    color(c4);
    glVertex3f(a.x, b.y, 0.0f);
    glEnd();
    endFlatOverlay();
}

// Line segments from pairs of points, already in bottom-up window coordinates.
void drawFlatLines(const Vertex3D* ends, int count, const Color* c) {
    SavedCaps caps;
    beginFlatOverlay();
    setFlatCaps(&caps);
    color(c);
    glBegin(GL_LINES);
    for (int i = 0; i < count; ++i) glVertex3f(ends[i].x, ends[i].y, ends[i].z);
    glEnd();
    endFlatOverlay();
}

void gridPoint(const Color* colors, const Vertex2D* texCoords, int row, int column, float cw, float rh) {
    int i = row * kvxGridColumns + column;
    color(&colors[i]);
    glTexCoord2f(texCoords[i].x, texCoords[i].y);
    glVertex3f(column * cw, -row * rh, 0.0f);
}

}  // namespace

void kvxDrawLine(Vertex2D* a, Vertex2D* b, Color* c) {
    if (!kvxOpenGLSelected() || a == nullptr || b == nullptr || c == nullptr) return;
    a->y = flipY(a->y);
    b->y = flipY(b->y);
    Vertex3D ends[2] = {{a->x, a->y, 0.0f}, {b->x, b->y, 0.0f}};
    drawFlatLines(ends, 2, c);
}

void kvxDrawLine(Vertex3D* a, Vertex3D* b, Color* c) {
    if (!kvxOpenGLSelected() || a == nullptr || b == nullptr || c == nullptr) return;
    a->y = flipY(a->y);
    b->y = flipY(b->y);
    Vertex3D ends[2] = {*a, *b};
    drawFlatLines(ends, 2, c);
}

void kvxDraw3DLine(Vertex3D* a, Vertex3D* b, Color* c) {
    if (!kvxOpenGLSelected() || a == nullptr || b == nullptr || c == nullptr) return;
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    SavedCaps caps;
    caps.set(GL_CULL_FACE, false);
    caps.set(GL_FOG, false);
    caps.set(GL_BLEND, true);
    caps.set(GL_TEXTURE_2D, false);
    color(c);
    glBegin(GL_LINES);
    glVertex3f(a->x, a->y, a->z);
    glVertex3f(b->x, b->y, b->z);
    glEnd();
}

void kvxDrawBox(Vertex2D* a, Vertex2D* b, Color* c) {
    if (!kvxOpenGLSelected() || a == nullptr || b == nullptr || c == nullptr) return;
    Vertex2D corners[4] = {{a->x, flipY(a->y)}, {b->x, flipY(a->y)}, {b->x, flipY(b->y)}, {a->x, flipY(b->y)}};
    Vertex3D ends[8];
    for (int i = 0; i < 4; ++i) {
        const Vertex2D& from = corners[i];
        const Vertex2D& to = corners[(i + 1) % 4];
        ends[2 * i] = {from.x, from.y, 0.0f};
        ends[2 * i + 1] = {to.x, to.y, 0.0f};
    }
    drawFlatLines(ends, 8, c);
}

void kvxDrawFilledBox(Vertex2D* a, Vertex2D* b, Color* c) { kvxDrawFilledBox(a, b, c, c, c, c); }

void kvxDrawFilledBox(Vertex2D* a, Vertex2D* b, Color* c1, Color* c2, Color* c3, Color* c4) {
    if (!kvxOpenGLSelected() || a == nullptr || b == nullptr) return;
    if (c1 == nullptr || c2 == nullptr || c3 == nullptr || c4 == nullptr) return;
    a->y = flipY(a->y);
    b->y = flipY(b->y);
    drawFlatQuad(*a, *b, c1, c2, c3, c4);
}

void kvxDrawImage(Vertex3D* pos, Material* material, Color* tint, float width, float height, bool, float angle) {
    Texture* t = imageTexture(material);
    if (!kvxOpenGLSelected() || t == nullptr || pos == nullptr) return;
    float hw = width / 2.0f;
    float hh = height / 2.0f;
    SavedCaps caps;
    setImageCaps(&caps, true);
    beginImageMatrices();
    glTranslatef(pos->x + hw, kvxViewport.height - hh - pos->y, kImageDepth);
    if (angle != 0.0f) glRotatef(angle, 0.0f, 0.0f, 1.0f);
    drawImageQuad(t, tint, hw, hh);
    endImageMatrices();
}

void kvxDrawImageWithoutYConversion(Vertex3D* pos, Material* material, Color* tint, float width, float height, bool) {
    Texture* t = imageTexture(material);
    if (!kvxOpenGLSelected() || t == nullptr || pos == nullptr) return;
    SavedCaps caps;
    setImageCaps(&caps, false);
    beginImageMatrices();
    glTranslatef(pos->x, pos->y, kImageDepth);
    drawImageQuad(t, tint, width / 2.0f, height / 2.0f);
    endImageMatrices();
}

void kvxDrawGrid(Color* colors, Vertex2D* texCoords, float width, float height, Material* material) {
    Texture* t = imageTexture(material);
    if (!kvxOpenGLSelected() || t == nullptr || colors == nullptr || texCoords == nullptr) return;
    SavedCaps caps;
    setImageCaps(&caps, true);
    beginImageMatrices();
    glPushMatrix();
    glTranslatef(0.0f, height, kGridDepth);
    bindCurrentFrame(t);
    float cw = width * kGridColumnStep;
    float rh = height * kGridRowStep;
    glBegin(GL_QUADS);
    for (int i = 0; i + 1 < kvxGridRows; ++i) {
        for (int j = 0; j + 1 < kvxGridColumns; ++j) {
            gridPoint(colors, texCoords, i, j, cw, rh);
            gridPoint(colors, texCoords, i, j + 1, cw, rh);
            gridPoint(colors, texCoords, i + 1, j + 1, cw, rh);
            gridPoint(colors, texCoords, i + 1, j, cw, rh);
        }
    }
    glEnd();
    glPopMatrix();
    endImageMatrices();
}

bool kvxIsVisible(float x, float y, float z) {
    if (!kvxOpenGLSelected()) return false;
    int px = static_cast<int>(x);
    int py = static_cast<int>(y);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    if (px < 0 || py < 0 || px >= viewport[0] + viewport[2] || py >= viewport[1] + viewport[3]) return false;
    GLfloat depth = 0.0f;
    glReadPixels(px, py, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    return depth >= z;
}

void kvxGetBuffer(char* buffer, int width, int height) {
    if (!kvxOpenGLSelected() || buffer == nullptr || width < 1 || height < 1) return;
    // Tight rows whatever pixel packing the caller left, so exactly
    // width x height x 4 bytes are written.
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glPixelStorei(GL_PACK_SKIP_ROWS, 0);
    glPixelStorei(GL_PACK_SKIP_PIXELS, 0);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, buffer);
    glPopClientAttrib();
}
