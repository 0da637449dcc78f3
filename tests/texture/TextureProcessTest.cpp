#include "TextureTestSupport.h"

using namespace kvxtest;

namespace {

// A texture holding its own width x height buffer, every byte from f(x, y, channel).
template <typename F>
void fill(Texture& t, int width, int height, F f) {
    t.width = width;
    t.height = height;
    delete[] t.data;
    t.data = new unsigned char[static_cast<size_t>(width) * height * 4];
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            for (int c = 0; c < 4; ++c) {
                t.data[(static_cast<size_t>(y) * width + x) * 4 + c] = static_cast<unsigned char>(f(x, y, c));
            }
        }
    }
}

std::vector<unsigned char> copyOf(const Texture& t) {
    return std::vector<unsigned char>(t.data, t.data + static_cast<size_t>(t.width) * t.height * 4);
}

}  // namespace

TEST(TextureMultiply, DoublesMinus28ClampedAndKeepsAlpha) {
    Texture t;
    const int values[] = {14, 100, 200, 0, 255, 13};
    fill(t, 6, 1, [&](int x, int, int c) { return c == 3 ? 77 : values[x]; });
    t.multiply();
    const int expected[] = {0, 172, 255, 0, 255, 0};
    for (int x = 0; x < 6; ++x) {
        for (int c = 0; c < 3; ++c) EXPECT_EQ(t.data[x * 4 + c], expected[x]) << x;
        EXPECT_EQ(t.data[x * 4 + 3], 77);
    }
    Texture empty;
    empty.multiply();  // no buffer: nothing happens
    EXPECT_EQ(empty.data, nullptr);
}

TEST(TextureFilter, IdentityKernelKeepsAndZeroKernelSkips) {
    Texture t;
    fill(t, 5, 4, [](int x, int y, int c) { return (x * 37 + y * 11 + c * 5) & 0xFF; });
    std::vector<unsigned char> before = copyOf(t);
    int identity[9] = {0, 0, 0, 0, 1, 0, 0, 0, 0};
    t.filter(identity);
    EXPECT_EQ(copyOf(t), before);
    unsigned char* buffer = t.data;
    int zero[9] = {0, 0, 0, 0, 0, 0, 0, 0, 0};
    t.filter(zero);
    EXPECT_EQ(t.data, buffer);  // not even replaced
    t.filter(nullptr);
    EXPECT_EQ(copyOf(t), before);
}

TEST(TextureFilter, BoxKernelAveragesInnerPixelsAndKeepsBorders) {
    Texture t;
    // 3x3 with one bright centre: the centre becomes (90 + 8*0) / 9 = 10.
    fill(t, 3, 3, [](int x, int y, int c) { return x == 1 && y == 1 ? 90 : (c == 3 ? 255 : 0); });
    int box[9] = {1, 1, 1, 1, 1, 1, 1, 1, 1};
    t.filter(box);
    EXPECT_EQ(t.data[(1 * 3 + 1) * 4 + 0], 10);
    EXPECT_EQ(t.data[(1 * 3 + 1) * 4 + 3], (90 + 8 * 255) / 9);
    EXPECT_EQ(t.data[0], 0);  // border untouched
}

TEST(TextureFilter, NegativeResultsClampAndDivisionTruncates) {
    Texture t;
    fill(t, 3, 3, [](int x, int y, int) { return x == 1 && y == 1 ? 10 : 200; });
    int edge[9] = {0, -1, 0, -1, 5, -1, 0, -1, 0};  // sum 1: 50 - 800 < 0
    t.filter(edge);
    EXPECT_EQ(t.data[(1 * 3 + 1) * 4], 0);
    fill(t, 3, 3, [](int, int, int) { return 10; });
    int sum7[9] = {1, 1, 1, 1, 1, 1, 1, 0, 0};  // sum 7
    t.data[(1 * 3 + 1) * 4] = 0;
    t.filter(sum7);  // (6*10 + 0) / 7 = 8.57 -> 8
    EXPECT_EQ(t.data[(1 * 3 + 1) * 4], 8);
}

TEST(TextureFilter, SharpenLeavesFlatAreasAndLiftsAPeak) {
    Texture t;
    fill(t, 4, 4, [](int, int, int) { return 100; });
    t.sharpenTexture();
    for (size_t i = 0; i < 64; ++i) EXPECT_EQ(t.data[i], 100);
    fill(t, 3, 3, [](int x, int y, int) { return x == 1 && y == 1 ? 120 : 100; });
    t.sharpenTexture();  // (19*120 - 12*100) / 7 = 154
    EXPECT_EQ(t.data[(1 * 3 + 1) * 4], 154);
}

TEST(TextureScale, HalfAndThirtyPercentOf256) {
    Texture half;
    fill(half, 256, 256, [](int, int, int) { return 50; });
    half.scaleTexture(0.5f);
    EXPECT_EQ(half.width, 128);
    EXPECT_EQ(half.height, 128);
    EXPECT_EQ(half.data[0], 50);

    // Each new pixel averages a 4x4 block; the sharpening of flat blocks keeps them.
    Texture third;
    fill(third, 256, 256, [](int x, int y, int c) { return c == 3 ? 255 : ((x / 4 + y / 4) % 2) * 64 + (x % 4); });
    third.scaleTexture(0.3f);
    ASSERT_EQ(third.width, 64);
    ASSERT_EQ(third.height, 64);
    // Borders are not sharpened: block (0, 0) averages 0,1,2,3 -> 1; block (1, 0) 64 + 1.
    EXPECT_EQ(pixelAt(third.data, 64, 0, 0)[0], 1);
    EXPECT_EQ(pixelAt(third.data, 64, 1, 0)[0], 65);
    EXPECT_EQ(pixelAt(third.data, 64, 0, 0)[3], 255);
}

TEST(TextureScale, OutOfRangeFactorsDoNothingAndTinySidesStayOnePixel) {
    Texture t;
    fill(t, 8, 8, [](int, int, int) { return 9; });
    t.scaleTexture(0.0f);
    t.scaleTexture(1.5f);
    t.scaleTexture(-1.0f);
    EXPECT_EQ(t.width, 8);
    t.scaleTexture(0.01f);  // 0.08 pixels: one pixel, not zero
    EXPECT_EQ(t.width, 1);
    EXPECT_EQ(t.height, 1);
    EXPECT_EQ(t.data[0], 9);
}
