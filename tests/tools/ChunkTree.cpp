#include "ChunkTree.h"

#include <cstring>

uint16_t readU16(const std::vector<uint8_t>& b, size_t at) {
    return at + 2 <= b.size() ? uint16_t(b[at] | (b[at + 1] << 8)) : 0;
}

uint32_t readU32(const std::vector<uint8_t>& b, size_t at) {
    return at + 4 <= b.size() ? uint32_t(b[at]) | (uint32_t(b[at + 1]) << 8) | (uint32_t(b[at + 2]) << 16) |
                                    (uint32_t(b[at + 3]) << 24)
                              : 0;
}

float readF32(const std::vector<uint8_t>& b, size_t at) {
    uint32_t v = readU32(b, at);
    float f;
    std::memcpy(&f, &v, 4);
    return f;
}

std::string readString(const std::vector<uint8_t>& b, size_t at) {
    std::string s;
    while (at < b.size() && b[at]) s += char(b[at++]);
    return s;
}

size_t payloadPrefix(uint16_t id, const std::vector<uint8_t>& bytes, uint32_t offset, bool& container) {
    container = true;
    size_t data = offset + 6;
    switch (id) {
        case 0x4D4D:
        case 0x3D3D:
        case 0xAFFF:
        case 0x4100:
        case 0xB000:
        case 0xB002:
        case 0xB003:
        case 0xB004:
        case 0xB005:
        case 0xA010:
        case 0xA020:
        case 0xA030:
        case 0xA040:
        case 0xA041:
        case 0xA050:
        case 0xA084:
        case 0xA200:
        case 0xA210:
        case 0xA220:
        case 0x2100: return 0;
        case 0x4000: return readString(bytes, data).size() + 1;    // object name
        case 0x4600: return 12;                                    // light position
        case 0x4120: return 2 + 8 * size_t(readU16(bytes, data));  // faces
        default: container = false; return 0;
    }
}

static bool parseInto(const std::vector<uint8_t>& b, uint32_t start, uint32_t end, std::vector<ChunkNode>& out,
                      std::string& error) {
    uint32_t at = start;
    while (at < end) {
        if (at + 6 > end) {
            error = "truncated chunk header at " + std::to_string(at);
            return false;
        }
        ChunkNode n;
        n.id = readU16(b, at);
        n.offset = at;
        n.length = readU32(b, at + 2);
        if (n.length < 6 || at + n.length > end) {
            error = "chunk " + std::to_string(n.id) + " at " + std::to_string(at) + " runs past its parent";
            return false;
        }
        bool container;
        size_t prefix = payloadPrefix(n.id, b, at, container);
        if (container && !parseInto(b, uint32_t(at + 6 + prefix), at + n.length, n.children, error)) return false;
        out.push_back(n);
        at += n.length;
    }
    return true;
}

bool parseChunks(const std::vector<uint8_t>& bytes, ChunkNode& root, std::string& error) {
    std::vector<ChunkNode> top;
    if (!parseInto(bytes, 0, uint32_t(bytes.size()), top, error)) return false;
    if (top.size() != 1) {
        error = "expected exactly one top-level chunk";
        return false;
    }
    root = top[0];
    return true;
}

const ChunkNode* findChunk(const ChunkNode& node, uint16_t id) {
    if (node.id == id) return &node;
    for (const ChunkNode& c : node.children)
        if (const ChunkNode* f = findChunk(c, id)) return f;
    return nullptr;
}

void collectChunks(const ChunkNode& node, uint16_t id, std::vector<const ChunkNode*>& out) {
    if (node.id == id) out.push_back(&node);
    for (const ChunkNode& c : node.children) collectChunks(c, id, out);
}
