#ifndef KVX_TEXTURE_ENGINESERVICES_H
#define KVX_TEXTURE_ENGINESERVICES_H

// Engine services the texture and overlay code calls: error log, engine
// globals, file opening and the pack reader.

#include <cstdio>
#include <cstddef>
#include "core/Types.h"

#if __has_include("render/ErrorLog.h")
#include "render/ErrorLog.h"
#else
int kvxPutToErrorLog(const char* message, int code);
#endif

#if __has_include("render/Engine.h")
#include "render/Engine.h"
#else
extern int kvxSelectedRasterizer;
extern Viewport kvxViewport;
#endif

#if __has_include("platform/FileSystem.h")
#include "platform/FileSystem.h"
#else
FILE* kvxOpenFile(const char* name, const char* mode);
#endif

#if __has_include("core/PackFile.h")
#include "core/PackFile.h"
#else
struct PackEntry;
int packOpenArchive(const char* name);
int packCloseArchive();
PackEntry* packOpenEntry(const char* name, const char* mode);
int packCloseEntry(PackEntry* entry);
unsigned int packEntrySize(PackEntry* entry);
size_t packRead(void* buffer, size_t size, size_t count, PackEntry* entry);
bool packEndOfEntry(PackEntry* entry);
#endif

#endif
