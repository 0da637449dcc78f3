#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "import3ds/Loader.h"

namespace {

std::vector<char> bytesOf(std::initializer_list<int> b) {
    std::vector<char> v;
    for (int x : b) v.push_back(static_cast<char>(x));
    return v;
}

TEST(Loader, StartsAtEndAndReturnsDefaults) {
    Loader l;
    EXPECT_TRUE(l.end);
    EXPECT_EQ(l.current, nullptr);
    EXPECT_EQ(l.size, 0);
    EXPECT_EQ(l.getChar(), 0);
    EXPECT_EQ(l.getShort(), 0);
    EXPECT_EQ(l.getInt(), 0);
    EXPECT_FLOAT_EQ(l.getFloat(), -1.0f);
    char out[4] = "abc";
    EXPECT_EQ(l.getString(out), 0);
    EXPECT_STREQ(out, "abc");
    EXPECT_FALSE(l.checkFormat());
}

TEST(Loader, CheckFormatOnMainChunkHeaderSetsEnd) {
    auto b = bytesOf({0x4D, 0x4D, 6, 0, 0, 0});
    Loader l;
    l.initData(b.data(), 6);
    EXPECT_TRUE(l.checkFormat());
    EXPECT_TRUE(l.end);
    EXPECT_EQ(l.chunkLength, 6u);
    EXPECT_EQ(l.getInt(), 0);
    l.toStart();
    EXPECT_FALSE(l.end);
    l.getChunkID();
    EXPECT_EQ(l.chunkID, 0x4D4D);
}

TEST(Loader, LastValueIsReturnedThenDefaults) {
    float f = 1.5f;
    char b[4];
    std::memcpy(b, &f, 4);
    Loader l;
    l.initData(b, 4);
    EXPECT_FLOAT_EQ(l.getFloat(), 1.5f);
    EXPECT_TRUE(l.end);
    EXPECT_FLOAT_EQ(l.getFloat(), -1.0f);

    auto s = bytesOf({0xFF, 0xFF});
    l.initData(s.data(), 2);
    EXPECT_EQ(l.getShort(), -1);
}

TEST(Loader, ValueCutByTheBufferEndReadsOnlyWhatExists) {
    auto b = bytesOf({0x34, 0x12, 0x01});
    Loader l;
    l.initData(b.data(), 3);
    EXPECT_EQ(l.getShort(), 0x1234);
    EXPECT_EQ(l.getInt(), 1);  // one byte left: no read past the buffer
    EXPECT_TRUE(l.end);
    EXPECT_EQ(l.current, l.start + 3);
}

TEST(Loader, SkipChunkMovesToTheChunkEnd) {
    std::vector<char> b(20, 0);
    b[0] = 0x10;
    b[2] = 10;  // length 10
    Loader l;
    l.initData(b.data(), 20);
    l.getChunkID();
    EXPECT_EQ(l.current, l.start + 6);
    l.skipChunk();
    EXPECT_EQ(l.current, l.start + 10);
    EXPECT_FALSE(l.end);
}

TEST(Loader, CorruptLengthsNeverMoveBackOrPastTheBuffer) {
    std::vector<char> b(12, 0);
    b[2] = 2;  // shorter than its own header
    Loader l;
    l.initData(b.data(), 12);
    l.getChunkID();
    l.skipChunk();
    EXPECT_EQ(l.current, l.start + 6);

    b[2] = 0;
    b[5] = 0x7F;  // far beyond the buffer
    l.initData(b.data(), 12);
    l.getChunkID();
    l.skipChunk();
    EXPECT_TRUE(l.end);
    EXPECT_EQ(l.current, l.start + 12);
}

TEST(Loader, CopyFloatNeedsAllValuesInside) {
    float v[2] = {2.0f, 3.0f};
    char b[8];
    std::memcpy(b, v, 8);
    float out[2] = {0, 0};
    Loader l;
    l.initData(b, 8);
    l.copyFloat(out, 2);
    EXPECT_FLOAT_EQ(out[0], 2.0f);
    EXPECT_FLOAT_EQ(out[1], 3.0f);
    EXPECT_TRUE(l.end);

    float none[2] = {0, 0};
    l.initData(b, 7);
    l.copyFloat(none, 2);
    EXPECT_FLOAT_EQ(none[0], 0.0f);
    EXPECT_EQ(l.current, l.start);
}

TEST(Loader, StringsStopAtTheBufferAndAtTheCapacity) {
    auto b = bytesOf({'a', 'b', 0, 'c', 'd', 'e'});
    Loader l;
    l.initData(b.data(), 6);
    char out[16];
    EXPECT_EQ(l.getString(out), 3);
    EXPECT_STREQ(out, "ab");
    // No NUL before the end: the string is cut there and terminated.
    EXPECT_EQ(l.getString(out), 3);
    EXPECT_STREQ(out, "cde");
    EXPECT_TRUE(l.end);

    auto longName = bytesOf({'x', 'y', 'z', 'w', 0, 7});
    l.initData(longName.data(), 6);
    char small[3];
    EXPECT_EQ(l.getString(small, 3), 5);
    EXPECT_STREQ(small, "xy");
    EXPECT_EQ(l.getChar(), 7);
}

TEST(Loader, FinishCurrentChunk) {
    std::vector<char> b(16, 0);
    b[2] = 12;
    Loader l;
    l.initData(b.data(), 16);
    l.finishCurrentChunk();  // at the start: nothing
    EXPECT_EQ(l.current, l.start);
    l.getChunkID();
    l.getShort();
    l.finishCurrentChunk();
    EXPECT_EQ(l.current, l.start + 12);
}

}  // namespace
