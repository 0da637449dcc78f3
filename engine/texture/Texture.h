#ifndef KVX_TEXTURE_TEXTURE_H
#define KVX_TEXTURE_TEXTURE_H

// One image or animated image sequence: file names, the RGBA pixel buffer
// while it is in main memory, post-processing, and the rasterizer's texture
// names once uploaded.

#include <cstdint>

struct ImageTarget;

class Texture {
public:
    static const int kMaxFrames = 64;          // texture names and file-name slots
    static const int kNameSize = 64;           // one file-name slot, NUL included
    static const int kPathSize = 256;          // base directory plus name, NUL included
    static const int kBufferBytes = 4194304;   // the pixel buffer a load allocates
    static const int kMaxPixels = kBufferBytes / 4;
    static const int kMaxSide = 2048;          // largest side the size rule admits
    static const int kAlphaPlain = 12;         // alpha channel carries no meaning
    static const int kAlphaComputed = 13;      // alpha filled from an opacity map

    int32_t width;
    int32_t height;
    int32_t components;
    char filename[kMaxFrames][kNameSize];
    unsigned char* data;
    float angle;
    float uOffset;
    float vOffset;
    float uScale;
    float vScale;
    int32_t frames;
    int32_t currentFrame;
    uint32_t textureIDs[kMaxFrames];
    float priority;
    bool mipmap;
    int32_t alphaType;
    int32_t percentage;
    bool wrap;
    char baseDir[kPathSize];
    int32_t bits;

    Texture();
    ~Texture();
    Texture& operator=(const Texture& o) = default;

    void setFilename(const char* name, int index);
    void setBaseDir(const char* dir);
    bool checkExtension(char* name, const char* ext);
    int seekFreeTextureID();

    int extractNames();
    int extractNames(const char* archive);
    int loadTexture(int index, float scale);
    int loadTexture(int index, const char* archive, float scale);
    int uploadTexture(int frame);
    int updateTexture(int frame);

    void multiply();
    void filter(int* kernel);
    void sharpenTexture();
    void scaleTexture(float factor);

private:
    int extractNamesFrom(const char* archive);
    int loadFrom(int index, const char* archive, float scale);
    int readImage(char* path, const char* archive);
    int readAlias(char* path, const char* archive);
    int readJpegInto(const char* path, const char* archive);
    int readTargaInto(const char* path, const char* archive);
    int readPictureInto(const char* path, const char* archive);
    void takeSize(const ImageTarget& target);
    int joinPath(const char* name, char* path);
    void releaseData();
    void replaceData(unsigned char* pixels);
};

#endif
