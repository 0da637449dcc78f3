#include "DataFiles.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstring>

namespace demo {

namespace {
const char* const kBesideProgram = "data\\";
// Where an install into any prefix puts the data, seen from its bin or games folder.
const char* const kBesidePrefix = "../share/korvex3d/";
const char* const kProbeFile = "level01.dat";

std::string& directory() {
    static std::string dir = kBesideProgram;
    return dir;
}

bool holdsShow(const std::string& dir) {
    struct stat st;
    std::string probe = dir + kProbeFile;
    for (char& c : probe)
        if (c == '\\') c = '/';
    return stat(probe.c_str(), &st) == 0;
}

void enterProgramDirectory() {
    char path[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", path, sizeof(path) - 1);
    if (n <= 0) return;
    path[n] = 0;
    if (char* slash = strrchr(path, '/')) {
        *slash = 0;
        if (chdir(path) != 0) perror("chdir");
    }
}
}  // namespace

const char* dataDirectory() { return directory().c_str(); }

void setDataDirectory(const std::string& dir) {
    directory() = dir.empty() || dir.back() == '/' || dir.back() == '\\' ? dir : dir + "/";
}

std::string dataFile(const char* name) { return directory() + name; }

bool findDataDirectory(const char* installedDir) {
    enterProgramDirectory();
    if (holdsShow(kBesideProgram)) return true;
    if (installedDir && *installedDir) {
        std::string installed = std::string(installedDir) + "/";
        if (holdsShow(installed)) {
            setDataDirectory(installed);
            return true;
        }
    }
    if (holdsShow(kBesidePrefix)) {
        setDataDirectory(kBesidePrefix);
        return true;
    }
    return false;
}

}  // namespace demo
