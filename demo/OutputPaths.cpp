#include "OutputPaths.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace demo {

namespace {
std::string parentOf(const std::string& path) {
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string writableDirectory(const std::string& dir, const std::string& given) {
    struct stat st;
    if (stat(dir.c_str(), &st) != 0) return given + ": directory " + dir + " does not exist";
    if (!S_ISDIR(st.st_mode)) return given + ": " + dir + " is not a directory";
    if (access(dir.c_str(), W_OK | X_OK) != 0) return given + ": cannot write into directory " + dir;
    return "";
}

// A file to create or replace.
std::string writableFile(const std::string& path, const char* option) {
    const std::string given = std::string(option) + " " + path;
    struct stat st;
    if (stat(path.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) return given + ": is a directory";
        if (access(path.c_str(), W_OK) != 0) return given + ": " + strerror(EACCES);
        return "";
    }
    return writableDirectory(parentOf(path), given);
}

// A directory that exists or can be made.
std::string usableDirectory(const std::string& path, const char* option) {
    const std::string given = std::string(option) + " " + path;
    struct stat st;
    if (stat(path.c_str(), &st) == 0) {
        if (!S_ISDIR(st.st_mode)) return given + ": is not a directory";
        if (access(path.c_str(), W_OK | X_OK) != 0) return given + ": " + strerror(EACCES);
        return "";
    }
    return writableDirectory(parentOf(path), given);
}
}  // namespace

std::string checkOutputPaths(const Options& o) {
    std::string reason;
    if (!o.capturePath.empty()) reason = writableFile(o.capturePath, "--capture");
    if (reason.empty() && !o.framesDir.empty()) reason = usableDirectory(o.framesDir, "--capture-frames");
    if (reason.empty() && !o.logPath.empty()) reason = writableFile(o.logPath, "--log");
    return reason;
}

}  // namespace demo
