#include "DemoRun.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>

namespace demotest {

namespace {
uint32_t be32(const unsigned char* p) { return uint32_t(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3]; }
}  // namespace

int Frame::brightest(int x, int y) const { return std::max({at(x, y)[0], at(x, y)[1], at(x, y)[2]}); }

Frame readPng(const std::string& path) {
    Frame f;
    FILE* fp = fopen(path.c_str(), "rb");
    if (!fp) return f;
    std::vector<unsigned char> file;
    unsigned char buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof(buf), fp)) > 0) file.insert(file.end(), buf, buf + n);
    fclose(fp);
    std::vector<unsigned char> z;
    for (size_t pos = 8; pos + 12 <= file.size();) {
        uint32_t len = be32(&file[pos]);
        if (std::string(reinterpret_cast<char*>(&file[pos + 4]), 4) == "IDAT")
            z.insert(z.end(), file.begin() + pos + 8, file.begin() + pos + 8 + len);
        pos += 12 + len;
    }
    std::vector<unsigned char> raw;
    for (size_t p = 2; p + 5 <= z.size();) {
        bool last = z[p] & 1;
        size_t len = z[p + 1] | z[p + 2] << 8;
        raw.insert(raw.end(), z.begin() + p + 5, z.begin() + p + 5 + len);
        p += 5 + len;
        if (last) break;
    }
    for (int y = 0; y < kH && raw.size() >= size_t(kH) * (kW * 3 + 1); y++)
        f.rgb.insert(f.rgb.end(), raw.begin() + y * (kW * 3 + 1) + 1, raw.begin() + (y + 1) * (kW * 3 + 1));
    return f;
}

bool haveData() {
    struct stat st;
    return stat((kBuild + "/data/level01.dat").c_str(), &st) == 0 && stat((kBuild + "/demo").c_str(), &st) == 0;
}

}  // namespace demotest
