#include "ChunkWriter.h"

#include <cstring>

namespace k3ds {

void ChunkWriter::begin(uint16_t id) {
    open_.push_back(buf_.size());
    u16(id);
    u32(0);  // patched by end()
}

void ChunkWriter::end() {
    if (open_.empty()) return;
    size_t start = open_.back();
    open_.pop_back();
    uint32_t len = static_cast<uint32_t>(buf_.size() - start);
    for (int i = 0; i < 4; ++i) buf_[start + 2 + i] = static_cast<uint8_t>(len >> (8 * i));
}

void ChunkWriter::u8(uint8_t v) { buf_.push_back(v); }

void ChunkWriter::u16(uint16_t v) {
    buf_.push_back(static_cast<uint8_t>(v));
    buf_.push_back(static_cast<uint8_t>(v >> 8));
}

void ChunkWriter::u32(uint32_t v) {
    for (int i = 0; i < 4; ++i) buf_.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void ChunkWriter::f32(float v) {
    uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    u32(bits);
}

void ChunkWriter::str(const std::string& s) {
    buf_.insert(buf_.end(), s.begin(), s.end());
    buf_.push_back(0);
}

void ChunkWriter::emptyChunk(uint16_t id) {
    begin(id);
    end();
}

void ChunkWriter::stringChunk(uint16_t id, const std::string& s) {
    begin(id);
    str(s);
    end();
}

void ChunkWriter::floatChunk(uint16_t id, float v) {
    begin(id);
    f32(v);
    end();
}

void ChunkWriter::shortChunk(uint16_t id, uint16_t v) {
    begin(id);
    u16(v);
    end();
}

}  // namespace k3ds
