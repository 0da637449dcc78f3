// "tunnel.raw": the angle and depth tables of the classic tunnel mapping.
#include <cmath>
#include <cstdio>
#include <vector>

#include "Generators.h"

namespace {

constexpr int kCols = 320, kRows = 200, kBlock = 65535;
// The demo samples every third row (0..177) and every fourth column over the
// 640 x 480 screen, so the screen centre sits at table row 88.5, column 158,
// and one table step is this many screen pixels:
constexpr double kCentreX = 158.0, kCentreY = 88.5;
constexpr double kPixelsPerCol = 640.0 / 316.0, kPixelsPerRow = 480.0 / 177.0;
constexpr double kDepthScale = 16000.0;  // screen pixels x depth units
constexpr double kTurnsOfTexture = 2.0;  // texture tiles around the tube
constexpr double kInnerRadius = 30.0;    // inside it the far end is one flat depth
constexpr double kTwoPi = 6.283185307179586;

// The demo turns each stored byte b into (b - 128) mod 256.
unsigned char store(int value) { return static_cast<unsigned char>((value + 128) & 255); }

}  // namespace

void generateTunnelTable(Output& out) {
    std::vector<unsigned char> data(2 * kBlock, 0);
    for (int y = 0; y < kRows; ++y)
        for (int x = 0; x < kCols; ++x) {
            double dx = (x - kCentreX) * kPixelsPerCol, dy = (y - kCentreY) * kPixelsPerRow;
            double dist = std::max(kInnerRadius, std::sqrt(dx * dx + dy * dy));
            double angle = std::atan2(dy, dx);
            if (angle < 0) angle += kTwoPi;
            int a = static_cast<int>(angle / kTwoPi * 256.0 * kTurnsOfTexture) & 255;
            int b = static_cast<int>(kDepthScale / dist) & 255;
            data[static_cast<size_t>(y) * kCols + x] = store(a);
            data[kBlock + static_cast<size_t>(y) * kCols + x] = store(b);
        }
    std::string name = "tunnel.raw";
    FILE* f = std::fopen(out.path(name).c_str(), "wb");
    bool ok = f && std::fwrite(data.data(), 1, data.size(), f) == data.size();
    if (f) ok = std::fclose(f) == 0 && ok;
    out.wrote(name, ok);
}
