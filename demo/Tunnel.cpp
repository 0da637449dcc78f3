#include "Tunnel.h"

#include <cmath>
#include <cstring>
#include <string>

namespace demo {

namespace {
constexpr int kFadeInSteps = 60;
constexpr float kFadeInRate = 0.016666668f;
constexpr float kFullAlpha = 0.5f;
constexpr float kTexScale = 0.001953125f;  // 1 / 512
constexpr int kRowStride = 960;            // every third row of the table
constexpr int kColumnStride = 4;           // every fourth column

// False when the file ends before the table does.
bool readBlock(FILE* f, unsigned char* table) {
    size_t got = fread(table, 1, Tunnel::kTableSize, f);
    // The rest of the block is padding.
    fseek(f, Tunnel::kBlockSize - Tunnel::kTableSize, SEEK_CUR);
    return got == size_t(Tunnel::kTableSize);
}

void recentre(unsigned char* table) {
    for (int i = 0; i < Tunnel::kTableSize; i++) table[i] = (unsigned char)(table[i] - 128);
}
}  // namespace

Tunnel::Tunnel() : tableA(new unsigned char[kBufferSize]), tableB(new unsigned char[kBufferSize]) {
    std::memset(tableA, 0, kBufferSize);
    std::memset(tableB, 0, kBufferSize);
    std::memset(colors, 0, sizeof(colors));
    std::memset(texCoords, 0, sizeof(texCoords));
}

Tunnel::~Tunnel() {
    delete[] tableA;
    delete[] tableB;
}

bool Tunnel::load(const char* fileName) {
    FILE* f = kvxOpenFile(fileName, "rb");
    if (!f) return false;
    // A short file leaves zeros in the tables; the show goes on, the log says why.
    if (!loadBlocks(f))
        kvxPutToErrorLog((std::string("The tunnel tables of ") + fileName + " are incomplete").c_str(), 0);
    fclose(f);
    return true;
}

bool Tunnel::loadBlocks(FILE* f) {
    std::memset(tableA, 0, kBufferSize);
    std::memset(tableB, 0, kBufferSize);
    bool complete = readBlock(f, tableA);
    complete = readBlock(f, tableB) && complete;
    recentre(tableA);
    recentre(tableB);
    return complete;
}

void Tunnel::computeGrid() {
    float s1 = 2.0f * std::sin(kvxRad(float(2 * phase)));
    float s2 = 2.0f * std::sin(kvxRad(float(2 * phase + 90)));
    float s3 = 2.0f * std::sin(kvxRad(float(2 * phase + 180)));
    float alpha = phase < kFadeInSteps ? float(phase) * kFadeInRate : kFullAlpha;
    for (int i = 0; i < kGridRows; i++) {
        float si = std::sin(kvxRad(float(i))), ci = std::cos(kvxRad(float(i)));
        for (int j = 0; j < kGridColumns; j++) {
            float sj = std::sin(kvxRad(float(j))), cj = std::cos(kvxRad(float(j)));
            int n = i * kGridColumns + j;
            colors[n] = Color{cj * si * s1, sj * ci * s2, sj * si * s3, alpha};
            int q = (kRowStride * i + kColumnStride * j) % kTableSize;
            texCoords[n].x = float(phase + tableB[q]) * kTexScale;
            texCoords[n].y = float(phase + tableA[q]) * kTexScale;
        }
    }
}

}  // namespace demo
