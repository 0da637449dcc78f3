#include "TextureTestSupport.h"

using namespace kvxtest;

namespace {

// A texture holding a side x side buffer of one colour.
void solid(Texture& t, int side, unsigned char r, unsigned char g, unsigned char b, unsigned char a) {
    t.width = side;
    t.height = side;
    delete[] t.data;
    t.data = new unsigned char[side * side * 4];
    for (int i = 0; i < side * side; ++i) {
        t.data[i * 4] = r;
        t.data[i * 4 + 1] = g;
        t.data[i * 4 + 2] = b;
        t.data[i * 4 + 3] = a;
    }
}

GLint parameter(GLuint name, GLenum pname) {
    glBindTexture(GL_TEXTURE_2D, name);
    GLint v = -1;
    glGetTexParameteriv(GL_TEXTURE_2D, pname, &v);
    return v;
}

GLfloat priority(GLuint name) {
    glBindTexture(GL_TEXTURE_2D, name);
    GLfloat v = -1.0f;
    glGetTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_PRIORITY, &v);
    return v;
}

GLint levelParameter(GLuint name, int level, GLenum pname) {
    glBindTexture(GL_TEXTURE_2D, name);
    GLint v = -1;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, pname, &v);
    return v;
}

class Upload : public ::testing::Test {
protected:
    GlWindow window;
    ScratchDir dir;
    void SetUp() override { ASSERT_TRUE(window.ready()); }
    void TearDown() override { kvxSetMipMapType(kvxMipMapTrilinear); }
};

}  // namespace

