#ifndef KVX_PLATFORM_FILESYSTEM_H
#define KVX_PLATFORM_FILESYSTEM_H

// The one place where the engine opens files. Names may use '\' as separator
// and any letter case: when the exact path does not exist, each component is
// matched case-insensitively against the directory that holds it.

#include <cstdio>

// The longest path, terminator included, that the engine resolves.
const int kvxMaxPathLength = 4096;

// fopen-compatible; a 't' in the mode is accepted and ignored. For writing and
// appending modes only the directories are resolved: the file name is kept.
FILE* kvxOpenFile(const char* name, const char* mode);

// Writes into out (capacity outSize) the existing path that name designates
// after separator mapping and case-insensitive matching. With keepLastComponent
// the final component is appended unchanged instead of being looked up.
// Returns false when a component cannot be found or the result does not fit.
bool kvxResolvePath(const char* name, char* out, int outSize, bool keepLastComponent);

#endif
