#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "Tunnel.h"

using namespace demo;

TEST(Tunnel, TablesAreRecentredAndGridFollowsThePhase) {
    FILE* f = tmpfile();
    ASSERT_NE(f, nullptr);
    std::vector<unsigned char> block(Tunnel::kBlockSize);
    for (int i = 0; i < Tunnel::kBlockSize; i++) block[i] = (unsigned char)(i * 7);
    fwrite(block.data(), 1, block.size(), f);
    for (int i = 0; i < Tunnel::kBlockSize; i++) block[i] = (unsigned char)(255 - i);
    fwrite(block.data(), 1, block.size(), f);
    rewind(f);
    Tunnel t;
    t.loadBlocks(f);
    fclose(f);
    EXPECT_EQ(t.tableA[0], 128);  // 0 - 128 mod 256
    EXPECT_EQ(t.tableA[1], (unsigned char)(7 - 128));
    EXPECT_EQ(t.tableB[0], 127);    // 255 - 128
    EXPECT_EQ(t.tableA[64000], 0);  // beyond the used bytes: cleared

    t.phase = 15;
    t.computeGrid();
    EXPECT_FLOAT_EQ(t.colors[0].a, 0.25f);  // 15 / 60
    EXPECT_FLOAT_EQ(t.texCoords[0].x, (15 + t.tableB[0]) / 512.0f);
    EXPECT_FLOAT_EQ(t.texCoords[0].y, (15 + t.tableA[0]) / 512.0f);
    int q = (960 * 2 + 4 * 3) % 64000;
    EXPECT_FLOAT_EQ(t.texCoords[2 * 80 + 3].y, (15 + t.tableA[q]) / 512.0f);
    t.phase = 200;
    t.computeGrid();
    EXPECT_FLOAT_EQ(t.colors[100].a, 0.5f);
    // Row 0 has sin(0) = 0 in the red and blue terms.
    EXPECT_FLOAT_EQ(t.colors[5].r, 0.0f);
}

TEST(Tunnel, MissingFileIsReported) {
    Tunnel t;
    EXPECT_FALSE(t.load("no-such-dir\\tunnel.raw"));
}
