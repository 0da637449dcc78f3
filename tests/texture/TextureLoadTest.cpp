#include "TextureTestSupport.h"

#include <SDL.h>
#include <png.h>

#include "core/PackFile.h"
#include "texture/JpegWriter.h"

using namespace kvxtest;

namespace {

// 24-bit pixels of a 4x2 picture in file order (B, G, R).
Bytes bgrPixels(int count) {
    Bytes p;
    for (int i = 0; i < count; ++i) {
        p.push_back(static_cast<unsigned char>(10 + i));   // B
        p.push_back(static_cast<unsigned char>(100 + i));  // G
        p.push_back(static_cast<unsigned char>(200 + i));  // R
    }
    return p;
}

// Rows top first; the top half red, the bottom half blue.
std::vector<unsigned char> twoBandPicture(int width, int height) {
    std::vector<unsigned char> rgba(static_cast<size_t>(width) * height * 4);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            unsigned char* p = &rgba[(static_cast<size_t>(y) * width + x) * 4];
            bool top = y < height / 2;
            p[0] = top ? 255 : 0;
            p[1] = 0;
            p[2] = top ? 0 : 255;
            p[3] = 255;
        }
    }
    return rgba;
}

void writeJpeg(const std::string& name, int width, int height) {
    std::vector<unsigned char> rgba = twoBandPicture(width, height);
    ASSERT_TRUE(kvxWriteJpeg(name.c_str(), rgba.data(), width, height, 90));
}

void writeUniformJpeg(const std::string& name, int width, int height, unsigned char r, unsigned char g,
                      unsigned char b) {
    std::vector<unsigned char> rgba(static_cast<size_t>(width) * height * 4, 255);
    for (size_t i = 0; i < rgba.size(); i += 4) {
        rgba[i] = r;
        rgba[i + 1] = g;
        rgba[i + 2] = b;
    }
    ASSERT_TRUE(kvxWriteJpeg(name.c_str(), rgba.data(), width, height, 90));
}

int load(Texture& t, const char* name, float scale = 1.0f) {
    t.setFilename(name, 0);
    return t.loadTexture(0, scale);
}

}  // namespace

TEST(TextureNames, CheckExtensionUpperCasesInPlace) {
    Texture t;
    char name[] = "a.jpg";
    EXPECT_TRUE(t.checkExtension(name, ".JPG"));
    EXPECT_STREQ(name, "A.JPG");
    char other[] = "pic.tga";
    EXPECT_FALSE(t.checkExtension(other, ".JPG"));
    char shortName[] = "jpg";
    EXPECT_FALSE(t.checkExtension(shortName, "JPG"));
}

TEST(TextureNames, OverlongNamesAndPathsAreRefusedWithTheirCodes) {
    ScratchDir dir;
    Texture t;
    std::string longName(64, 'n');
    t.setFilename(longName.c_str(), 0);
    EXPECT_STREQ(t.filename[0], "");
    EXPECT_TRUE(dir.logged("File name is too long!"));

    std::string fitting(63, 'n');
    t.setFilename(fitting.c_str(), 2);
    EXPECT_STREQ(t.filename[2], fitting.c_str());

    std::string base(200, 'd');
    t.setBaseDir(base.c_str());
    t.setFilename((std::string(52, 'f') + ".tga").c_str(), 0);  // 200 + 56 > 255
    EXPECT_EQ(t.loadTexture(0, 1.0f), 66);
    EXPECT_TRUE(dir.logged("Path is too long!"));
    EXPECT_EQ(t.loadTexture(64, 1.0f), 68);
    EXPECT_EQ(t.loadTexture(-1, 1.0f), 68);
}

TEST(TargaLoading, Uncompressed24BitSwapsToRgbWithOpaqueAlpha) {
    ScratchDir dir;
    writeFile("small.tga", concat(targaHeader(2, 4, 2, 24), bgrPixels(8)));
    Texture t;
    ASSERT_EQ(load(t, "small.tga"), 0);
    EXPECT_EQ(t.width, 4);
    EXPECT_EQ(t.height, 2);
    EXPECT_EQ(t.components, 3);
    ASSERT_NE(t.data, nullptr);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(t.data[i * 4 + 0], 200 + i) << i;  // rows kept in file order
        EXPECT_EQ(t.data[i * 4 + 1], 100 + i) << i;
        EXPECT_EQ(t.data[i * 4 + 2], 10 + i) << i;
        EXPECT_EQ(t.data[i * 4 + 3], 255) << i;
    }
    EXPECT_TRUE(dir.log().empty());
}

