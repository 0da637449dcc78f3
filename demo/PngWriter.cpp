#include "PngWriter.h"

#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

constexpr size_t kMaxStoredBlock = 65535;

uint32_t crc32(const unsigned char* data, size_t n, uint32_t crc = 0xffffffffu) {
    static uint32_t table[256];
    static bool ready = false;
    if (!ready) {
        for (uint32_t i = 0; i < 256; i++) {
            uint32_t c = i;
            for (int k = 0; k < 8; k++) c = (c & 1) ? 0xedb88320u ^ (c >> 1) : c >> 1;
            table[i] = c;
        }
        ready = true;
    }
    for (size_t i = 0; i < n; i++) crc = table[(crc ^ data[i]) & 0xff] ^ (crc >> 8);
    return crc;
}

void put32(std::vector<unsigned char>& out, uint32_t v) {
    for (int s = 24; s >= 0; s -= 8) out.push_back((unsigned char)(v >> s));
}

void chunk(FILE* f, const char* type, const std::vector<unsigned char>& body) {
    std::vector<unsigned char> buf;
    put32(buf, uint32_t(body.size()));
    buf.insert(buf.end(), type, type + 4);
    buf.insert(buf.end(), body.begin(), body.end());
    put32(buf, crc32(buf.data() + 4, buf.size() - 4) ^ 0xffffffffu);
    fwrite(buf.data(), 1, buf.size(), f);
}

std::vector<unsigned char> zlibStored(const std::vector<unsigned char>& raw) {
    std::vector<unsigned char> z = {0x78, 0x01};
    size_t pos = 0;
    do {
        size_t n = raw.size() - pos < kMaxStoredBlock ? raw.size() - pos : kMaxStoredBlock;
        z.push_back(pos + n == raw.size() ? 1 : 0);
        z.push_back((unsigned char)(n & 0xff));
        z.push_back((unsigned char)(n >> 8));
        z.push_back((unsigned char)(~n & 0xff));
        z.push_back((unsigned char)((~n >> 8) & 0xff));
        z.insert(z.end(), raw.begin() + pos, raw.begin() + pos + n);
        pos += n;
    } while (pos < raw.size());
    uint32_t a = 1, b = 0;
    for (unsigned char c : raw) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    put32(z, (b << 16) | a);
    return z;
}

}  // namespace

bool writePng(const char* fileName, const unsigned char* rgb, int width, int height) {
    FILE* f = fopen(fileName, "wb");
    if (!f) return false;
    static const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    fwrite(kSignature, 1, 8, f);
    std::vector<unsigned char> header;
    put32(header, uint32_t(width));
    put32(header, uint32_t(height));
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8-bit RGB, no interlace
    chunk(f, "IHDR", header);
    std::vector<unsigned char> raw;
    raw.reserve(size_t(height) * (size_t(width) * 3 + 1));
    for (int y = 0; y < height; y++) {
        raw.push_back(0);
        raw.insert(raw.end(), rgb + size_t(y) * width * 3, rgb + size_t(y + 1) * width * 3);
    }
    chunk(f, "IDAT", zlibStored(raw));
    chunk(f, "IEND", {});
    return fclose(f) == 0;
}
