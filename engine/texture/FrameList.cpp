#include "texture/FrameList.h"

#include <cstring>
#include "render/ErrorLog.h"
#include "texture/ImageFile.h"
#include "texture/TextureMessages.h"

namespace {

const unsigned char kEscape = 27;
const char kEndMarker[] = "<EOF>";
const size_t kEndMarkerLength = sizeof(kEndMarker) - 1;
const size_t kShortestName = 5;  // shorter trimmed lines are not names

struct Line {
    const unsigned char* text;
    size_t length;
};

// A line ends at LF, CR LF, CR CR, a lone CR, ESC or the end of the text.
Line nextLine(const unsigned char* text, size_t size, size_t* pos) {
    Line line = {text + *pos, 0};
    while (*pos < size) {
        unsigned char c = text[(*pos)++];
        if (c == '\n' || c == kEscape) break;
        if (c == '\r') {
            if (*pos < size && (text[*pos] == '\n' || text[*pos] == '\r')) ++*pos;
            break;
        }
        ++line.length;
    }
    return line;
}

size_t trimmedLength(const Line& line) {
    size_t begin = 0;
    size_t end = line.length;
    while (begin < end && line.text[begin] <= ' ') ++begin;
    while (end > begin && line.text[end - 1] <= ' ') --end;
    return end - begin;
}

bool isEndMarker(const Line& line) {
    return line.length >= kEndMarkerLength && memcmp(line.text, kEndMarker, kEndMarkerLength) == 0;
}

}  // namespace

int kvxParseFrameList(const unsigned char* text, size_t size, char (*names)[kFrameNameSize], int maxNames, int* count) {
    *count = 0;
    size_t pos = 0;
    while (pos < size) {
        Line line = nextLine(text, size, &pos);
        if (isEndMarker(line)) break;
        if (line.length > static_cast<size_t>(kFrameLineMax)) {
            return kvxPutToErrorLog(kMsgNameTooLong, kCodeNameTooLong);
        }
        if (trimmedLength(line) < kShortestName) continue;
        if (line.length >= static_cast<size_t>(kFrameNameSize)) {
            return kvxPutToErrorLog(kMsgNameTooLong, kCodeNameTooLong);
        }
        if (*count == maxNames) {
            kvxPutToErrorLog(kMsgIflTooMany, kCodeIflTooMany);
            break;
        }
        memcpy(names[*count], line.text, line.length);
        names[*count][line.length] = '\0';
        ++*count;
    }
    return 0;
}

int kvxReadFrameList(const char* path, const char* archive, char (*names)[kFrameNameSize], int maxNames, int* count) {
    *count = 0;
    ImageFile file;
    if (file.load(path, archive) != ImageFile::kRead) return 0;
    return kvxParseFrameList(file.bytes, file.size, names, maxNames, count);
}