TEST(TargaLoading, RunLength32BitKeepsAlphaAndCrossesRows) {
    ScratchDir dir;
    // 4x2: a run of 6 pixels across the row end, then 2 literals.
    Bytes body = {0x85, 1, 2, 3, 40, 0x01, 5, 6, 7, 80, 9, 10, 11, 120};
    writeFile("rle.tga", concat(targaHeader(10, 4, 2, 32), body));
    Texture t;
    ASSERT_EQ(load(t, "rle.tga"), 0);
    EXPECT_EQ(t.components, 4);
    for (int i = 0; i < 6; ++i) {
        const unsigned char* p = t.data + i * 4;
        EXPECT_EQ(p[0], 3);
        EXPECT_EQ(p[1], 2);
        EXPECT_EQ(p[2], 1);
        EXPECT_EQ(p[3], 40);
    }
    EXPECT_EQ(t.data[6 * 4 + 0], 7);
    EXPECT_EQ(t.data[6 * 4 + 3], 80);
    EXPECT_EQ(t.data[7 * 4 + 0], 11);
    EXPECT_EQ(t.data[7 * 4 + 3], 120);
}

TEST(TargaLoading, ImageIdFieldIsSkipped) {
    ScratchDir dir;
    Bytes file = targaHeader(2, 1, 1, 24, 3);
    file.insert(file.end(), {'a', 'b', 'c', 30, 20, 10});
    writeFile("id.tga", file);
    Texture t;
    ASSERT_EQ(load(t, "id.tga"), 0);
    EXPECT_EQ(t.data[0], 10);
    EXPECT_EQ(t.data[1], 20);
    EXPECT_EQ(t.data[2], 30);
}

TEST(TargaLoading, BadFilesLogTheirMessageThenTheLoadFailure) {
    ScratchDir dir;
    struct Case {
        const char* name;
        Bytes bytes;
        const char* readerMessage;
    };
    Bytes rleOverrun = concat(targaHeader(10, 2, 2, 24), Bytes{0x84, 1, 2, 3});
    Bytes rleTruncated = concat(targaHeader(10, 2, 2, 24), Bytes{0x03, 1, 2, 3});
    Bytes rawTruncated = concat(targaHeader(2, 4, 4, 24), bgrPixels(15));
    std::vector<Case> cases = {
        {"depth16.tga", concat(targaHeader(2, 2, 2, 16), Bytes(8, 0)), "TGA depth is too low!"},
        {"negative.tga", concat(targaHeader(2, 2, 2, 0xA0), Bytes(64, 0)), "TGA depth is too low!"},
        {"paletted.tga", concat(targaHeader(1, 2, 2, 24), Bytes(12, 0)), "Imagetype is unknown!"},
        {"depth40.tga", concat(targaHeader(2, 2, 2, 40), Bytes(20, 0)), "TGA depth is too high!"},
        {"header.tga", Bytes(10, 0), "TGA file is truncated!"},
        {"raw.tga", rawTruncated, "TGA file is truncated!"},
        {"rletrunc.tga", rleTruncated, "TGA file is truncated!"},
        {"overrun.tga", rleOverrun, "TGA run-length packet runs past the image!"},
        {"huge.tga", targaHeader(2, 2048, 1024, 24), "Image is too large for the texture buffer!"},
    };
    for (const Case& c : cases) {
        writeFile(c.name, c.bytes);
        dir.clearLog();
        Texture t;
        EXPECT_EQ(load(t, c.name), 9) << c.name;
        std::vector<std::string> log = dir.log();
        ASSERT_EQ(log.size(), 2u) << c.name;
        EXPECT_EQ(log[0], c.readerMessage) << c.name;
        EXPECT_EQ(log[1], "Error loading .TGA file") << c.name;
        EXPECT_LE(static_cast<size_t>(t.width) * t.height, static_cast<size_t>(Texture::kMaxPixels)) << c.name;
    }
    dir.clearLog();
    Texture missing;
    EXPECT_EQ(load(missing, "absent.tga"), 9);
    EXPECT_TRUE(dir.logged("File not found!"));
}

