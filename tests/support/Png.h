#ifndef KVX_TESTS_PNG_H
#define KVX_TESTS_PNG_H

// PNG files in tests: pictures written to look at, and frames that programs wrote.

#include <string>
#include <vector>

namespace kvxtest {

// 8-bit RGB pixels, top row first.
struct RgbImage {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;
    const unsigned char* at(int x, int y) const { return &rgb[(size_t(y) * width + x) * 3]; }
};

// Reads any PNG as RGB; an empty image when it cannot be read.
RgbImage readPng(const std::string& path);

// Writes RGB rows, bottom row first when bottomUp (as OpenGL reads them); true on success.
bool writePng(const std::string& path, const unsigned char* rgb, int width, int height, bool bottomUp);

}  // namespace kvxtest

#endif
