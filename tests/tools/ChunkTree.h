#ifndef KVX_TESTS_TOOLS_CHUNKTREE_H
#define KVX_TESTS_TOOLS_CHUNKTREE_H

// An independent walker over .3DS bytes for checking what the writer emits.
#include <cstdint>
#include <string>
#include <vector>

struct ChunkNode {
    uint16_t id = 0;
    uint32_t offset = 0, length = 0;  // length includes the 6-byte header
    std::vector<ChunkNode> children;
};

// Containers whose payload is nothing but sub-chunks, or a fixed prefix then sub-chunks.
size_t payloadPrefix(uint16_t id, const std::vector<uint8_t>& bytes, uint32_t offset, bool& container);

// Parses a chunk tree; false with a reason when a length runs past its parent.
bool parseChunks(const std::vector<uint8_t>& bytes, ChunkNode& root, std::string& error);

const ChunkNode* findChunk(const ChunkNode& node, uint16_t id);
void collectChunks(const ChunkNode& node, uint16_t id, std::vector<const ChunkNode*>& out);

uint16_t readU16(const std::vector<uint8_t>& b, size_t at);
uint32_t readU32(const std::vector<uint8_t>& b, size_t at);
float readF32(const std::vector<uint8_t>& b, size_t at);
std::string readString(const std::vector<uint8_t>& b, size_t at);

#endif
