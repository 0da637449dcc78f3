#ifndef KVX_TEXTURE_FRAMELIST_H
#define KVX_TEXTURE_FRAMELIST_H

// Image-file lists (.IFL): one frame file name per line, up to an "<EOF>"
// line. Lines of at most four non-blank characters are skipped.

#include <cstddef>

const int kFrameNameSize = 64;  // one name slot, NUL included
const int kFrameLineMax = 255;  // longest line a list may hold

// Parses list text into at most maxNames names; *count receives how many.
// Returns 0, or the logged code of a line or name that is too long.
int kvxParseFrameList(const unsigned char* text, size_t size, char (*names)[kFrameNameSize], int maxNames, int* count);

// Reads the list file (or pack entry); a missing list gives *count 0 and 0.
int kvxReadFrameList(const char* path, const char* archive, char (*names)[kFrameNameSize], int maxNames, int* count);

#endif
