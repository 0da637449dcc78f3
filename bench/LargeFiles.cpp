#include "LargeFiles.h"

#include <dirent.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>

#include "ImportReaders.h"

namespace kvxbench {

namespace {

const unsigned kMain = 0x4D4D, kEditor = 0x3D3D, kObject = 0x4000, kTriMesh = 0x4100, kFaces = 0x4120;
const size_t kHeader = 6;

unsigned read16(const std::string& b, size_t at) { return uint8_t(b[at]) | uint8_t(b[at + 1]) << 8; }

uint32_t read32(const std::string& b, size_t at) { return read16(b, at) | uint32_t(read16(b, at + 2)) << 16; }

// Face counts of every face-list chunk between begin and end.
long countFaces(const std::string& b, size_t begin, size_t end) {
    long faces = 0;
    for (size_t at = begin; at + kHeader <= end;) {
        const unsigned id = read16(b, at);
        const uint32_t length = read32(b, at + 2);
        if (length < kHeader || length > end - at) break;
        const size_t body = at + kHeader, next = at + length;
        if (id == kMain || id == kEditor || id == kTriMesh) faces += countFaces(b, body, next);
        if (id == kObject) {
            size_t name = b.find('\0', body);
            if (name != std::string::npos && name < next) faces += countFaces(b, name + 1, next);
        }
        if (id == kFaces && body + 2 <= next) faces += read16(b, body);
        at = next;
    }
    return faces;
}

long facesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return countFaces(bytes, 0, bytes.size());
}

void scan(const std::string& dir, std::vector<LargeFile>& out) {
    DIR* d = opendir(dir.c_str());
    if (!d) return;
    while (dirent* e = readdir(d)) {
        const std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        const std::string path = dir + "/" + name;
        if (e->d_type == DT_DIR)
            scan(path, out);
        else if (has3dsExtension(name)) {
            // The tree's copies of shared files come first and win.
            bool known = false;
            for (const LargeFile& f : out) known = known || f.name == name;
            long faces = known ? 0 : facesOf(path);
            if (faces > kLargeFaces) out.push_back({name, path, faces});
        }
    }
    closedir(d);
}

}  // namespace

const std::vector<LargeFile>& largeFiles() {
    static const std::vector<LargeFile> files = [] {
        std::vector<LargeFile> found;
        scan(std::string(KVX_TESTDATA_DIR) + "/3ds", found);
        scan(KVX_WILDDATA_DIR, found);
        std::sort(found.begin(), found.end(), [](const LargeFile& a, const LargeFile& b) { return a.name < b.name; });
        return found;
    }();
    return files;
}

}  // namespace kvxbench