TEST(TargaLoading, SizeRuleAdmitsPowersOfTwoUpTo2048) {
    ScratchDir dir;
    writeFile("odd.tga", concat(targaHeader(2, 3, 2, 24), bgrPixels(6)));
    writeFile("wide.tga", concat(targaHeader(2, 2048, 2, 24), bgrPixels(4096)));
    writeFile("toowide.tga", concat(targaHeader(2, 4096, 1, 24), bgrPixels(4096)));
    Texture a, b, c;
    EXPECT_EQ(load(a, "odd.tga"), 12);
    EXPECT_TRUE(dir.logged("Illegal texture size (width and height must be n^2)"));
    EXPECT_EQ(load(b, "wide.tga"), 0);
    EXPECT_EQ(load(c, "toowide.tga"), 12);
}

TEST(TextureLoading, UnknownExtensionAndFrameListFiles) {
    ScratchDir dir;
    Texture t;
    EXPECT_EQ(load(t, "picture.pcx"), 6);
    EXPECT_TRUE(dir.logged("Texture (image) format not supported"));
    EXPECT_EQ(load(t, "anim.ifl"), 0);  // lists are not images
    EXPECT_EQ(t.data, nullptr);
}

TEST(TextureLoading, LoadWithScaleShrinksTheImage) {
    ScratchDir dir;
    writeFile("eight.tga", concat(targaHeader(2, 8, 8, 24), bgrPixels(64)));
    Texture t;
    ASSERT_EQ(load(t, "eight.tga", 0.5f), 0);
    EXPECT_EQ(t.width, 4);
    EXPECT_EQ(t.height, 4);
}

TEST(JpegLoading, WrittenJpegReadsBackFlippedIntoBottomUpRows) {
    ScratchDir dir;
    writeJpeg("bands.jpg", 256, 512);
    Texture t;
    ASSERT_EQ(load(t, "bands.jpg"), 0);
    EXPECT_EQ(t.width, 256);
    EXPECT_EQ(t.height, 512);
    EXPECT_EQ(t.components, 3);
    const unsigned char* bottom = pixelAt(t.data, 256, 100, 10);  // first buffer rows: picture bottom
    const unsigned char* top = pixelAt(t.data, 256, 100, 500);
    EXPECT_LT(bottom[0], 16);
    EXPECT_GT(bottom[2], 239);
    EXPECT_GT(top[0], 239);
    EXPECT_LT(top[2], 16);
    EXPECT_EQ(bottom[3], 255);
    EXPECT_EQ(top[3], 255);
}

TEST(JpegLoading, SizeRuleAndBadData) {
    ScratchDir dir;
    writeJpeg("vga.jpg", 640, 480);
    Texture vga;
    EXPECT_EQ(load(vga, "vga.jpg"), 12);
    EXPECT_EQ(vga.width, 640);
    EXPECT_EQ(vga.height, 480);

    writeText("noise.jpg", "this is not a JPEG file at all");
    Texture noise;
    dir.clearLog();
    EXPECT_EQ(load(noise, "noise.jpg"), 8);
    EXPECT_TRUE(dir.logged("JPEG data is corrupt or truncated!"));
    EXPECT_TRUE(dir.logged("Error loading .JPG file"));

    writeJpeg("whole.jpg", 64, 64);
    Bytes whole = readBytes("whole.jpg");
    writeFile("half.jpg", Bytes(whole.begin(), whole.begin() + whole.size() / 2));
    Texture half;
    dir.clearLog();
    EXPECT_EQ(load(half, "half.jpg"), 8);
    EXPECT_TRUE(dir.logged("JPEG data is corrupt or truncated!"));

    writeFile("empty.jpg", Bytes());
    Texture empty;
    EXPECT_EQ(load(empty, "empty.jpg"), 8);

    writeUniformJpeg("huge.jpg", 2048, 1024, 1, 2, 3);
    Texture huge;
    dir.clearLog();
    EXPECT_EQ(load(huge, "huge.jpg"), 8);
    EXPECT_TRUE(dir.logged("Image is too large for the texture buffer!"));
    EXPECT_EQ(huge.width * huge.height, 0);  // an upload can never read past the buffer

    Texture missing;
    EXPECT_EQ(load(missing, "absent.jpg"), 8);
}

