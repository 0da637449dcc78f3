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
// Enables capability cap (an engine constant); returns 0.
int kvxEnable(int cap);
// Disables capability cap; returns 0.
int kvxDisable(int cap);
// True when capability cap is enabled.
bool kvxIsEnabled(int cap);
// Sets the blend factors (engine constants).
void kvxBlendFunc(int src, int dst);
// Sets the alpha test function and reference value.
void kvxAlphaFunc(int func, float ref);
// Sets the depth comparison.
void kvxDepthFunc(int func);
// Turns writing to the depth buffer on (KVX_TRUE) or off (KVX_FALSE).
void kvxDepthMask(int flag);
// Sets flat (KVX_FLAT) or smooth (KVX_SMOOTH) shading; returns 0.
int kvxShadeModel(int model);
// Selects the matrix the matrix calls act on (KVX_MODELVIEW, KVX_PROJECTION, KVX_TEXTURE).
void kvxSetMatrixType(int mode);
// Saves the state groups of mask.
void kvxPushAttrib(int mask);
// Restores the state saved last.
void kvxPopAttrib();

// Fog.
// Turns on linear fog of color between the distances start and end; returns 0.
int kvxSetFog(Color color, float start, float end);
// Turns on exponential fog of color with density; returns 0.
int kvxSetFog(Color color, float density);
// Sets the density of exponential fog.
void kvxSetFogDensity(float density);
// Sets where linear fog starts.
void kvxSetFogStart(float start);
// Sets where linear fog is complete.
void kvxSetFogEnd(float end);

// Frame.
// Clears the colour and depth buffers.
void kvxClear();
// Shows the frame drawn (swaps the window's buffers).
void kvxSwapBuffers();
// Sets the colour kvxClear fills with.
void kvxSetClearColor(Color* color);
// Begins a Direct3D scene (does nothing with OpenGL).
void kvxDXBeginScene();
// Ends a Direct3D scene (does nothing with OpenGL).
void kvxDXEndScene();
// Restores lost Direct3D surfaces (does nothing with OpenGL).
void kvxDXRestoreSurfaces();

// Matrices.
// Loads the identity into the current matrix.
void kvxInitMatrix();
// Saves the current matrix.
void kvxPushMatrix();
// Restores the matrix saved last.
void kvxPopMatrix();
// Rotates by angle degrees about the axis (x, y, z).
void kvxRotate(float angle, float x, float y, float z);
// Translates by (x, y, z).
void kvxTranslate(float x, float y, float z);
// Scales by (x, y, z).
void kvxScale(float x, float y, float z);
// Sets m to the identity.
void kvxInitializeMatrix(float (*m)[4][4]);
// Transposes the 16 floats of m from column-major to row-major order.
void kvxMatrixColumnToRow(float* m);
// Transposes the 16 floats of m from row-major to column-major order.
void kvxMatrixRowToColumn(float* m);
// Transposes m from column-major to row-major order.
void kvxMatrixColumnToRow(float (*m)[4][4]);
// Transposes m from row-major to column-major order.
void kvxMatrixRowToColumn(float (*m)[4][4]);
// Multiplies the current matrix by m.
void kvxMultMatrix(float (*m)[4][4]);
// Copies the model-view matrix into m (16 floats, OpenGL order).
void kvxGetModelViewMatrix(float* m);
// Copies the model-view matrix into m (16 doubles, OpenGL order).
void kvxGetModelViewMatrix(double* m);
// Copies the projection matrix into m (16 floats, OpenGL order).
void kvxGetProjectionMatrix(float* m);
// Copies the projection matrix into m (16 doubles, OpenGL order).
void kvxGetProjectionMatrix(double* m);
// Copies the viewport (x, y, width, height) into v.
void kvxGetViewportMatrix(int* v);
// Multiplies the current matrix by a view from the eye towards the target with the given up vector.
void kvxLookAt(float eyeX, float eyeY, float eyeZ, float targetX, float targetY, float targetZ, float upX, float upY,
               float upZ);
// Multiplies the current matrix by the view through camera (eye, target, roll); returns 0, or an error code
// when camera is null.
int kvxLookWithCamera(Camera* camera);

// Projection.
// Sets the vertical field of view in degrees and reloads the projection.
void kvxSetFOV(float fov);
// Takes the field of view of camera.
void kvxSetFOV(Camera* camera);
// Returns the field of view in degrees.
float kvxGetFOV();
// Takes the projection values of v and reloads the projection.
void kvxSetViewport(Viewport* v);
// Returns the current projection values (kvxViewport).
Viewport* kvxGetViewport();

// Display lists and immediate mode.
// Returns the first of range new display list names, or 0.
int kvxGenLists(int range);
// Deletes range display lists from list on; returns 0.
int kvxDeleteLists(int list, int range);
// Returns 1 when list names a display list, else 0.
int kvxIsList(int list);
// Starts recording display list list (KVX_COMPILE or KVX_COMPILE_AND_EXECUTE); returns 0.
int kvxNewList(int list, int mode);
// Ends recording the display list; returns 0.
int kvxEndList();
// Replays display list list; returns 0.
int kvxCallList(int list);
// Starts immediate-mode primitives of type mode (KVX_TRIANGLES, ...); returns 0.
int kvxBegin(int mode);
// Ends the primitives; returns 0.
int kvxEnd();
// Sets the colour of the next vertices; returns 0.
int kvxColor4f(float r, float g, float b, float a);
// Sets the normal of the next vertices; returns 0.
int kvxNormal3f(float x, float y, float z);
// Adds a vertex; returns 0.
int kvxVertex3f(float x, float y, float z);
// Sets the texture coordinate of the next vertices; returns 0.
int kvxTexCoord2f(float s, float t);

#endif
