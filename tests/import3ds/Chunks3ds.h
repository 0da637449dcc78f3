#ifndef KVX_TESTS_CHUNKS3DS_H
#define KVX_TESTS_CHUNKS3DS_H

// Builds .3DS byte streams chunk by chunk for the import tests: begin() opens
// a chunk, end() patches its length, and the scalar writers append data.

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

class Chunks3ds {
public:
    std::vector<uint8_t> bytes;

    Chunks3ds& begin(uint16_t id) {
        open_.push_back(bytes.size());
        u16(id);
        u32(0);
        return *this;
    }
    Chunks3ds& end() {
        size_t at = open_.back();
        open_.pop_back();
        uint32_t length = static_cast<uint32_t>(bytes.size() - at);
        std::memcpy(&bytes[at + 2], &length, 4);
        return *this;
    }
    // An empty chunk (header only).
    Chunks3ds& flag(uint16_t id) { return begin(id).end(); }

    Chunks3ds& u8(uint8_t v) {
        bytes.push_back(v);
        return *this;
    }
    Chunks3ds& u16(uint16_t v) { return raw(&v, 2); }
    Chunks3ds& u32(uint32_t v) { return raw(&v, 4); }
    Chunks3ds& f32(float v) { return raw(&v, 4); }
    Chunks3ds& vec(float x, float y, float z) { return f32(x).f32(y).f32(z); }
    Chunks3ds& str(const std::string& s) { return raw(s.c_str(), s.size() + 1); }
    Chunks3ds& raw(const void* p, size_t n) {
        const uint8_t* b = static_cast<const uint8_t*>(p);
        bytes.insert(bytes.end(), b, b + n);
        return *this;
    }

    // --- common pieces ---
    Chunks3ds& color24(uint8_t r, uint8_t g, uint8_t b) { return begin(0x0011).u8(r).u8(g).u8(b).end(); }
    Chunks3ds& colorF(float r, float g, float b) { return begin(0x0010).vec(r, g, b).end(); }
    Chunks3ds& percent(int16_t v) { return begin(0x0030).u16(static_cast<uint16_t>(v)).end(); }

    // A triangle object with the given vertices and faces (flag word 7).
    Chunks3ds& triMesh(const std::vector<float>& xyz, const std::vector<uint16_t>& abc) {
        begin(0x4100);
        begin(0x4110).u16(static_cast<uint16_t>(xyz.size() / 3));
        for (float f : xyz) f32(f);
        end();
        begin(0x4120).u16(static_cast<uint16_t>(abc.size() / 3));
        for (size_t i = 0; i < abc.size(); i += 3) u16(abc[i]).u16(abc[i + 1]).u16(abc[i + 2]).u16(7);
        return *this;  // face list and triangle object stay open for sub-chunks
    }
    Chunks3ds& endTriMesh() { return end().end(); }

    // Keyframer track header for n keys.
    Chunks3ds& trackHeader(int n) {
        u16(0);
        for (int i = 0; i < 8; ++i) u8(0);
        return u32(static_cast<uint32_t>(n));
    }
    Chunks3ds& positionKey(uint32_t frame, float x, float y, float z) { return u32(frame).u16(0).vec(x, y, z); }
    Chunks3ds& rotationKey(uint32_t frame, float radians, float x, float y, float z) {
        return u32(frame).u16(0).f32(radians).vec(x, y, z);
    }
    Chunks3ds& nodeHeader(const std::string& name, int16_t parent) {
        return begin(0xB010).str(name).u16(0).u16(0).u16(static_cast<uint16_t>(parent)).end();
    }

    bool save(const std::string& path) const {
        FILE* f = std::fopen(path.c_str(), "wb");
        if (!f) return false;
        bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
        return std::fclose(f) == 0 && ok;
    }

private:
    std::vector<size_t> open_;
};

#endif