TEST_F(Upload, TrueColourMipMappedTrilinearByDefault) {
    EXPECT_EQ(kvxGetMipMapType(), kvxMipMapTrilinear);
    EXPECT_EQ(kvxCurrentMipMapType, kvxMipMapTrilinear);
    Texture t;
    t.bits = 32;
    solid(t, 4, 10, 20, 30, 40);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_DECAL);
    ASSERT_EQ(t.uploadTexture(0), 0);
    EXPECT_EQ(t.data, nullptr);
    GLuint name = t.textureIDs[0];
    ASSERT_NE(name, 0u);
    EXPECT_TRUE(kvxTextureUploaded(static_cast<int>(name)));
    EXPECT_EQ(parameter(name, GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
    EXPECT_EQ(parameter(name, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    EXPECT_EQ(parameter(name, GL_TEXTURE_WRAP_S), GL_REPEAT);
    EXPECT_EQ(parameter(name, GL_TEXTURE_WRAP_T), GL_REPEAT);
    EXPECT_EQ(priority(name), 1.0f);
    EXPECT_EQ(levelParameter(name, 0, GL_TEXTURE_INTERNAL_FORMAT), GL_RGBA8);
    EXPECT_EQ(levelParameter(name, 1, GL_TEXTURE_WIDTH), 2);
    EXPECT_EQ(levelParameter(name, 2, GL_TEXTURE_WIDTH), 1);
    GLint mode = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &mode);
    EXPECT_EQ(mode, GL_MODULATE);
    unsigned char texels[16 * 4];
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);
    EXPECT_EQ(texels[0], 10);
    EXPECT_EQ(texels[1], 20);
    EXPECT_EQ(texels[2], 30);
    EXPECT_EQ(texels[3], 40);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(Upload, MipMapTypeAppliesToLaterUploadsOnly) {
    Texture before;
    solid(before, 4, 1, 1, 1, 1);
    ASSERT_EQ(before.uploadTexture(0), 0);
    kvxSetMipMapType(0);
    EXPECT_EQ(kvxGetMipMapType(), 0);
    Texture after;
    solid(after, 4, 1, 1, 1, 1);
    ASSERT_EQ(after.uploadTexture(0), 0);
    EXPECT_EQ(parameter(before.textureIDs[0], GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
    EXPECT_EQ(parameter(after.textureIDs[0], GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_NEAREST);
}

TEST_F(Upload, SingleLevelClampedSixteenBit) {
    Texture t;
    t.mipmap = false;
    t.wrap = false;
    t.priority = 0.7f;  // truncated to 0
    solid(t, 8, 255, 0, 0, 255);
    ASSERT_EQ(t.uploadTexture(0), 0);
    GLuint name = t.textureIDs[0];
    EXPECT_EQ(parameter(name, GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    EXPECT_EQ(parameter(name, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    EXPECT_EQ(parameter(name, GL_TEXTURE_WRAP_S), GL_CLAMP);
    EXPECT_EQ(parameter(name, GL_TEXTURE_WRAP_T), GL_CLAMP);
    EXPECT_EQ(priority(name), 0.0f);
    EXPECT_EQ(levelParameter(name, 0, GL_TEXTURE_INTERNAL_FORMAT), GL_RGBA4);
    EXPECT_EQ(levelParameter(name, 1, GL_TEXTURE_WIDTH), 0);
}

TEST_F(Upload, UpdateReusesTheNameAndKeepsThePixels) {
    Texture t;
    t.bits = 32;
    t.mipmap = false;
    solid(t, 2, 5, 5, 5, 5);
    EXPECT_EQ(t.updateTexture(0), 0);  // nothing uploaded yet: binds name 0 only
    ASSERT_EQ(t.uploadTexture(0), 0);
    GLuint name = t.textureIDs[0];
    EXPECT_EQ(t.updateTexture(0), 0);  // no pixels any more: nothing happens
    solid(t, 2, 90, 80, 70, 60);
    EXPECT_EQ(t.updateTexture(0), 0);
    EXPECT_NE(t.data, nullptr);
    EXPECT_EQ(t.textureIDs[0], name);
    unsigned char texels[16];
    glBindTexture(GL_TEXTURE_2D, name);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);
    EXPECT_EQ(texels[0], 90);
    EXPECT_EQ(texels[3], 60);
}

TEST_F(Upload, NamesLiveUntilDeletedOrTheTextureIsDestroyed) {
    EXPECT_FALSE(kvxTextureUploaded(4242));
    unsigned int name = kvxCreateTextureName();
    ASSERT_NE(name, 0u);
    glBindTexture(GL_TEXTURE_2D, name);
    EXPECT_TRUE(kvxTextureUploaded(static_cast<int>(name)));
    EXPECT_EQ(kvxDeleteTexture(name), 0);
    EXPECT_FALSE(kvxTextureUploaded(static_cast<int>(name)));

    Texture* t = new Texture;
    solid(*t, 2, 1, 2, 3, 4);
    ASSERT_EQ(t->uploadTexture(0), 0);
    GLuint replaced = t->textureIDs[0];
    solid(*t, 2, 1, 2, 3, 4);
    ASSERT_EQ(t->uploadTexture(0), 0);  // a second upload of the frame frees its old name
    EXPECT_FALSE(kvxTextureUploaded(static_cast<int>(replaced)));
    GLuint owned = t->textureIDs[0];
    EXPECT_TRUE(kvxTextureUploaded(static_cast<int>(owned)));
    delete t;
    EXPECT_FALSE(kvxTextureUploaded(static_cast<int>(owned)));
}

TEST_F(Upload, WithoutTheOpenGLRasterizerNothingIsUploaded) {
    kvxSelectedRasterizer = 2;
    EXPECT_EQ(kvxCreateTextureName(), 0u);
    Texture t;
    solid(t, 2, 1, 2, 3, 4);
    EXPECT_EQ(t.uploadTexture(0), 11);
    EXPECT_TRUE(dir.logged("Cannot upload texture (possible openGL error)"));
    EXPECT_FALSE(kvxTextureUploaded(1));
    kvxSelectedRasterizer = 0;
    EXPECT_EQ(t.uploadTexture(64), 11);
}
