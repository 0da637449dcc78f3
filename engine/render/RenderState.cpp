#include "render/RenderState.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "platform/Window.h"
#include "render/Engine.h"
#include "render/ErrorLog.h"
#include "render/RenderMessages.h"
#include "scene/Camera.h"

int kvxConvertCapTableOGL[kvxCapTableSize];

namespace {

const GLenum kPrimitives[KVX_PRIMITIVE_COUNT] = {
    GL_POINTS,         GL_LINES,        GL_LINE_LOOP, GL_LINE_STRIP, GL_TRIANGLES,
    GL_TRIANGLE_STRIP, GL_TRIANGLE_FAN, GL_QUADS,     GL_QUAD_STRIP, GL_POLYGON,
};

// The OpenGL path with a valid engine constant; out translates it.
bool translate(int index, GLenum* out) {
    if (!kvxOpenGLSelected() || index < 0 || index >= kvxCapTableSize) return false;
    *out = GLenum(kvxConvertCapTableOGL[index]);
    return true;
}

void transpose(float* m) {
    for (int i = 0; i < 4; ++i)
        for (int j = i + 1; j < 4; ++j) {
            float t = m[i * 4 + j];
            m[i * 4 + j] = m[j * 4 + i];
            m[j * 4 + i] = t;
        }
}

void rebuildProjection() {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(kvxViewport.fov, kvxViewport.aspect, kvxViewport.zNear, kvxViewport.zFar);
    glMatrixMode(GL_MODELVIEW);
}

void setFogColor(const Color& color) {
    const GLfloat rgba[4] = {color.r, color.g, color.b, color.a};
    glFogfv(GL_FOG_COLOR, rgba);
}

}  // namespace

void kvxFillCapTableOGL() {
    const int table[kvxCapTableSize] = {
        GL_TEXTURE,
        GL_PROJECTION,
        GL_MODELVIEW,
        GL_TEXTURE_2D,
        GL_FOG,
        GL_BLEND,
        GL_COLOR_MATERIAL,
        GL_CULL_FACE,
        GL_FLAT,
        GL_SMOOTH,
        GL_ALPHA_TEST,
        GL_DEPTH_TEST,
        GL_MODULATE,
        GL_DECAL,
        GL_BLEND,
        0,
        0,
        0,
        GL_SRC_ALPHA,
        GL_DST_ALPHA,
        GL_ONE,
        GL_ONE_MINUS_SRC_ALPHA,
        GL_DST_COLOR,
        GL_SRC_COLOR,
        GL_ZERO,
        GL_EQUAL,
        GL_LEQUAL,
        GL_GEQUAL,
        GL_FALSE,
        GL_TRUE,
        GL_COMPILE,
        GL_COMPILE_AND_EXECUTE,
        GL_GREATER,
        GL_ENABLE_BIT,
    };
    for (int i = 0; i < kvxCapTableSize; ++i) kvxConvertCapTableOGL[i] = table[i];
}

// --- state -----------------------------------------------------------------

int kvxEnable(int cap) {
    GLenum c;
    if (translate(cap, &c)) glEnable(c);
    return 0;
}

int kvxDisable(int cap) {
    GLenum c;
    if (translate(cap, &c)) glDisable(c);
    return 0;
}

bool kvxIsEnabled(int cap) {
    GLenum c;
    return translate(cap, &c) && glIsEnabled(c) == GL_TRUE;
}

void kvxBlendFunc(int src, int dst) {
    GLenum s, d;
    if (translate(src, &s) && translate(dst, &d)) glBlendFunc(s, d);
}

void kvxAlphaFunc(int func, float ref) {
    GLenum f;
    if (translate(func, &f)) glAlphaFunc(f, ref);
}

void kvxDepthFunc(int func) {
    GLenum f;
    if (translate(func, &f)) glDepthFunc(f);
}

void kvxDepthMask(int flag) {
    GLenum f;
    if (translate(flag, &f)) glDepthMask(GLboolean(f));
}

