#include "core/PackFile.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "platform/FileSystem.h"

namespace {

// Offsets beyond this hold nothing in any real file; positions saturate here so
// that no arithmetic on them can overflow.
constexpr int64_t kFarBeyond = INT64_MAX / 4;

struct DirectoryEntry {
    int64_t first;  // data offsets; last < first for an entry without data
    int64_t last;
    bool terminator;
    char name[kvxPackNameSize + 1];  // a full-width name keeps all its bytes
};

struct PackReader {
    FILE* file = nullptr;
    DirectoryEntry* directory = nullptr;
    int count = 0;
    int64_t dataBase = 0;
    int64_t current = 0;  // file position relative to dataBase, -1 when unknown
};

PackReader reader;

char upperAscii(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }

uint32_t readLE32(const unsigned char* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

void resetReader() {
    if (reader.file) fclose(reader.file);
    free(reader.directory);
    reader = PackReader{};
}

DirectoryEntry decodeEntry(const unsigned char* raw) {
    DirectoryEntry e;
    uint32_t start = readLE32(raw);
    e.first = start;
    e.last = readLE32(raw + 4);
    e.terminator = start == kvxPackTerminator;
    for (int i = 0; i < kvxPackNameSize; ++i) e.name[i] = upperAscii(char(raw[8 + i]));
    e.name[kvxPackNameSize] = '\0';
    return e;
}

// Reads entries up to and including the terminator. False when the stream
// ends first or the directory outgrows its limit.
bool readDirectory(FILE* f) {
    int room = 0;
    unsigned char raw[kvxPackEntrySize];
    for (;;) {
        if (reader.count == kvxPackMaxEntries) return false;
        if (fread(raw, 1, sizeof raw, f) != sizeof raw) return false;
        if (reader.count == room) {
            int grown = room ? room * 2 : 16;
            if (grown > kvxPackMaxEntries) grown = kvxPackMaxEntries;
            void* p = realloc(reader.directory, sizeof(DirectoryEntry) * size_t(grown));
            if (!p) return false;
            reader.directory = static_cast<DirectoryEntry*>(p);
            room = grown;
        }
        DirectoryEntry& e = reader.directory[reader.count++] = decodeEntry(raw);
        if (e.terminator) return true;
    }
}

// An entry reaches at most to the end of the file: sizes and end tests then
// describe bytes that exist, however large the directory claims them to be.
void limitEntriesToData(int64_t dataSize) {
    for (int i = 0; i < reader.count; ++i) {
        DirectoryEntry& e = reader.directory[i];
        if (e.last > dataSize - 1) e.last = dataSize - 1;
        if (e.last < e.first - 1) e.last = e.first - 1;
    }
}

bool streamSize(FILE* f, int64_t* size) {
    if (fseeko(f, 0, SEEK_END) != 0) return false;
    off_t end = ftello(f);
    if (end < 0) return false;
    *size = end;
    return true;
}

const DirectoryEntry* entryOf(const PackEntry* entry) {
    if (!entry || !reader.file || entry->index < 0 || entry->index >= reader.count) return nullptr;
    return &reader.directory[entry->index];
}

}  // namespace

int packOpenArchiveStream(FILE* stream) {
    resetReader();
    if (!stream) return 1;
    reader.file = stream;
    int64_t fileSize = 0;
    if (!readDirectory(stream) || !streamSize(stream, &fileSize)) {
        resetReader();
        return 1;
    }
    reader.dataBase = int64_t(kvxPackEntrySize) * reader.count;
    limitEntriesToData(fileSize - reader.dataBase);
    // The file now stands at its end; the first read seeks.
    reader.current = -1;
    return 0;
}

int packOpenArchive(const char* name) {
    resetReader();
    if (!name) return 1;
    return packOpenArchiveStream(kvxOpenFile(name, "rb"));
}

int packCloseArchive() {
    resetReader();
    return 0;
}

bool packIsOpen() { return reader.file != nullptr; }

int packFindEntry(const char* name) {
    if (!name) return -1;
    size_t len = strnlen(name, kvxPackNameSize + 1);
    if (len > size_t(kvxPackNameSize)) return -1;  // longer than any stored name
    char key[kvxPackNameSize + 1];
    for (size_t i = 0; i < len; ++i) key[i] = upperAscii(name[i]);
    key[len] = '\0';
    for (int i = 0; i < reader.count; ++i) {
        const DirectoryEntry& e = reader.directory[i];
        if (!e.terminator && std::strcmp(e.name, key) == 0) return i;
    }
    return -1;
}

PackEntry* packOpenEntry(const char* name, const char* /*mode*/) {
    if (!reader.file) return nullptr;
    int index = packFindEntry(name);
    if (index < 0) return nullptr;
    PackEntry* entry = new (std::nothrow) PackEntry;
    if (!entry) return nullptr;
    entry->index = index;
    entry->position = reader.directory[index].first;
    return entry;
}

int packCloseEntry(PackEntry* entry) {
    if (!entry) return 0;
    delete entry;
    return 1;
}

unsigned int packEntrySize(PackEntry* entry) {
    const DirectoryEntry* e = entryOf(entry);
    if (!e) return 0;
    return static_cast<unsigned int>(e->last - e->first + 1);
}

// Advances a handle by size * count bytes, saturating instead of overflowing.
static void advance(PackEntry* entry, size_t size, size_t count) {
    bool huge = size != 0 && count > size_t(kFarBeyond) / size;
    int64_t step = huge ? kFarBeyond : int64_t(size * count);
    entry->position = (step > kFarBeyond - entry->position) ? kFarBeyond : entry->position + step;
}

size_t packRead(void* buffer, size_t size, size_t count, PackEntry* entry) {
    if (!buffer || !entryOf(entry)) return 0;
    // A request whose byte count does not fit a size_t cannot be met; fread
    // itself would wrap the product and misreport.
    bool unmeetable = size != 0 && count > SIZE_MAX / size;
    if (unmeetable || entry->position >= kFarBeyond) {
        advance(entry, size, count);
        return 0;
    }
    if (entry->position != reader.current &&
        fseeko(reader.file, off_t(reader.dataBase + entry->position), SEEK_SET) != 0) {
        reader.current = -1;
        return 0;
    }
    size_t got = fread(buffer, size, count, reader.file);

    // The handle moves by the amount asked for, the reader by what the file gave.
    advance(entry, size, count);
    off_t now = ftello(reader.file);
    reader.current = now < 0 ? -1 : int64_t(now) - reader.dataBase;
    return got;
}

bool packEndOfEntry(PackEntry* entry) {
    const DirectoryEntry* e = entryOf(entry);
    if (!e) return true;
    return entry->position > e->last;
}

int packEntryCount() { return reader.count; }

const char* packEntryName(int index) {
    if (index < 0 || index >= reader.count) return nullptr;
    return reader.directory[index].name;
}
