#ifndef KVX_TESTS_DEMORUN_H
#define KVX_TESTS_DEMORUN_H

// Running the real demo program and reading the frames it writes.

#include <string>
#include <vector>

#include "Programs.h"

namespace demotest {

using kvxtest::runCommand;
using kvxtest::tempPath;

const std::string kBuild = KVX_BINARY_DIR;
constexpr int kW = 640, kH = 480;

struct Frame {
    std::vector<unsigned char> rgb;
    bool ok() const { return rgb.size() == size_t(kW) * kH * 3; }
    const unsigned char* at(int x, int y) const { return &rgb[(size_t(y) * kW + x) * 3]; }
    int luma(int x, int y) const { return (at(x, y)[0] + at(x, y)[1] + at(x, y)[2]) / 3; }
    int brightest(int x, int y) const;
};

// Reads a frame the demo wrote; not ok() when it is missing or not 640 x 480.
Frame readPng(const std::string& path);
// The program and its generated data are built.
bool haveData();
// A copy of the program in the scratch folder tempPath(name), beside a data folder
// that links every generated file except those named in `without`; the folder's path.
std::string stageDemo(const std::string& name, const std::vector<std::string>& without);

}  // namespace demotest

#endif