int kvxShadeModel(int model) {
    GLenum m;
    if (translate(model, &m)) glShadeModel(m);
    return 0;
}

void kvxSetMatrixType(int mode) {
    GLenum m;
    if (translate(mode, &m)) glMatrixMode(m);
}

void kvxPushAttrib(int mask) {
    GLenum m;
    if (translate(mask, &m)) glPushAttrib(m);
}

void kvxPopAttrib() {
    if (kvxOpenGLSelected()) glPopAttrib();
}

// --- fog -------------------------------------------------------------------

int kvxSetFog(Color color, float start, float end) {
    if (!kvxOpenGLSelected()) return 0;
    kvxEnable(KVX_FOG);
    glFogi(GL_FOG_MODE, GL_LINEAR);
    glFogf(GL_FOG_START, start);
    glFogf(GL_FOG_END, end);
    setFogColor(color);
    return 0;
}

int kvxSetFog(Color color, float density) {
    if (!kvxOpenGLSelected()) return 0;
    kvxEnable(KVX_FOG);
    glFogi(GL_FOG_MODE, GL_EXP2);
    glFogf(GL_FOG_DENSITY, density);
    setFogColor(color);
    return 0;
}

void kvxSetFogDensity(float density) {
    if (!kvxOpenGLSelected()) return;
    glFogi(GL_FOG_MODE, GL_EXP2);
    glFogf(GL_FOG_DENSITY, density);
}

void kvxSetFogStart(float start) {
    if (kvxOpenGLSelected()) glFogf(GL_FOG_START, start);
}

void kvxSetFogEnd(float end) {
    if (kvxOpenGLSelected()) glFogf(GL_FOG_END, end);
}

// --- frame -----------------------------------------------------------------

void kvxClear() {
    if (kvxOpenGLSelected()) glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void kvxSwapBuffers() {
    if (kvxOpenGLSelected()) kvxPresent(KVX_hDC);
}

void kvxSetClearColor(Color* color) {
    if (kvxOpenGLSelected() && color) glClearColor(color->r, color->g, color->b, color->a);
}

void kvxDXBeginScene() {}
void kvxDXEndScene() {}
void kvxDXRestoreSurfaces() {}

// --- matrices --------------------------------------------------------------

void kvxInitMatrix() {
    if (kvxOpenGLSelected()) glLoadIdentity();
}

void kvxPushMatrix() {
    if (kvxOpenGLSelected()) glPushMatrix();
}

void kvxPopMatrix() {
    if (kvxOpenGLSelected()) glPopMatrix();
}

void kvxRotate(float angle, float x, float y, float z) {
    if (kvxOpenGLSelected()) glRotatef(angle, x, y, z);
}

void kvxTranslate(float x, float y, float z) {
    if (kvxOpenGLSelected()) glTranslatef(x, y, z);
}

void kvxScale(float x, float y, float z) {
    if (kvxOpenGLSelected()) glScalef(x, y, z);
}

void kvxInitializeMatrix(float (*m)[4][4]) {
    if (!m) return;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) (*m)[i][j] = i == j ? 1.0f : 0.0f;
}

void kvxMatrixColumnToRow(float* m) {
    if (m) transpose(m);
}

void kvxMatrixRowToColumn(float* m) {
    if (m) transpose(m);
}

void kvxMatrixColumnToRow(float (*m)[4][4]) {
    if (m) transpose(&(*m)[0][0]);
}

void kvxMatrixRowToColumn(float (*m)[4][4]) {
    if (m) transpose(&(*m)[0][0]);
}

void kvxMultMatrix(float (*m)[4][4]) {
    if (kvxOpenGLSelected() && m) glMultMatrixf(&(*m)[0][0]);
}

void kvxGetModelViewMatrix(float* m) {
    if (kvxOpenGLSelected() && m) glGetFloatv(GL_MODELVIEW_MATRIX, m);
}

