#include "Presenter.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include "DemoSettings.h"

namespace demo {

namespace {
constexpr int kCopyTextureWidth = 1024;  // powers of two that hold 640 x 480
constexpr int kCopyTextureHeight = 512;

// Framebuffer objects come from the driver at run time: the engine needs only OpenGL 1.1.
struct FramebufferCalls {
    PFNGLGENFRAMEBUFFERSPROC genFramebuffers = nullptr;
    PFNGLDELETEFRAMEBUFFERSPROC deleteFramebuffers = nullptr;
    PFNGLBINDFRAMEBUFFERPROC bindFramebuffer = nullptr;
    PFNGLFRAMEBUFFERTEXTURE2DPROC framebufferTexture2D = nullptr;
    PFNGLGENRENDERBUFFERSPROC genRenderbuffers = nullptr;
    PFNGLDELETERENDERBUFFERSPROC deleteRenderbuffers = nullptr;
    PFNGLBINDRENDERBUFFERPROC bindRenderbuffer = nullptr;
    PFNGLRENDERBUFFERSTORAGEPROC renderbufferStorage = nullptr;
    PFNGLFRAMEBUFFERRENDERBUFFERPROC framebufferRenderbuffer = nullptr;
    PFNGLCHECKFRAMEBUFFERSTATUSPROC checkFramebufferStatus = nullptr;
    PFNGLBLITFRAMEBUFFERPROC blitFramebuffer = nullptr;

    bool load() {
        if (!SDL_GL_ExtensionSupported("GL_ARB_framebuffer_object")) return false;
        genFramebuffers = PFNGLGENFRAMEBUFFERSPROC(SDL_GL_GetProcAddress("glGenFramebuffers"));
        deleteFramebuffers = PFNGLDELETEFRAMEBUFFERSPROC(SDL_GL_GetProcAddress("glDeleteFramebuffers"));
        bindFramebuffer = PFNGLBINDFRAMEBUFFERPROC(SDL_GL_GetProcAddress("glBindFramebuffer"));
        framebufferTexture2D = PFNGLFRAMEBUFFERTEXTURE2DPROC(SDL_GL_GetProcAddress("glFramebufferTexture2D"));
        genRenderbuffers = PFNGLGENRENDERBUFFERSPROC(SDL_GL_GetProcAddress("glGenRenderbuffers"));
        deleteRenderbuffers = PFNGLDELETERENDERBUFFERSPROC(SDL_GL_GetProcAddress("glDeleteRenderbuffers"));
        bindRenderbuffer = PFNGLBINDRENDERBUFFERPROC(SDL_GL_GetProcAddress("glBindRenderbuffer"));
        renderbufferStorage = PFNGLRENDERBUFFERSTORAGEPROC(SDL_GL_GetProcAddress("glRenderbufferStorage"));
        framebufferRenderbuffer = PFNGLFRAMEBUFFERRENDERBUFFERPROC(SDL_GL_GetProcAddress("glFramebufferRenderbuffer"));
        checkFramebufferStatus = PFNGLCHECKFRAMEBUFFERSTATUSPROC(SDL_GL_GetProcAddress("glCheckFramebufferStatus"));
        blitFramebuffer = PFNGLBLITFRAMEBUFFERPROC(SDL_GL_GetProcAddress("glBlitFramebuffer"));
        return genFramebuffers && deleteFramebuffers && bindFramebuffer && framebufferTexture2D && genRenderbuffers &&
               deleteRenderbuffers && bindRenderbuffer && renderbufferStorage && framebufferRenderbuffer &&
               checkFramebufferStatus && blitFramebuffer;
    }
};

FramebufferCalls gl;
}  // namespace

Rect letterbox(int w, int h) {
    Rect r{0, 0, w, w * kScreenHeight / kScreenWidth};
    if (r.h > h) {
        r.h = h;
        r.w = h * kScreenWidth / kScreenHeight;
    }
    r.x = (w - r.w) / 2;
    r.y = (h - r.h) / 2;
    return r;
}

Presenter::Presenter(SDL_Window* window) : window_(window) {}

Presenter::~Presenter() {
    if (framebuffer_) {
        gl.bindFramebuffer(GL_FRAMEBUFFER, 0);
        gl.deleteFramebuffers(1, &framebuffer_);
        gl.deleteRenderbuffers(1, &depthBuffer_);
        glDeleteTextures(1, &colorTexture_);
    }
    if (copyTexture_) glDeleteTextures(1, &copyTexture_);
}

bool Presenter::createFramebuffer() {
    if (!gl.load()) return false;
    glPushAttrib(GL_TEXTURE_BIT);
    glGenTextures(1, &colorTexture_);
    glBindTexture(GL_TEXTURE_2D, colorTexture_);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, kScreenWidth, kScreenHeight, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glPopAttrib();
    gl.genRenderbuffers(1, &depthBuffer_);
    gl.bindRenderbuffer(GL_RENDERBUFFER, depthBuffer_);
    gl.renderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, kScreenWidth, kScreenHeight);
    gl.genFramebuffers(1, &framebuffer_);
    gl.bindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    gl.framebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, colorTexture_, 0);
    gl.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depthBuffer_);
    if (gl.checkFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE) return true;
    gl.bindFramebuffer(GL_FRAMEBUFFER, 0);
    gl.deleteFramebuffers(1, &framebuffer_);
    gl.deleteRenderbuffers(1, &depthBuffer_);
    glDeleteTextures(1, &colorTexture_);
    framebuffer_ = 0;
    return false;
}

