#ifndef KVX_RENDER_RENDERSTATE_H
#define KVX_RENDER_RENDERSTATE_H

// The thin state, matrix, fog, frame, display-list and immediate-mode calls
// through which the engine and its hosts drive the rasterizer. Engine
// constants are indices into kvxConvertCapTableOGL; an index outside the
// table makes the call do nothing.

#include "core/Types.h"

class Camera;

// Number of engine constants.
const int kvxCapTableSize = 34;
// The OpenGL value of each engine constant.
extern int kvxConvertCapTableOGL[kvxCapTableSize];

// Engine constants (indices of the table).
enum {
    KVX_TEXTURE = 0,
    KVX_PROJECTION = 1,
    KVX_MODELVIEW = 2,
    KVX_TEXTURE_2D = 3,
    KVX_FOG = 4,
    KVX_BLEND = 5,
    KVX_COLOR_MATERIAL = 6,
    KVX_CULL_FACE = 7,
    KVX_FLAT = 8,
    KVX_SMOOTH = 9,
    KVX_ALPHA_TEST = 10,
    KVX_DEPTH_TEST = 11,
    KVX_MODULATE = 12,
    KVX_DECAL = 13,
    KVX_BLEND_ENV = 14,
    KVX_SRC_ALPHA = 18,
    KVX_DST_ALPHA = 19,
    KVX_ONE = 20,
    KVX_ONE_MINUS_SRC_ALPHA = 21,
    KVX_DST_COLOR = 22,
    KVX_SRC_COLOR = 23,
    KVX_ZERO = 24,
    KVX_EQUAL = 25,
    KVX_LEQUAL = 26,
    KVX_GEQUAL = 27,
    KVX_FALSE = 28,
    KVX_TRUE = 29,
    KVX_COMPILE = 30,
    KVX_COMPILE_AND_EXECUTE = 31,
    KVX_GREATER = 32,
    KVX_ENABLE_BIT = 33,
};

// Primitive types of kvxBegin, which has a small table of its own.
enum {
    KVX_POINTS = 0,
    KVX_LINES,
    KVX_LINE_LOOP,
    KVX_LINE_STRIP,
    KVX_TRIANGLES,
    KVX_TRIANGLE_STRIP,
    KVX_TRIANGLE_FAN,
    KVX_QUADS,
    KVX_QUAD_STRIP,
    KVX_POLYGON,
    KVX_PRIMITIVE_COUNT
};

// Fills kvxConvertCapTableOGL.
void kvxFillCapTableOGL();

// State.
int kvxEnable(int cap);
int kvxDisable(int cap);
bool kvxIsEnabled(int cap);
void kvxBlendFunc(int src, int dst);
void kvxAlphaFunc(int func, float ref);
void kvxDepthFunc(int func);
void kvxDepthMask(int flag);
int kvxShadeModel(int model);
void kvxSetMatrixType(int mode);
void kvxPushAttrib(int mask);
void kvxPopAttrib();

// Fog.
int kvxSetFog(Color color, float start, float end);
int kvxSetFog(Color color, float density);
void kvxSetFogDensity(float density);
void kvxSetFogStart(float start);
void kvxSetFogEnd(float end);

// Frame.
void kvxClear();
void kvxSwapBuffers();
void kvxSetClearColor(Color* color);
void kvxDXBeginScene();
void kvxDXEndScene();
void kvxDXRestoreSurfaces();

// Matrices.
void kvxInitMatrix();
void kvxPushMatrix();
void kvxPopMatrix();
void kvxRotate(float angle, float x, float y, float z);
void kvxTranslate(float x, float y, float z);
void kvxScale(float x, float y, float z);
void kvxInitializeMatrix(float (*m)[4][4]);
void kvxMatrixColumnToRow(float* m);
void kvxMatrixRowToColumn(float* m);
void kvxMatrixColumnToRow(float (*m)[4][4]);
void kvxMatrixRowToColumn(float (*m)[4][4]);
void kvxMultMatrix(float (*m)[4][4]);
void kvxGetModelViewMatrix(float* m);
void kvxGetModelViewMatrix(double* m);
void kvxGetProjectionMatrix(float* m);
void kvxGetProjectionMatrix(double* m);
void kvxGetViewportMatrix(int* v);
void kvxLookAt(float eyeX, float eyeY, float eyeZ, float targetX, float targetY, float targetZ, float upX,
               float upY, float upZ);
int kvxLookWithCamera(Camera* camera);

// Projection.
void kvxSetFOV(float fov);
void kvxSetFOV(Camera* camera);
float kvxGetFOV();
void kvxSetViewport(Viewport* v);
Viewport* kvxGetViewport();

// Display lists and immediate mode.
int kvxGenLists(int range);
int kvxDeleteLists(int list, int range);
int kvxIsList(int list);
int kvxNewList(int list, int mode);
int kvxEndList();
int kvxCallList(int list);
int kvxBegin(int mode);
int kvxEnd();
int kvxColor4f(float r, float g, float b, float a);
int kvxNormal3f(float x, float y, float z);
int kvxVertex3f(float x, float y, float z);
int kvxTexCoord2f(float s, float t);

#endif
