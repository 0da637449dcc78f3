#include "render/TextureUpload.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include "render/Engine.h"
#include "texture/Texture.h"

int32_t kvxCurrentMipMapType = kvxMipMapTrilinear;

namespace {

const int kTrueColorBits = 32;

void specifyImage(const Texture& t, GLint internalFormat) {
    if (t.data == nullptr || t.width < 1 || t.height < 1) return;
    if (t.mipmap) {
        gluBuild2DMipmaps(GL_TEXTURE_2D, internalFormat, t.width, t.height, GL_RGBA, GL_UNSIGNED_BYTE, t.data);
    } else {
        glTexImage2D(GL_TEXTURE_2D, 0, internalFormat, t.width, t.height, 0, GL_RGBA, GL_UNSIGNED_BYTE, t.data);
    }
}

GLint minificationFilter(const Texture& t) {
    if (!t.mipmap) return GL_LINEAR;
    return kvxGetMipMapType() == kvxMipMapTrilinear ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR_MIPMAP_NEAREST;
}

}  // namespace

unsigned int kvxCreateTextureName() {
    if (!kvxOpenGLSelected()) return 0;
    GLuint name = 0;
    glGenTextures(1, &name);
    return name;
}

bool kvxTextureUploaded(int name) {
    if (!kvxOpenGLSelected()) return false;
    return glIsTexture(static_cast<GLuint>(name)) == GL_TRUE;
}

int kvxDeleteTexture(unsigned int name) {
    if (kvxOpenGLSelected()) glDeleteTextures(1, &name);
    return 0;
}

void kvxSetMipMapType(int type) { kvxCurrentMipMapType = type; }

int kvxGetMipMapType() { return kvxCurrentMipMapType; }

int kvxUploadTexture(Texture* t, int frame) {
    if (!kvxOpenGLSelected() || t == nullptr || frame < 0 || frame >= Texture::kMaxFrames) return 0;
    GLint internalFormat = t->bits == kTrueColorBits ? GL_RGBA8 : GL_RGBA4;
    glBindTexture(GL_TEXTURE_2D, t->textureIDs[frame]);
    specifyImage(*t, internalFormat);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minificationFilter(*t));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    GLint wrap = t->wrap ? GL_REPEAT : GL_CLAMP;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_PRIORITY, static_cast<GLint>(t->priority));
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    return 0;
}
