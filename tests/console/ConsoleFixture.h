#ifndef KVX_TESTS_CONSOLEFIXTURE_H
#define KVX_TESTS_CONSOLEFIXTURE_H

// A console under test whose log lines go into its own text, read back exactly.

#include <gtest/gtest.h>

#include <string>

#include "Programs.h"
#include "console/Console.h"
#include "render/ErrorLog.h"

namespace kvxtest {

// Hands over and empties the console's text.
inline std::string takeText(Console& c) {
    static char buf[Console::textSize];
    c.getText(buf);
    return buf;
}

// Scratch files of the console tests, removed when the test program ends.
inline const Scratch& consoleScratch() {
    static Scratch s("kvx_console");
    return s;
}

struct ConsoleTest : ::testing::Test {
    Console c;
    void SetUp() override {
        takeText(c);
        kvxInitErrorLog(&c);
    }
    void TearDown() override { kvxInitErrorLog(3); }
    std::string take() { return takeText(c); }
    // Runs one command line, expecting its result, and returns what it wrote.
    std::string run(const std::string& line, int expectResult = 0) {
        EXPECT_EQ(c.command(line.c_str()), expectResult) << line;
        return take();
    }
};

}  // namespace kvxtest

#endif
