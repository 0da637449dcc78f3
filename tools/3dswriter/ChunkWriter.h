#pragma once
// Little-endian byte sink for .3DS chunk trees: begin() opens a chunk and
// end() back-patches its length, so nested chunks need no size precomputation.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace k3ds {

class ChunkWriter {
public:
    void begin(uint16_t id);
    void end();
    void u8(uint8_t v);
    void u16(uint16_t v);
    void i16(int16_t v) { u16(static_cast<uint16_t>(v)); }
    void u32(uint32_t v);
    void f32(float v);
    void str(const std::string& s);  // NUL-terminated
    // Convenience: a chunk holding nothing but the given payload.
    void emptyChunk(uint16_t id);
    void stringChunk(uint16_t id, const std::string& s);
    void floatChunk(uint16_t id, float v);
    void shortChunk(uint16_t id, uint16_t v);

    bool balanced() const { return open_.empty(); }
    const std::vector<uint8_t>& data() const { return buf_; }

private:
    std::vector<uint8_t> buf_;
    std::vector<size_t> open_;
};

}  // namespace k3ds
