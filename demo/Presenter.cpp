#include "Presenter.h"

#include <GL/gl.h>

#include "DemoSettings.h"

namespace demo {

namespace {
constexpr int kTextureWidth = 1024;  // powers of two that hold 640 x 480
constexpr int kTextureHeight = 512;
}  // namespace

Presenter::~Presenter() {
    if (texture_) glDeleteTextures(1, &texture_);
}

void Presenter::present() {
    int w = 0, h = 0;
    SDL_GL_GetDrawableSize(window_, &w, &h);
    if (w == kScreenWidth && h == kScreenHeight) return;
    if (w <= 0 || h <= 0) return;
    drawScaled(w, h);
}

void Presenter::drawScaled(int drawableW, int drawableH) {
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

    if (!texture_) {
        glGenTextures(1, &texture_);
        glBindTexture(GL_TEXTURE_2D, texture_);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, kTextureWidth, kTextureHeight, 0, GL_RGB, GL_UNSIGNED_BYTE, nullptr);
    }
    glBindTexture(GL_TEXTURE_2D, texture_);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, kScreenWidth, kScreenHeight);

    // Largest 4:3 rectangle that fits, centred.
    int w = drawableW, h = drawableW * kScreenHeight / kScreenWidth;
    if (h > drawableH) {
        h = drawableH;
        w = drawableH * kScreenWidth / kScreenHeight;
    }
    glDisable(GL_SCISSOR_TEST);
    glViewport(0, 0, drawableW, drawableH);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glViewport((drawableW - w) / 2, (drawableH - h) / 2, w, h);

    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glDisable(GL_LIGHTING);
    glDisable(GL_FOG);
    glDisable(GL_CULL_FACE);
    glDisable(GL_ALPHA_TEST);
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    const float u = float(kScreenWidth) / kTextureWidth, v = float(kScreenHeight) / kTextureHeight;
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0); glVertex2f(0, 0);
    glTexCoord2f(u, 0); glVertex2f(1, 0);
    glTexCoord2f(u, v); glVertex2f(1, 1);
    glTexCoord2f(0, v); glVertex2f(0, 1);
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
