// The demo's options as a person types them: help, version, mistakes, unwritable
// outputs, failed writes and the engine's log.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "DemoRun.h"

namespace {

using namespace demotest;
using kvxtest::readFile;

const std::string kDemo = kBuild + "/demo";

}  // namespace

TEST(CommandLine, HelpVersionAndUsageErrors) {
    ASSERT_TRUE(haveData());
    std::string help;
    ASSERT_EQ(runCommand(kDemo + " --help", &help), 0);
    EXPECT_EQ(help.rfind("Usage: demo", 0), 0u) << help;
    for (const char* option : {"--window", "--scale N", "--until MS", "--capture FILE", "--capture-frames DIR",
                               "--at MS", "--log FILE", "--verbose", "--help", "--version"})
        EXPECT_NE(help.find(std::string("  ") + option), std::string::npos) << option;
    std::string version;
    ASSERT_EQ(runCommand(kDemo + " --version", &version), 0);
    EXPECT_NE(version.find("Glasswing"), std::string::npos) << version;
    EXPECT_NE(version.find("Korvex3D"), std::string::npos) << version;

    const std::string dir = tempPath("kvx_cli");
    std::string out;
    runCommand("rm -rf " + dir + " && mkdir -p " + dir + " && touch " + dir + "/file", &out);
    struct Case {
        std::string args;
        std::string reason;
    } cases[] = {
        {"--scale 0 --window", "--scale"},
        {"--window --scale -2", "--scale"},
        {"--window --scale two", "--scale"},
        {"--fullscreen", "unknown option --fullscreen"},
        {"--until", "--until needs a value"},
        {"--capture-frames " + dir + "/f --at 161001", "161000"},
        {"--at 500", "--at needs --capture-frames"},
        {"--capture /nonexistent/dir/out.mp4", "/nonexistent/dir"},
        {"--capture-frames " + dir + "/file/frames --at 100", dir + "/file"},
        {"--capture-frames " + dir + "/file --at 100", dir + "/file"},
        {"--log /nonexistent/demo.log", "/nonexistent"},
    };
    for (const Case& c : cases) {
        std::string err;
        EXPECT_EQ(runCommand(kDemo + " " + c.args, &err), 2) << c.args << ": " << err;
        EXPECT_EQ(err.rfind("demo: ", 0), 0u) << c.args << ": " << err;
        EXPECT_NE(err.find(c.reason), std::string::npos) << c.args << ": " << err;
    }
    runCommand("rm -rf " + dir, &out);
}

// ffmpeg cannot create its output (a directory stands in the way): the frames it
// no longer reads are a failed write with a message and exit code 1, not SIGPIPE.
TEST(CommandLine, FailedCaptureWritesEndWithAnError) {
    ASSERT_TRUE(haveData());
    const std::string dir = tempPath("kvx_cli_capture");
    std::string out;
    runCommand("rm -rf " + dir + " && mkdir -p " + dir + "/out.mp4.video.mp4", &out);
    out.clear();
    EXPECT_EQ(runCommand(kDemo + " --capture " + dir + "/out.mp4 --until 3000", &out), 1) << out;
    EXPECT_NE(out.find("Cannot write"), std::string::npos) << out;
    runCommand("rm -rf " + dir, &out);
}

// A damaged image and a short tunnel table are named in the log the user asked for,
// and the show goes on.
TEST(CommandLine, TheEngineLogNamesDamagedFiles) {
    ASSERT_TRUE(haveData());
    const std::string dir = stageDemo("kvx_cli_log", {"title3.jpg", "tunnel.raw"});
    std::ofstream(dir + "/data/title3.jpg") << "garbage\n";
    std::ofstream(dir + "/data/tunnel.raw", std::ios::binary) << readFile(kBuild + "/data/tunnel.raw").substr(0, 1000);
    std::string out;
    EXPECT_EQ(runCommand(dir + "/demo --capture-frames " + dir + "/frames --at 100 --log " + dir + "/demo.log", &out),
              0)
        << out;
    std::string log = readFile(dir + "/demo.log");
    EXPECT_NE(log.find("title3.jpg"), std::string::npos) << log;
    EXPECT_NE(log.find("tunnel.raw"), std::string::npos) << log;

    std::string verbose;
    EXPECT_EQ(runCommand(dir + "/demo --capture-frames " + dir + "/frames --at 100 --verbose", &verbose), 0);
    EXPECT_NE(verbose.find("title3.jpg"), std::string::npos) << verbose;
    runCommand("rm -rf " + dir, &out);
}
