#ifndef KVX_IMPORT3DS_LOADER_H
#define KVX_IMPORT3DS_LOADER_H

// Cursor over a .3DS file held whole in memory. Reads never leave the buffer:
// once the cursor reaches its end the end flag is raised and every further read
// returns a fixed default (0, or -1.0 for floats) without moving.

#include <cstdint>

class Loader {
public:
    static const uint16_t mainChunkID = 0x4D4D;
    static const int headerSize = 6;  // 16-bit id, 32-bit length

    unsigned char* current;
    unsigned char* start;
    unsigned char* chunkStart;
    int32_t size;
    uint16_t chunkID;
    uint32_t chunkLength;
    bool end;

    // A cursor over no data.
    Loader();

    // Reads from the size bytes of buffer (not owned), from its start.
    void initData(char* buffer, int size);
    // Moves the cursor back to the buffer's start.
    void toStart();

    // Returns the next byte and moves past it.
    char getChar();
    // Returns the next little-endian 16-bit integer and moves past it.
    short getShort();
    // Returns the next little-endian 32-bit integer and moves past it.
    int getInt();
    // Returns the next little-endian 32-bit float and moves past it.
    float getFloat();
    // Copies the NUL-terminated string at the cursor, NUL included, and returns
    // the bytes consumed. A string that runs to the buffer's end is cut there
    // and terminated in out.
    int getString(char* out);
    // The same, storing at most capacity - 1 characters and a NUL; the cursor
    // still moves past the whole string.
    int getString(char* out, int capacity);
    // Copies the next n floats into out and moves past them.
    void copyFloat(void* out, int n);

    // Reads a chunk header into chunkID and chunkLength and remembers where the chunk starts.
    void getChunkID();
    // True when the buffer starts with a .3DS main chunk.
    bool checkFormat();
    // Moves past the chunk whose header was read last.
    void skipChunk();
    // Moves to the end of the chunk read last, past any sub-chunks not read.
    void finishCurrentChunk();

    // Bytes between the cursor and the buffer's end (0 when at the end).
    int remaining() const;
    // Bytes between the cursor and the end of the chunk read last, never more
    // than remain in the buffer.
    int remainingInChunk() const;
    // Offset of the cursor from the buffer's start.
    int offset() const;

private:
    const unsigned char* limit() const { return start + size; }
    // The first byte after the chunk read last, or the buffer's end.
    const unsigned char* chunkEnd() const;
    void advance(int n);
    void moveTo(const unsigned char* p);
    uint32_t readLE(int bytes);
};

#endif
