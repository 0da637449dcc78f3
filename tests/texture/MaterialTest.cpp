#include "TextureTestSupport.h"

#include "texture/JpegWriter.h"

using namespace kvxtest;

namespace {

Material* named(const char* name) {
    Material* m = new Material;
    m->setName(name);
    return m;
}

// A texture of width x height pixels from f(x, y, channel) with that many components.
template <typename F>
Texture* image(int width, int height, int components, F f) {
    Texture* t = pixelTexture(width, height, f);
    t->components = components;
    return t;
}

}  // namespace

TEST(MaterialNames, LongNamesAreCutToTheNameField) {
    Material m;
    EXPECT_STREQ(m.name, "DEFAULT");
    std::string longName(300, 'm');
    m.setName(longName.c_str());
    EXPECT_EQ(strlen(m.name), 255u);
}

TEST(MaterialList, DefaultMaterialNumberingAndDeletion) {
    ScratchDir dir;
    TList list;
    ASSERT_NE(list.head, nullptr);
    EXPECT_STREQ(list.head->name, "KVXDefault");
    EXPECT_EQ(list.head->id, 0);
    EXPECT_EQ(list.head->next, nullptr);
    ASSERT_NE(list.head->diffuse, nullptr);
    EXPECT_EQ(list.head->diffuse, list.head->ambient);
    EXPECT_EQ(list.head->diffuse, list.head->specular);
    EXPECT_FLOAT_EQ(list.head->diffuse->r, 0.5f);
    EXPECT_FLOAT_EQ(list.head->diffuse->g, 0.0f);
    EXPECT_FLOAT_EQ(list.head->diffuse->b, 0.2f);
    EXPECT_FLOAT_EQ(list.head->diffuse->a, 1.0f);
    EXPECT_STREQ(list.baseDirectory, "");
    EXPECT_EQ(list.getMaterial(0), list.head);
    EXPECT_EQ(list.getMaterial(1), nullptr);
    EXPECT_EQ(list.seekLastMaterial(), list.head);

    Material* a = named("A");
    Material* b = named("B");
    Material* c = named("C");
    EXPECT_EQ(list.addMaterial(a), 0);
    EXPECT_EQ(list.addMaterial(b), 0);
    EXPECT_EQ(list.addMaterial(c), 0);
    EXPECT_EQ(a->id, 1);
    EXPECT_EQ(b->id, 2);
    EXPECT_EQ(c->id, 3);
    EXPECT_EQ(list.getPrevious(b), a);
    EXPECT_EQ(list.getPrevious(list.head), nullptr);
    EXPECT_EQ(list.delMaterial("B"), 0);
    EXPECT_EQ(a->next, c);
    EXPECT_EQ(list.getMaterial(2), nullptr);
    EXPECT_EQ(list.getMaterial(3), c);
    EXPECT_EQ(list.getMaterialID("C"), 3);
    Material* d = named("D");
    list.addMaterial(d);
    EXPECT_EQ(d->id, 4);  // numbers are not reused

    EXPECT_EQ(list.delMaterial("KVXDefault"), 23);
    EXPECT_TRUE(dir.logged("Could not delete material! Possible memoryleak or program crash!"));
    EXPECT_EQ(list.getMaterial(0), list.head);
    EXPECT_EQ(list.delMaterial("nothing"), 5);
    EXPECT_EQ(list.getMaterialID("nothing"), 5);
    EXPECT_EQ(list.getMaterialID(static_cast<Material*>(nullptr)), 5);
    EXPECT_TRUE(dir.logged("Material/Texture not found"));
    EXPECT_EQ(list.seekMaterial("a"), nullptr);  // case matters
}

TEST(MaterialList, EqualNamesFindTheEarlierMaterial) {
    TList list;
    Material* first = named("Same");
    Material* second = named("Same");
    list.addMaterial(first);
    list.addMaterial(second);
    EXPECT_EQ(list.seekMaterial("Same"), first);
    EXPECT_EQ(list.getMaterialID("Same"), 1);
}

TEST(MaterialList, BaseDirectoryEndsInOneBackslash) {
    ScratchDir dir;
    TList list;
    list.setBaseDirectory("data");
    EXPECT_STREQ(list.baseDirectory, "data\\");
    list.setBaseDirectory("maps\\");
    EXPECT_STREQ(list.baseDirectory, "maps\\");
    list.setBaseDirectory("");
    EXPECT_STREQ(list.baseDirectory, "");
    list.setBaseDirectory(std::string(255, 'd').c_str());  // no room for the backslash
    EXPECT_STREQ(list.baseDirectory, "");
    EXPECT_TRUE(dir.logged("Path is too long!"));
}