TEST(AliasLoading, PngTifGifNamesAreServedByJpegThenTarga) {
    ScratchDir dir;
    writeUniformJpeg("image.jpg", 8, 8, 0, 255, 0);
    writeFile("IMAGE.TGA", concat(targaHeader(2, 2, 2, 32), Bytes(16, 7)));
    Texture fromJpeg;
    ASSERT_EQ(load(fromJpeg, "IMAGE.png"), 0);
    EXPECT_EQ(fromJpeg.width, 8);
    EXPECT_EQ(fromJpeg.components, 3);
    EXPECT_GT(fromJpeg.data[1], 240);

    writeFile("other.tga", concat(targaHeader(2, 2, 2, 32), Bytes(16, 7)));
    Texture fromTarga;
    ASSERT_EQ(load(fromTarga, "other.gif"), 0);
    EXPECT_EQ(fromTarga.width, 2);
    EXPECT_EQ(fromTarga.components, 4);
    EXPECT_EQ(fromTarga.data[3], 7);

    Texture neither;
    dir.clearLog();
    EXPECT_EQ(load(neither, "nothing.tif"), 10);
    EXPECT_TRUE(dir.logged("Error loading file"));
}

// Rows top first: the top row red with alpha 128, the bottom row blue.
std::vector<unsigned char> twoRowPicture() {
    std::vector<unsigned char> rgba;
    for (int i = 0; i < 8; ++i) {
        bool top = i < 4;
        unsigned char px[4] = {static_cast<unsigned char>(top ? 255 : 0), static_cast<unsigned char>(i * 10),
                               static_cast<unsigned char>(top ? 0 : 255), static_cast<unsigned char>(top ? 128 : 255)};
        rgba.insert(rgba.end(), px, px + 4);
    }
    return rgba;
}

uint32_t bigEndian(const Bytes& b, size_t at) {
    return (uint32_t(b[at]) << 24) | (uint32_t(b[at + 1]) << 16) | (uint32_t(b[at + 2]) << 8) | b[at + 3];
}

TEST(AliasLoading, PngAndBmpNamesFallBackToTheNamedFile) {
    ScratchDir dir;
    std::vector<unsigned char> rgba = twoRowPicture();
    png_image image;
    memset(&image, 0, sizeof(image));
    image.version = PNG_IMAGE_VERSION;
    image.width = 4;
    image.height = 2;
    image.format = PNG_FORMAT_RGBA;
    ASSERT_TRUE(png_image_write_to_file(&image, "pic.png", 0, rgba.data(), 0, nullptr));
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormatFrom(rgba.data(), 4, 2, 32, 16, SDL_PIXELFORMAT_RGBA32);
    SDL_Surface* rgb = SDL_ConvertSurfaceFormat(s, SDL_PIXELFORMAT_RGB24, 0);
    ASSERT_EQ(SDL_SaveBMP(rgb, "PIC.BMP"), 0);
    SDL_FreeSurface(rgb);
    SDL_FreeSurface(s);

    // Bottom row first: the blue row, then the red one.
    Texture png, bmp;
    ASSERT_EQ(load(png, "pic.png"), 0);
    EXPECT_EQ(png.width, 4);
    EXPECT_EQ(png.height, 2);
    EXPECT_EQ(png.components, 4);
    ASSERT_EQ(load(bmp, "pic.bmp"), 0);
    EXPECT_EQ(bmp.components, 3);
    for (int i = 0; i < 8; ++i) {
        const unsigned char* want = &rgba[static_cast<size_t>((i + 4) % 8) * 4];
        for (int c = 0; c < 3; ++c) {
            EXPECT_EQ(png.data[i * 4 + c], want[c]) << "png pixel " << i;
            EXPECT_EQ(bmp.data[i * 4 + c], want[c]) << "bmp pixel " << i;
        }
        EXPECT_EQ(png.data[i * 4 + 3], want[3]);
        EXPECT_EQ(bmp.data[i * 4 + 3], 255);
    }

    Bytes broken = {0x89, 'P', 'N', 'G', 13, 10, 26, 10, 0, 0};
    writeFile("broken.png", broken);
    Texture bad;
    dir.clearLog();
    EXPECT_EQ(load(bad, "broken.png"), 10);
    EXPECT_EQ(load(bad, "missing.bmp"), 10);
    EXPECT_TRUE(dir.logged("Error loading file"));

    // A real map: the size its header gives.
    std::string base = std::string(KVX_SOURCE_DIR) + "/tests/data/3ds-wild/online3dviewer/";
    std::FILE* f = std::fopen((base + "cube.png").c_str(), "rb");
    ASSERT_NE(f, nullptr);
    Bytes header(24);
    ASSERT_EQ(std::fread(header.data(), 1, header.size(), f), header.size());
    std::fclose(f);
    Texture real;
    real.setBaseDir(base.c_str());
    ASSERT_EQ(load(real, "cube.png"), 0);
    EXPECT_EQ(static_cast<uint32_t>(real.width), bigEndian(header, 16));
    EXPECT_EQ(static_cast<uint32_t>(real.height), bigEndian(header, 20));
}

