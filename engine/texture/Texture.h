#ifndef KVX_TEXTURE_TEXTURE_H
#define KVX_TEXTURE_TEXTURE_H

// One image or animated image sequence: file names, the RGBA pixel buffer
// while it is in main memory, post-processing, and the rasterizer's texture
// names once uploaded.

#include <cstdint>

struct ImageTarget;

class Texture {
public:
    static const int kMaxFrames = 64;         // texture names and file-name slots
    static const int kNameSize = 64;          // one file-name slot, NUL included
    static const int kPathSize = 256;         // base directory plus name, NUL included
    static const int kBufferBytes = 4194304;  // the pixel buffer a load allocates
    static const int kMaxPixels = kBufferBytes / 4;
    static const int kMaxSide = 2048;      // largest side the size rule admits
    static const int kAlphaPlain = 12;     // alpha channel carries no meaning
    static const int kAlphaComputed = 13;  // alpha filled from an opacity map

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
    // Copies o member-wise (the pixel buffer is shared); returns this texture.
    Texture& operator=(const Texture& o) = default;

    // Sets the file name of frame index, cut to 63 characters.
    void setFilename(const char* name, int index);
    // Sets the directory the file names are relative to.
    void setBaseDir(const char* dir);
    // True when name ends in ext.
    bool checkExtension(char* name, const char* ext);
    // Returns a new texture name.
    int seekFreeTextureID();

    // Reads the frame names of an .IFL file named by the first file name; returns 0, or an error code.
    int extractNames();
    // The same, reading the .IFL file out of a pack file.
    int extractNames(const char* archive);
    // Reads frame index's image (JPEG or Targa) into the pixel buffer, scaled; returns 0, or an error code.
    int loadTexture(int index, float scale);
    // The same, reading the image out of a pack file.
    int loadTexture(int index, const char* archive, float scale);
    // Hands the pixels to the rasterizer as frame; returns 0, or an error code.
    int uploadTexture(int frame);
    // Uploads the pixels again as frame; returns 0.
    int updateTexture(int frame);

    // Doubles the contrast of the colour channels.
    void multiply();
    // Convolves the pixels with a 3 x 3 kernel, normalised by its sum.
    void filter(int* kernel);
    // Sharpens the pixels with a fixed kernel.
    void sharpenTexture();
    // Resizes the pixels by factor.
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