TEST(MaterialAlpha, OpacityAlphaGreyAndResampling) {
    Material own;
    own.addFirstTexture(image(2, 2, 3, [](int, int, int c) { return c == 3 ? 255 : 50; }));
    own.addOpacityTexture(image(2, 2, 4, [](int x, int y, int c) { return c == 3 ? 10 * (y * 2 + x) : 200; }));
    own.calcAlpha();
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(own.firstTexture->data[i * 4 + 3], 10 * i);
        EXPECT_EQ(own.firstTexture->data[i * 4], 50);
    }
    EXPECT_EQ(own.firstTexture->alphaType, 13);
    EXPECT_FLOAT_EQ(own.transparency, 1.0f);

    Material grey;
    grey.addFirstTexture(image(2, 2, 3, [](int, int, int) { return 255; }));
    grey.addOpacityTexture(image(2, 2, 3, [](int, int, int c) { return c == 0 ? 30 : (c == 1 ? 60 : 181); }));
    grey.calcAlpha();
    EXPECT_EQ(grey.firstTexture->data[3], (30 + 60 + 181) / 3);

    // Half-size map: each opacity pixel covers 2x2 first-texture pixels.
    Material half;
    half.addFirstTexture(image(4, 4, 3, [](int, int, int) { return 0; }));
    half.addOpacityTexture(image(2, 2, 4, [](int x, int y, int) { return 1 + y * 2 + x; }));
    half.calcAlpha();
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(pixelAt(half.firstTexture->data, 4, x, y)[3], 1 + (y / 2) * 2 + x / 2) << x << "," << y;
        }
    }
    EXPECT_EQ(half.opacityTexture->width, 4);
}

TEST(MaterialAlpha, NothingToMergeLeavesThePlainAlphaType) {
    Material none;
    none.calcAlpha();  // no first texture
    Material noMap;
    noMap.addFirstTexture(image(1, 1, 3, [](int, int, int) { return 9; }));
    noMap.firstTexture->alphaType = 13;
    noMap.calcAlpha();
    EXPECT_EQ(noMap.firstTexture->alphaType, 12);
    EXPECT_FLOAT_EQ(noMap.transparency, 0.0f);
    EXPECT_EQ(noMap.firstTexture->data[3], 9);
}

TEST(MaterialAlpha, LoadedTargaAndJpegMaps) {
    ScratchDir dir;
    Bytes tga = targaHeader(2, 2, 2, 32);
    for (int i = 0; i < 4; ++i) tga.insert(tga.end(), {1, 2, 3, static_cast<unsigned char>(60 * i)});
    writeFile("mask.tga", tga);
    std::vector<unsigned char> grey(4 * 4 * 4, 90);
    ASSERT_TRUE(kvxWriteJpeg("grey.jpg", grey.data(), 4, 4, 90));
    writeFile("base.tga", concat(targaHeader(2, 2, 2, 24), Bytes(12, 200)));
    writeFile("base4.tga", concat(targaHeader(2, 4, 4, 24), Bytes(48, 200)));

    Material fromTarga;
    Texture* first = new Texture;
    Texture* mask = new Texture;
    first->setFilename("base.tga", 0);
    mask->setFilename("mask.tga", 0);
    ASSERT_EQ(first->loadTexture(0, 1.0f), 0);
    ASSERT_EQ(mask->loadTexture(0, 1.0f), 0);
    fromTarga.addFirstTexture(first);
    fromTarga.addOpacityTexture(mask);
    fromTarga.calcAlpha();
    for (int i = 0; i < 4; ++i) EXPECT_EQ(first->data[i * 4 + 3], 60 * i);

    Material fromJpeg;
    Texture* first4 = new Texture;
    Texture* greyMap = new Texture;
    first4->setFilename("base4.tga", 0);
    greyMap->setFilename("grey.jpg", 0);
    ASSERT_EQ(first4->loadTexture(0, 1.0f), 0);
    ASSERT_EQ(greyMap->loadTexture(0, 1.0f), 0);
    fromJpeg.addFirstTexture(first4);
    fromJpeg.addOpacityTexture(greyMap);
    fromJpeg.calcAlpha();
    EXPECT_NEAR(first4->data[3], 90, 1);
}

TEST(MaterialColorTexture, NeedsADiffuseColour) {
    ScratchDir dir;
    Material m;
    EXPECT_EQ(m.makeTextureFromColor(), 30);
    EXPECT_TRUE(dir.logged("Material contains no diffuse values"));
    EXPECT_EQ(m.firstTexture, nullptr);
}

TEST(MaterialColorTexture, UploadsFourByFourOfTheDiffuseColour) {
    GlWindow window;
    ScratchDir dir;
    ASSERT_TRUE(window.ready());
    Material m;
    Color diffuse = {1.0f, 0.5f, 0.0f, 1.0f};
    m.addDiffuseColor(&diffuse);
    ASSERT_EQ(m.makeTextureFromColor(), 0);
    Texture* t = m.firstTexture;
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->width, 4);
    EXPECT_EQ(t->height, 4);
    EXPECT_STREQ(t->filename[0], "KVXCreated.KVX");
    EXPECT_EQ(t->data, nullptr);
    ASSERT_TRUE(kvxTextureUploaded(static_cast<int>(t->textureIDs[0])));
    unsigned char texels[16 * 4];
    glBindTexture(GL_TEXTURE_2D, t->textureIDs[0]);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);
    // The default 16-bit request stores 4 bits a channel: 127 reads back as 119.
    GLint format = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
    EXPECT_EQ(format, GL_RGBA4);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(texels[i * 4], 255);
        EXPECT_NEAR(texels[i * 4 + 1], 127, 9);
        EXPECT_EQ(texels[i * 4 + 2], 0);
        EXPECT_EQ(texels[i * 4 + 3], 255);
    }
}