TEST(FrameLists, NamesUpToTheEndMarkerWithEveryLineEnd) {
    ScratchDir dir;
    writeText("anim.ifl", "frame0.tga\r\nabc\n    x   \nframe1.tga\r\rframe2.tga\x1b<EOF>\nframe3.tga\n");
    Texture t;
    t.setFilename("anim.ifl", 0);
    ASSERT_EQ(t.extractNames(), 0);
    EXPECT_EQ(t.frames, 3);
    EXPECT_STREQ(t.filename[1], "frame0.tga");
    EXPECT_STREQ(t.filename[2], "frame1.tga");
    EXPECT_STREQ(t.filename[3], "frame2.tga");
    EXPECT_STREQ(t.filename[4], "");

    writeText("marked.ifl", "only.tga\n<EOF>" + std::string(300, '-') + "\n" + std::string(300, 'x') + "\n");
    Texture marked;
    marked.setFilename("marked.ifl", 0);
    EXPECT_EQ(marked.extractNames(), 0);  // nothing after the marker is read
    EXPECT_EQ(marked.frames, 1);

    Texture plain;
    plain.frames = 5;
    plain.setFilename("still.jpg", 0);
    EXPECT_EQ(plain.extractNames(), 0);
    EXPECT_EQ(plain.frames, 1);
}

TEST(FrameLists, FramesLoadRelativeToTheBaseDirectory) {
    ScratchDir dir;
    ASSERT_EQ(system("mkdir -p maps"), 0);
    writeText("maps/ANIM.IFL", "f0.tga\nf1.tga\n");
    writeFile("maps/f0.tga", concat(targaHeader(2, 1, 1, 24), Bytes{1, 2, 3}));
    writeFile("maps/f1.tga", concat(targaHeader(2, 1, 1, 24), Bytes{4, 5, 6}));
    Texture t;
    t.setBaseDir("maps\\");
    t.setFilename("anim.ifl", 0);
    ASSERT_EQ(t.extractNames(), 0);
    ASSERT_EQ(t.frames, 2);
    ASSERT_EQ(t.loadTexture(1, 1.0f), 0);
    EXPECT_EQ(t.data[0], 3);
    ASSERT_EQ(t.loadTexture(2, 1.0f), 0);
    EXPECT_EQ(t.data[0], 6);
}

TEST(FrameLists, BadListsLogCodeSeven) {
    ScratchDir dir;
    struct Case {
        const char* name;
        std::string text;
        const char* reason;
    };
    std::vector<Case> cases = {
        {"short.ifl", "abc\nab\n    a    \n", nullptr},
        {"empty.ifl", "", nullptr},
        {"longline.ifl", "ok.tga\n" + std::string(300, 'x') + ".tga\n", "File name is too long!"},
        {"longname.ifl", std::string(60, 'y') + ".tga\n", "File name is too long!"},
    };
    for (const Case& c : cases) {
        writeText(c.name, c.text);
        dir.clearLog();
        Texture t;
        t.setFilename(c.name, 0);
        EXPECT_EQ(t.extractNames(), 7) << c.name;
        EXPECT_TRUE(dir.logged("Error loading .IFL file")) << c.name;
        if (c.reason != nullptr) {
            EXPECT_TRUE(dir.logged(c.reason)) << c.name;
        }
    }
    Texture missing;
    missing.setFilename("absent.ifl", 0);
    EXPECT_EQ(missing.extractNames(), 7);
}

TEST(FrameLists, MoreThanSixtyThreeNamesKeepTheFirstSixtyThree) {
    ScratchDir dir;
    std::string text;
    for (int i = 0; i < 70; ++i) text += "frame" + std::to_string(i) + ".tga\n";
    writeText("many.ifl", text);
    Texture t;
    t.setFilename("many.ifl", 0);
    EXPECT_EQ(t.extractNames(), 0);
    EXPECT_EQ(t.frames, 63);
    EXPECT_STREQ(t.filename[63], "frame62.tga");
    EXPECT_TRUE(dir.logged("Too many frames in .IFL file, only the first 63 are used"));
}

