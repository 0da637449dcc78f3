#ifndef KVX_TESTS_IMPORTTESTSUPPORT_H
#define KVX_TESTS_IMPORTTESTSUPPORT_H

// Shared pieces of the import and scene-graph tests: one engine window per
// test program, scratch files, the error log captured in a file, and the
// real-world files copied beside the tests.

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "Chunks3ds.h"
#include "Korvex3D.h"
#include "Programs.h"
#include "TestWindow.h"

namespace kvxtest {

inline TestWindow& window() {
    static TestWindow* w = new TestWindow();
    return *w;
}

inline std::string scratch(const std::string& name) { return TestWindow::outputPath(name); }

inline std::string dataFile(const std::string& name) {
    return std::string(KVX_SOURCE_DIR) + "/tests/data/3ds/assimp/" + name;
}

// Routes the error log into a fresh file and reads it back. The file lives in the
// temporary folder: the log takes names of at most 63 characters, wherever the build is.
class LogCapture {
public:
    explicit LogCapture(const std::string& name) : path_(tempPath(name)) {
        if (path_.size() >= size_t(kvxErrorFileNameSize)) ADD_FAILURE() << "log path too long: " << path_;
        window();  // starting the engine routes the log: do it before taking the log over
        std::remove(path_.c_str());
        kvxInitErrorLog(path_.c_str());
    }
    ~LogCapture() {
        kvxInitErrorLog(kvxLogToNowhere);
        std::remove(path_.c_str());
    }
    std::string text() const {
        std::ifstream in(path_);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    bool contains(const std::string& message) const { return text().find(message) != std::string::npos; }

private:
    std::string path_;
};

// Writes the stream to a scratch file and imports it into group.
inline int importBytes(const Chunks3ds& file, OGroup* group, int flags, const std::string& name = "case.3ds",
                       const char* textureDir = "", void (*progress)(float) = nullptr) {
    window();
    std::string path = scratch(name);
    if (!file.save(path)) return -1;
    return load3ds(path.c_str(), group, textureDir, flags, progress, nullptr);
}

// A main chunk holding an editor chunk; the caller fills both and closes them.
inline Chunks3ds mainWithEditor() {
    Chunks3ds c;
    c.begin(0x4D4D).begin(0x3D3D);
    return c;
}

}  // namespace kvxtest

#endif