void Presenter::begin() {
    if (!framebuffer_ && !createFramebuffer()) return;
    gl.bindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    glViewport(0, 0, kScreenWidth, kScreenHeight);
}

void Presenter::present() {
    int w = 0, h = 0;
    SDL_GL_GetDrawableSize(window_, &w, &h);
    if (w <= 0 || h <= 0) return;
    if (framebuffer_)
        blitScaled(w, h);
    else if (w != kScreenWidth || h != kScreenHeight)
        copyScaled(w, h);
}

void Presenter::blitScaled(int drawableW, int drawableH) {
    glPushAttrib(GL_COLOR_BUFFER_BIT | GL_SCISSOR_BIT);
    gl.bindFramebuffer(GL_FRAMEBUFFER, 0);
    gl.bindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer_);
    glDisable(GL_SCISSOR_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    Rect r = letterbox(drawableW, drawableH);
    gl.blitFramebuffer(0, 0, kScreenWidth, kScreenHeight, r.x, r.y, r.x + r.w, r.y + r.h, GL_COLOR_BUFFER_BIT,
                       GL_LINEAR);
    gl.bindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    glPopAttrib();
}

void Presenter::copyScaled(int drawableW, int drawableH) {
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glMatrixMode(GL_TEXTURE);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, 1, 0, 1, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();

    if (!copyTexture_) {
        glGenTextures(1, &copyTexture_);
        glBindTexture(GL_TEXTURE_2D, copyTexture_);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, kCopyTextureWidth, kCopyTextureHeight, 0, GL_RGB, GL_UNSIGNED_BYTE,
                     nullptr);
    }
    glBindTexture(GL_TEXTURE_2D, copyTexture_);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, kScreenWidth, kScreenHeight);

    Rect r = letterbox(drawableW, drawableH);
    glDisable(GL_SCISSOR_TEST);
    glViewport(0, 0, drawableW, drawableH);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glViewport(r.x, r.y, r.w, r.h);

    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glDisable(GL_LIGHTING);
    glDisable(GL_FOG);
    glDisable(GL_CULL_FACE);
    glDisable(GL_ALPHA_TEST);
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    const float u = float(kScreenWidth) / kCopyTextureWidth, v = float(kScreenHeight) / kCopyTextureHeight;
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2f(0, 0);
    glTexCoord2f(u, 0);
    glVertex2f(1, 0);
    glTexCoord2f(u, v);
    glVertex2f(1, 1);
    glTexCoord2f(0, v);
    glVertex2f(0, 1);
    glEnd();

    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_TEXTURE);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopAttrib();
}

}  // namespace demo
