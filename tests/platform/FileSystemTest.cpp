#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "Programs.h"
#include "platform/FileSystem.h"

namespace {

class FileSystemTest : public ::testing::Test {
protected:
    void SetUp() override {
        mkdir((root + "/Data").c_str(), 0755);
        mkdir((root + "/Data/Sub").c_str(), 0755);
        write(root + "/Data/Sub/Scene.3DS", "scene");
    }

    static void write(const std::string& path, const std::string& text) { std::ofstream(path) << text; }
    static std::string read(FILE* f) {
        std::string text;
        if (!f) return "<null>";
        char buffer[256];
        size_t n;
        while ((n = fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, n);
        fclose(f);
        return text;
    }
    static std::string readPath(const std::string& path) {
        std::ifstream in(path);
        std::stringstream s;
        s << in.rdbuf();
        return in ? s.str() : "<missing>";
    }

    kvxtest::Scratch scratch{"kvx_fs"};
    const std::string root = scratch.dir();
};

TEST_F(FileSystemTest, ReadsThroughBackslashesAndAnyCase) {
    EXPECT_EQ(read(kvxOpenFile((root + "/Data/Sub/Scene.3DS").c_str(), "rb")), "scene");
    EXPECT_EQ(read(kvxOpenFile((root + "\\Data\\Sub\\Scene.3DS").c_str(), "rb")), "scene");
    EXPECT_EQ(read(kvxOpenFile((root + "\\DATA\\sub\\scene.3ds").c_str(), "rt")), "scene");
    EXPECT_EQ(read(kvxOpenFile((root + "/data//SUB/./SCENE.3ds").c_str(), "r")), "scene");
    EXPECT_EQ(kvxOpenFile((root + "/data/sub/other.3ds").c_str(), "rb"), nullptr);
    EXPECT_EQ(kvxOpenFile((root + "/nodir/scene.3ds").c_str(), "rb"), nullptr);
    EXPECT_EQ(kvxOpenFile("", "rb"), nullptr);
    EXPECT_EQ(kvxOpenFile(nullptr, "rb"), nullptr);
}

TEST_F(FileSystemTest, RelativePathsResolveFromTheWorkingDirectory) {
    kvxtest::InDirectory inRoot(root);
    EXPECT_EQ(read(kvxOpenFile("data\\sub\\scene.3ds", "rb")), "scene");
    char resolved[kvxMaxPathLength];
    EXPECT_TRUE(kvxResolvePath("DATA\\SUB\\SCENE.3DS", resolved, sizeof resolved, false));
    EXPECT_STREQ(resolved, "Data/Sub/Scene.3DS");
    EXPECT_FALSE(kvxResolvePath("DATA\\SUB\\SCENE.3DS", resolved, 8, false));
}

TEST_F(FileSystemTest, WritesResolveTheDirectoryAndKeepTheFileName) {
    FILE* f = kvxOpenFile((root + "\\DATA\\SUB\\NewFile.LOG").c_str(), "at");
    ASSERT_NE(f, nullptr);
    fputs("a\n", f);
    fclose(f);
    f = kvxOpenFile((root + "/data/sub/NewFile.LOG").c_str(), "a");
    ASSERT_NE(f, nullptr);
    fputs("b\n", f);
    fclose(f);
    EXPECT_EQ(readPath(root + "/Data/Sub/NewFile.LOG"), "a\nb\n");
    EXPECT_EQ(kvxOpenFile((root + "/missing/x.log").c_str(), "w"), nullptr);
}

TEST_F(FileSystemTest, OverlongNamesAreRefused) {
    std::string longName = root + "/" + std::string(kvxMaxPathLength + 10, 'a');
    EXPECT_EQ(kvxOpenFile(longName.c_str(), "rb"), nullptr);
    EXPECT_EQ(kvxOpenFile(longName.c_str(), "w"), nullptr);
}

}  // namespace
