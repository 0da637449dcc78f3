#include <gtest/gtest.h>

#include <string>

#include "console/Console.h"
#include "render/ErrorLog.h"

namespace {

std::string takeText(Console& c) {
    static char buf[Console::textSize];
    int n = c.getText(buf);
    EXPECT_EQ(n, static_cast<int>(std::string(buf).size()));
    return buf;
}

TEST(ConsoleText, BannerThenEmpty) {
    Console c;
    static char buf[Console::textSize];
    EXPECT_EQ(c.getText(buf), 22);
    EXPECT_STREQ(buf, "Korvex3D Console v1.0\n");
    EXPECT_EQ(c.getText(buf), 0);
    EXPECT_STREQ(buf, "");
    EXPECT_EQ(c.addText("abc"), 0);
    EXPECT_EQ(c.addText(""), 0);
    EXPECT_EQ(takeText(c), "abc");
}

TEST(ConsoleText, AppendsThatWouldFillTheBufferAreDroppedWhole) {
    Console c;
    takeText(c);
    std::string big(Console::textSize - 2, 'x');
    EXPECT_EQ(c.addText(big.c_str()), 0);
    EXPECT_EQ(c.addText("ab"), 0);  // would reach 512,000: dropped
    EXPECT_EQ(c.addTextf("%s", "ab"), 0);
    EXPECT_EQ(c.addText("a"), 0);  // 511,999 still fits
    EXPECT_EQ(c.addTextf("%d", 7), 0);
    std::string t = takeText(c);
    EXPECT_EQ(t.size(), static_cast<size_t>(Console::textSize - 1));
    EXPECT_EQ(t.back(), 'a');

    std::string whole(Console::textSize, 'y');
    EXPECT_EQ(c.addText(whole.c_str()), 0);
    EXPECT_EQ(takeText(c), "");
    EXPECT_EQ(c.addTextf("%s|%d", "v", 3), 0);
    EXPECT_EQ(takeText(c), "v|3");
}

TEST(ConsoleText, RequestsAndScene) {
    Console c;
    EXPECT_FALSE(c.exitRequest());
    EXPECT_FALSE(c.clearRequest());
    c.command("EXIT");
    c.command("cls");
    EXPECT_TRUE(c.exitRequest());
    EXPECT_FALSE(c.exitRequest());
    EXPECT_TRUE(c.clearRequest());
    EXPECT_FALSE(c.clearRequest());

    takeText(c);
    kvxInitErrorLog(&c);
    EXPECT_EQ(c.setScene(nullptr), 25);
    EXPECT_EQ(c.scene, nullptr);
    EXPECT_EQ(takeText(c), "Scene used in functioncall is NULL!\n");
    kvxInitErrorLog(3);

    EXPECT_EQ(c.addProgressFunc([](float) {}), 0);
    EXPECT_NE(c.progressFunc, nullptr);
}

}  // namespace
