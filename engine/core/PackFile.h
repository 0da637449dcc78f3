#ifndef KVX_CORE_PACKFILE_H
#define KVX_CORE_PACKFILE_H

// Reader for pack files: a directory of named entries followed by their data.
// One pack is open at a time, engine-wide. The reader checks every bound of
// the file it is given, so arbitrary bytes can be fed to it safely.

#include <cstddef>
#include <cstdint>
#include <cstdio>

// On-disk directory layout (little-endian).
const int kvxPackEntrySize = 264;    // start, end, name
const int kvxPackNameSize = 256;     // NUL-terminated name field
const int kvxPackMaxEntries = 4096;  // terminator included
const uint32_t kvxPackTerminator = 0xFFFFFFFFu;

// An open entry, owned by the caller between packOpenEntry and packCloseEntry.
struct PackEntry {
    int index;         // into the directory
    int64_t position;  // next offset to read, relative to the end of the directory
};

// 0 on success; 1 when the file cannot be opened or is not a well-formed pack
// (it ends inside the directory, or the directory has no terminator within
// kvxPackMaxEntries entries). Closes a pack that is still open first.
int packOpenArchive(const char* name);
// The same over an already open stream (for instance fmemopen over a buffer);
// the reader takes ownership of the stream in every case.
int packOpenArchiveStream(FILE* stream);
int packCloseArchive();
bool packIsOpen();

int packFindEntry(const char* name);  // case-insensitive; -1 when absent
PackEntry* packOpenEntry(const char* name, const char* mode);
int packCloseEntry(PackEntry* entry);  // 1 after freeing, 0 for null

// Bytes of the entry that the pack actually holds.
unsigned int packEntrySize(PackEntry* entry);
// fread-like; not bounded by the entry's end.
size_t packRead(void* buffer, size_t size, size_t count, PackEntry* entry);
bool packEndOfEntry(PackEntry* entry);

// Directory listing, terminator included in the count.
int packEntryCount();
const char* packEntryName(int index);  // upper-cased; null when out of range

#endif