TEST(PackLoading, ImagesAndListsComeFromPackEntries) {
    ScratchDir dir;
    writeJpeg("photo.jpg", 16, 8);
    Bytes jpeg = readBytes("photo.jpg");
    remove("photo.jpg");
    Bytes tga = concat(targaHeader(2, 2, 1, 24), Bytes{1, 2, 3, 4, 5, 6});
    writeFile("test.pak", packFile({{"MAPS\\Pic.TGA", tga},
                                    {"maps\\photo.jpg", jpeg},
                                    {"maps\\anim.ifl", Bytes{'p', 'i', 'c', '.', 't', 'g', 'a', '\n', 'a', 'l', 'i',
                                                             'a', 's', '.', 'p', 'n', 'g', '\n'}},
                                    {"maps\\alias.tga", tga}}));
    Texture t;
    t.setBaseDir("maps\\");
    t.setFilename("pic.tga", 0);
    ASSERT_EQ(t.loadTexture(0, "test.pak", 1.0f), 0);
    EXPECT_EQ(t.width, 2);
    EXPECT_EQ(t.height, 1);
    EXPECT_EQ(t.data[0], 3);
    EXPECT_EQ(t.data[4], 6);

    Texture j;
    j.setBaseDir("maps\\");
    j.setFilename("PHOTO.JPG", 0);
    ASSERT_EQ(j.loadTexture(0, "test.pak", 1.0f), 0);
    EXPECT_EQ(j.width, 16);
    EXPECT_EQ(j.height, 8);
    EXPECT_LT(j.data[0], 16);  // bottom row of the picture: blue
    EXPECT_GT(j.data[2], 239);

    Texture list;
    list.setBaseDir("maps\\");
    list.setFilename("anim.ifl", 0);
    ASSERT_EQ(list.extractNames("test.pak"), 0);
    ASSERT_EQ(list.frames, 2);
    EXPECT_STREQ(list.filename[1], "pic.tga");
    EXPECT_STREQ(list.filename[2], "alias.png");
    EXPECT_EQ(list.loadTexture(2, "test.pak", 1.0f), 0);  // alias served by the Targa entry
    EXPECT_EQ(list.width, 2);
    EXPECT_FALSE(packIsOpen());
}

TEST(PackLoading, MissingEntriesAndPacksFailWithTheLoadCodes) {
    ScratchDir dir;
    writeFile("test.pak", packFile({{"only.tga", concat(targaHeader(2, 1, 1, 24), Bytes{1, 2, 3})}}));
    Texture t;
    t.setFilename("absent.tga", 0);
    EXPECT_EQ(t.loadTexture(0, "test.pak", 1.0f), 9);
    EXPECT_TRUE(dir.logged("File not found!"));
    t.setFilename("absent.jpg", 0);
    EXPECT_EQ(t.loadTexture(0, "test.pak", 1.0f), 8);
    t.setFilename("only.tga", 0);
    EXPECT_EQ(t.loadTexture(0, "nopack.pak", 1.0f), 9);
    t.setFilename("absent.ifl", 0);
    EXPECT_EQ(t.extractNames("test.pak"), 7);
    EXPECT_FALSE(packIsOpen());
}

TEST(JpegLoading, GreyJpegExpandsToEqualChannels) {
    ScratchDir dir;
    // 16 x 8, one channel: the top four rows 200, the bottom four 60.
    Bytes grey = readBytes(std::string(KVX_SOURCE_DIR) + "/fuzz/corpus/jpeg_fuzz/grey.jpg");
    ASSERT_FALSE(grey.empty());
    writeFile("grey.jpg", grey);
    Texture t;
    ASSERT_EQ(load(t, "grey.jpg"), 0);
    EXPECT_EQ(t.width, 16);
    EXPECT_EQ(t.height, 8);
    for (int y = 0; y < 8; ++y) {
        const unsigned char* p = pixelAt(t.data, 16, 5, y);
        EXPECT_EQ(p[0], p[1]);
        EXPECT_EQ(p[1], p[2]);
        EXPECT_NEAR(p[0], y < 4 ? 60 : 200, 3) << y;
        EXPECT_EQ(p[3], 255);
    }
}
