#include "import3ds/Loader.h"

#include <cstring>

Loader::Loader()
    : current(nullptr), start(nullptr), chunkStart(nullptr), size(0), chunkID(0), chunkLength(0), end(true) {}

void Loader::initData(char* buffer, int n) {
    start = current = reinterpret_cast<unsigned char*>(buffer);
    chunkStart = start;
    size = (buffer && n > 0) ? n : 0;
    end = false;
}

void Loader::toStart() {
    current = start;
    end = false;
}

int Loader::remaining() const {
    if (end || !current) return 0;
    return static_cast<int>(limit() - current);
}

int Loader::offset() const { return current ? static_cast<int>(current - start) : 0; }

int Loader::remainingInChunk() const {
    if (end || !chunkStart) return 0;
    const unsigned char* e = chunkEnd();
    return e > current ? static_cast<int>(e - current) : 0;
}

const unsigned char* Loader::chunkEnd() const {
    long long offset = static_cast<long long>(chunkStart - start) + chunkLength;
    return offset >= size ? limit() : start + offset;
}

// Every move ends with the end test; the cursor never points past the buffer.
void Loader::moveTo(const unsigned char* p) {
    current = const_cast<unsigned char*>(p);
    if (current >= limit()) {
        current = const_cast<unsigned char*>(limit());
        end = true;
    }
}

void Loader::advance(int n) { moveTo(current + n); }

// A value cut by the buffer's end keeps the bytes that exist; the caller has
// already checked that at least one byte is left.
uint32_t Loader::readLE(int bytes) {
    uint32_t v = 0;
    if (limit() - current > bytes) {  // whole value, cursor stays inside: no clamping
        for (int i = 0; i < bytes; ++i) v |= static_cast<uint32_t>(current[i]) << (8 * i);
        current += bytes;
        return v;
    }
    int avail = remaining() < bytes ? remaining() : bytes;
    for (int i = 0; i < avail; ++i) v |= static_cast<uint32_t>(current[i]) << (8 * i);
    advance(avail);
    return v;
}

char Loader::getChar() {
    if (end) return 0;
    return static_cast<char>(readLE(1));
}

short Loader::getShort() {
    if (end) return 0;
    return static_cast<short>(static_cast<uint16_t>(readLE(2)));
}

int Loader::getInt() {
    if (end) return 0;
    return static_cast<int>(readLE(4));
}

float Loader::getFloat() {
    if (end) return -1.0f;
    uint32_t bits = readLE(4);
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

int Loader::getString(char* out, int capacity) {
    if (end) return 0;
    int avail = remaining();
    const void* nul = std::memchr(current, 0, static_cast<size_t>(avail));
    int length = nul ? static_cast<int>(static_cast<const unsigned char*>(nul) - current) : avail;
    int consumed = nul ? length + 1 : length;
    if (out && capacity > 0) {
        int kept = length < capacity - 1 ? length : capacity - 1;
        std::memcpy(out, current, static_cast<size_t>(kept));
        out[kept] = '\0';
    }
    advance(consumed);
    return consumed;
}

int Loader::getString(char* out) {
    if (end) return 0;
    return getString(out, remaining() + 1);
}

void Loader::copyFloat(void* out, int n) {
    if (end || n < 0 || !out) return;
    if (static_cast<long long>(n) * 4 > remaining()) return;
    std::memcpy(out, current, static_cast<size_t>(n) * 4);
    advance(n * 4);
}

void Loader::getChunkID() {
    if (end) return;
    chunkStart = current;
    chunkID = static_cast<uint16_t>(getShort());
    chunkLength = end ? 0 : static_cast<uint32_t>(getInt());
}

bool Loader::checkFormat() {
    if (end) return false;
    getChunkID();
    return chunkID == mainChunkID;
}

// A chunk's end is clamped to the buffer, and the cursor never moves back: a
// length smaller than what has been read (a corrupt header) skips nothing, so
// every loop over headers advances.
void Loader::skipChunk() {
    if (end) return;
    if (chunkEnd() > current) moveTo(chunkEnd());
}

void Loader::finishCurrentChunk() {
    if (current == start || !current) return;
    moveTo(chunkEnd() > current ? chunkEnd() : current);
}
