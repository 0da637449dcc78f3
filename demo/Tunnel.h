#ifndef DEMO_TUNNEL_H
#define DEMO_TUNNEL_H

#include <cstdio>

#include "Korvex3D.h"

namespace demo {

// The texture tunnel: two 320 x 200 lookup tables drive the texture coordinates of
// an 80 x 60 colour grid.
class Tunnel {
public:
    static constexpr int kTableWidth = 320;
    static constexpr int kTableHeight = 200;
    static constexpr int kTableSize = kTableWidth * kTableHeight;  // 64000
    static constexpr int kBlockSize = 65535;
    static constexpr int kBufferSize = 70000;
    static constexpr int kGridColumns = 80;
    static constexpr int kGridRows = 60;
    static constexpr int kGridPoints = kGridColumns * kGridRows;

    Tunnel();
    ~Tunnel();
    Tunnel(const Tunnel&) = delete;
    Tunnel& operator=(const Tunnel&) = delete;

    // Reads both blocks; false when the file cannot be opened. A short file leaves the
    // missing bytes zero before conversion.
    bool load(const char* fileName);
    // False when the file ends before both tables are read.
    bool loadBlocks(FILE* f);
    void computeGrid();

    int phase = 0;
    unsigned char* tableA;
    unsigned char* tableB;
    Color colors[kGridPoints];
    Vertex2D texCoords[kGridPoints];
};

}  // namespace demo

#endif