void kvxGetModelViewMatrix(double* m) {
    if (kvxOpenGLSelected() && m) glGetDoublev(GL_MODELVIEW_MATRIX, m);
}

void kvxGetProjectionMatrix(float* m) {
    if (kvxOpenGLSelected() && m) glGetFloatv(GL_PROJECTION_MATRIX, m);
}

void kvxGetProjectionMatrix(double* m) {
    if (kvxOpenGLSelected() && m) glGetDoublev(GL_PROJECTION_MATRIX, m);
}

void kvxGetViewportMatrix(int* v) {
    if (kvxOpenGLSelected() && v) glGetIntegerv(GL_VIEWPORT, v);
}

void kvxLookAt(float eyeX, float eyeY, float eyeZ, float targetX, float targetY, float targetZ, float upX, float upY,
               float upZ) {
    if (kvxOpenGLSelected()) gluLookAt(eyeX, eyeY, eyeZ, targetX, targetY, targetZ, upX, upY, upZ);
}

int kvxLookWithCamera(Camera* camera) {
    if (!camera) return kvxPutToErrorLog(kMsgCameraNull, kCodeCameraNull);
    if (!kvxOpenGLSelected()) return 0;
    glRotatef(camera->roll, 0.0f, 0.0f, 1.0f);
    gluLookAt(camera->eye.x, camera->eye.y, camera->eye.z, camera->target.x, camera->target.y, camera->target.z, 0.0,
              0.0, 1.0);
    return 0;
}

// --- projection ------------------------------------------------------------

void kvxSetFOV(float fov) {
    if (!kvxOpenGLSelected()) return;
    kvxViewport.fov = fov;
    rebuildProjection();
}

void kvxSetFOV(Camera* camera) {
    if (!camera) {
        kvxPutToErrorLog(kMsgCameraNull, kCodeCameraNull);
        return;
    }
    kvxSetFOV(camera->fov);
}

float kvxGetFOV() { return kvxViewport.fov; }

void kvxSetViewport(Viewport* v) {
    if (!kvxOpenGLSelected() || !v) return;
    kvxViewport = *v;
    rebuildProjection();
}

Viewport* kvxGetViewport() { return &kvxViewport; }

// --- display lists and immediate mode --------------------------------------

int kvxGenLists(int range) { return kvxOpenGLSelected() ? int(glGenLists(range)) : 0; }

int kvxDeleteLists(int list, int range) {
    if (kvxOpenGLSelected()) glDeleteLists(GLuint(list), range);
    return 0;
}

int kvxIsList(int list) { return kvxOpenGLSelected() ? int(glIsList(GLuint(list))) : 0; }

int kvxNewList(int list, int mode) {
    GLenum m;
    if (translate(mode, &m)) glNewList(GLuint(list), m);
    return 0;
}

int kvxEndList() {
    if (kvxOpenGLSelected()) glEndList();
    return 0;
}

int kvxCallList(int list) {
    if (kvxOpenGLSelected()) glCallList(GLuint(list));
    return 0;
}

int kvxBegin(int mode) {
    if (kvxOpenGLSelected() && mode >= 0 && mode < KVX_PRIMITIVE_COUNT) glBegin(kPrimitives[mode]);
    return 0;
}

int kvxEnd() {
    if (kvxOpenGLSelected()) glEnd();
    return 0;
}

int kvxColor4f(float r, float g, float b, float a) {
    if (kvxOpenGLSelected()) glColor4f(r, g, b, a);
    return 0;
}

int kvxNormal3f(float x, float y, float z) {
    if (kvxOpenGLSelected()) glNormal3f(x, y, z);
    return 0;
}

int kvxVertex3f(float x, float y, float z) {
    if (kvxOpenGLSelected()) glVertex3f(x, y, z);
    return 0;
}

int kvxTexCoord2f(float s, float t) {
    if (kvxOpenGLSelected()) glTexCoord2f(s, t);
    return 0;
}
