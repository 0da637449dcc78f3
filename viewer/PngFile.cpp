#include "PngFile.h"

#include <cerrno>
#include <cstring>
#include <vector>

#include <Korvex3D.h>

bool saveFrameAsPng(const std::string& path, int width, int height, std::string* error) {
    std::vector<char> rgba(static_cast<size_t>(width) * height * 4);
    kvxGetBuffer(rgba.data(), width, height);
    std::vector<unsigned char> rgb(static_cast<size_t>(width) * height * 3);
    for (size_t i = 0; i < rgb.size() / 3; ++i) memcpy(&rgb[i * 3], &rgba[i * 4], 3);
    errno = 0;
    if (kvxWritePng(path.c_str(), rgb.data(), width, height, true)) return true;
    *error = path + ": " + (errno != 0 ? strerror(errno) : "cannot write PNG");
    return false;
}
