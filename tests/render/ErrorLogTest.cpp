#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "Programs.h"
#include "console/Console.h"
#include "render/ErrorLog.h"

namespace {

std::string slurp(const std::string& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return in ? s.str() : "<missing>";
}

std::string consoleText(Console& console) {
    std::string text(Console::textSize, '\0');
    int length = console.getText(&text[0]);
    text.resize(length);
    return text;
}

class ErrorLogTest : public ::testing::Test {
protected:
    void SetUp() override { saved = kvxError; }
    void TearDown() override { kvxError = saved; }
    KVXError saved;
    kvxtest::Scratch scratch{"kvx_errorlog"};
    const std::string dir = scratch.dir();
};

TEST_F(ErrorLogTest, BeforeAnySetupMessagesAreLostAndTheCodeReturned) {
    KVXError fresh = {};
    kvxError = fresh;
    EXPECT_EQ(kvxPutToErrorLog("Camera cannot be found!", 27), 27);
    EXPECT_EQ(kvxError.file, nullptr);
}

TEST_F(ErrorLogTest, FileModeAppendsOneLinePerMessage) {
    std::string path = dir + "/KVXERROR.LOG";
    std::ofstream(path) << "earlier run\n";
    kvxInitErrorLog(path.c_str());
    EXPECT_EQ(kvxError.mode, kvxLogToFile);
    EXPECT_EQ(kvxPutToErrorLog("a", 0), 0);
    EXPECT_EQ(kvxPutToErrorLog("Camera cannot be found!", 27), 27);
    EXPECT_EQ(slurp(path), "earlier run\na\nCamera cannot be found!\n");
}

TEST_F(ErrorLogTest, FileNamesMayUseBackslashesAndAnyCaseForTheDirectory) {
    ASSERT_EQ(system(("mkdir -p " + dir + "/Logs").c_str()), 0);
    kvxInitErrorLog((dir + "\\LOGS\\Run.log").c_str());
    kvxPutToErrorLog("one", 0);
    EXPECT_EQ(slurp(dir + "/Logs/Run.log"), "one\n");
}

TEST_F(ErrorLogTest, FileIsNotTouchedUntilTheFirstMessage) {
    std::string path = dir + "/fresh.log";
    kvxInitErrorLog(path.c_str());
    EXPECT_EQ(access(path.c_str(), F_OK), -1);
    kvxPutToErrorLog("x", 1);
    EXPECT_EQ(slurp(path), "x\n");
}

TEST_F(ErrorLogTest, MissingLogDirectoryLosesTheMessageSilently) {
    kvxInitErrorLog((dir + "/no/such/dir/log.txt").c_str());
    EXPECT_EQ(kvxPutToErrorLog("lost", 13), 13);
    kvxInitErrorLog("");
    EXPECT_EQ(kvxPutToErrorLog("lost", 14), 14);
}

TEST_F(ErrorLogTest, FileNamesLongerThanTheFieldAreRefusedNotCut) {
    kvxtest::InDirectory inScratch(dir);
    std::string fits(kvxErrorFileNameSize - 1, 'n');
    kvxInitErrorLog(fits.c_str());
    kvxPutToErrorLog("fits", 0);
    EXPECT_EQ(slurp(dir + "/" + fits), "fits\n");

    std::string tooLong(kvxErrorFileNameSize, 'l');
    kvxInitErrorLog(tooLong.c_str());
    EXPECT_STREQ(kvxError.fileName, "");
    kvxPutToErrorLog("lost", 3);
    EXPECT_EQ(access((dir + "/" + tooLong.substr(0, kvxErrorFileNameSize - 1)).c_str(), F_OK), -1);
}

TEST_F(ErrorLogTest, LongMessagesAreCutButKeepTheirLineEnd) {
    std::string path = dir + "/long.log";
    kvxInitErrorLog(path.c_str());
    std::string message(5000, 'm');
    EXPECT_EQ(kvxPutToErrorLog(message.c_str(), 7), 7);
    std::string text = slurp(path);
    EXPECT_EQ(text.size(), size_t(kvxErrorTextSize - 1));
    EXPECT_EQ(text, std::string(kvxErrorTextSize - 2, 'm') + "\n");
}

TEST_F(ErrorLogTest, ConsoleModeAppendsToTheConsoleText) {
    Console console;
    consoleText(console);  // drop the banner
    kvxInitErrorLog(&console);
    EXPECT_EQ(kvxError.mode, kvxLogToConsole);
    EXPECT_EQ(kvxPutToErrorLog("Camera cannot be found!", 27), 27);
    EXPECT_EQ(kvxPutToErrorLog("b", 0), 0);
    EXPECT_EQ(consoleText(console), "Camera cannot be found!\nb\n");

    kvxInitErrorLog(static_cast<Console*>(nullptr));
    EXPECT_EQ(kvxPutToErrorLog("nowhere", 27), 27);
}

TEST_F(ErrorLogTest, NowhereModeWritesNothing) {
    std::string path = dir + "/quiet.log";
    Console console;
    consoleText(console);
    kvxInitErrorLog(&console);
    kvxInitErrorLog(path.c_str());
    kvxInitErrorLog(kvxLogToNowhere);
    EXPECT_EQ(kvxPutToErrorLog("Camera cannot be found!", 27), 27);
    EXPECT_EQ(slurp(path), "<missing>");
    EXPECT_EQ(consoleText(console), "");
    EXPECT_EQ(kvxLastLoggedCode(), 27);  // kept whatever the destination

    // Mode 0 again uses the file name set before.
    kvxInitErrorLog(kvxLogToFile);
    kvxPutToErrorLog("back", 0);
    EXPECT_EQ(slurp(path), "back\n");
}

TEST_F(ErrorLogTest, MessageBoxWithoutDisplayAsksOnStderrAndContinues) {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    kvxInitErrorLog(kvxLogToMessageBox);
    testing::internal::CaptureStderr();
    EXPECT_EQ(kvxPutToErrorLog("Camera cannot be found!", 27), 27);
    std::string shown = testing::internal::GetCapturedStderr();
    EXPECT_EQ(shown, "KVX Error: Camera cannot be found!\n\nContinue?\n");

    testing::internal::CaptureStderr();
    std::string message(3000, 'q');
    kvxPutToErrorLog(message.c_str(), 3);
    shown = testing::internal::GetCapturedStderr();
    std::string expected = std::string(kvxErrorTextSize - 1 - 12, 'q') + "\n\nContinue?\n";
    EXPECT_EQ(shown, "KVX Error: " + expected);
}

}  // namespace
