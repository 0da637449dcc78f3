#include "platform/FileSystem.h"

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

#include <cstring>

namespace {

const int kMaxModeLength = 8;

bool exists(const char* path) {
    struct stat st;
    return stat(path, &st) == 0;
}

bool isDirectory(const char* path) {
    struct stat st;
    return stat(path, &st) == 0 && S_ISDIR(st.st_mode);
}

// Copies name with '\' mapped to '/'; false when it does not fit.
bool mapSeparators(const char* name, char* out, int outSize) {
    int n = 0;
    for (; name[n]; ++n) {
        if (n + 1 >= outSize) return false;
        out[n] = name[n] == '\\' ? '/' : name[n];
    }
    out[n] = '\0';
    return true;
}

// Appends "/component" (or just component when path is empty) to path.
bool appendComponent(char* path, int size, const char* component, int length) {
    int used = (int)strlen(path);
    bool needSlash = used > 0 && path[used - 1] != '/';
    int needed = used + (needSlash ? 1 : 0) + length;
    if (needed + 1 > size) return false;
    if (needSlash) path[used++] = '/';
    memcpy(path + used, component, length);
    path[used + length] = '\0';
    return true;
}

// Finds the entry of directory dir whose name equals component ignoring case.
// Several candidates (names differing only in case) resolve to the smallest
// one so that the choice does not depend on directory order.
bool findCaseless(const char* dir, const char* component, int length, char* found, int foundSize) {
    DIR* d = opendir(dir[0] ? dir : ".");
    if (!d) return false;
    bool any = false;
    while (struct dirent* e = readdir(d)) {
        if ((int)strlen(e->d_name) != length || strncasecmp(e->d_name, component, length) != 0) continue;
        if ((int)strlen(e->d_name) + 1 > foundSize) continue;
        if (!any || strcmp(e->d_name, found) < 0) {
            strcpy(found, e->d_name);
            any = true;
        }
    }
    closedir(d);
    return any;
}

bool isWriteMode(const char* mode) { return mode[0] == 'w' || mode[0] == 'a'; }

// Drops 't' (text mode), which means nothing here.
void cleanMode(const char* mode, char* out) {
    int n = 0;
    for (int i = 0; mode[i] && n < kMaxModeLength - 1; ++i)
        if (mode[i] != 't') out[n++] = mode[i];
    out[n] = '\0';
}

}  // namespace

bool kvxResolvePath(const char* name, char* out, int outSize, bool keepLastComponent) {
    char mapped[kvxMaxPathLength];
    if (!name || outSize <= 0 || !mapSeparators(name, mapped, sizeof mapped)) return false;
    out[0] = '\0';
    if (mapped[0] == '/') {
        if (outSize < 2) return false;
        strcpy(out, "/");
    }
    const char* p = mapped;
    while (*p) {
        while (*p == '/') ++p;
        if (!*p) break;
        const char* end = strchr(p, '/');
        int length = end ? (int)(end - p) : (int)strlen(p);
        bool last = !end || end[strspn(end, "/")] == '\0';
        bool literal =
            (length == 1 && p[0] == '.') || (length == 2 && p[0] == '.' && p[1] == '.') || (last && keepLastComponent);
        if (!appendComponent(out, outSize, p, length)) return false;
        if (!literal && !exists(out)) {
            // Strip the component again and look it up in its directory.
            int used = (int)strlen(out) - length;
            out[used] = '\0';
            char dir[kvxMaxPathLength];
            strcpy(dir, out);
            if (used > 1 && dir[used - 1] == '/') dir[used - 1] = '\0';
            char found[kvxMaxPathLength];
            if (!findCaseless(dir, p, length, found, sizeof found)) return false;
            if ((int)strlen(found) + used + 1 > outSize) return false;
            strcpy(out + used, found);
        }
        p += length;
    }
    return true;
}

FILE* kvxOpenFile(const char* name, const char* mode) {
    if (!name || !mode || !name[0]) return nullptr;
    char path[kvxMaxPathLength];
    char openMode[kMaxModeLength];
    if (!mapSeparators(name, path, sizeof path)) return nullptr;
    cleanMode(mode, openMode);

    if (isWriteMode(openMode)) {
        // Keep the file name; only an existing directory part needs matching.
        const char* slash = strrchr(path, '/');
        if (slash && slash != path) {
            char dir[kvxMaxPathLength];
            int dirLength = (int)(slash - path);
            memcpy(dir, path, dirLength);
            dir[dirLength] = '\0';
            if (!isDirectory(dir)) {
                char resolved[kvxMaxPathLength];
                if (!kvxResolvePath(path, resolved, sizeof resolved, true)) return nullptr;
                return fopen(resolved, openMode);
            }
        }
        return fopen(path, openMode);
    }

    if (exists(path)) return fopen(path, openMode);
    char resolved[kvxMaxPathLength];
    if (!kvxResolvePath(path, resolved, sizeof resolved, false)) return nullptr;
    return fopen(resolved, openMode);
}
