#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "Korvex3D.h"

namespace {

std::string text(String s) { return std::string(s.toChar()); }

}  // namespace

TEST(String, Construction) {
    String d;
    EXPECT_EQ(d.capacity, 256);
    EXPECT_EQ(d.length(), 0);
    String n(5);
    EXPECT_EQ(n.capacity, 5);
    EXPECT_EQ(n.length(), 0);
    String t("hello");
    EXPECT_EQ(t.capacity, 5);
    EXPECT_EQ(t.length(), 5);
    EXPECT_STREQ(t.toChar(), "hello");
    EXPECT_EQ(static_cast<char*>(t), t.toChar());
    String none(nullptr);
    EXPECT_EQ(none.length(), 0);
    EXPECT_EQ(none.charAt(0), 0);
}

TEST(String, LengthIsBoundedByCapacity) {
    String s(5);
    std::strcpy(s.toChar(), "abcdefgh");
    EXPECT_EQ(s.length(), 5);
    EXPECT_EQ(s.charAt(5), 0);
    EXPECT_EQ(text(s.subString(0, 99)), "abcde");
    s.capacity = 0;
    EXPECT_EQ(s.length(), 0);
    s.capacity = -3;
    EXPECT_EQ(s.length(), 0);
    s.clear();  // a negative capacity clears nothing and must not crash
    EXPECT_EQ(s.toChar()[0], 'a');
    s.capacity = 3;
    s.clear();
    EXPECT_STREQ(s.toChar(), "");
    EXPECT_EQ(s.toChar()[3], 'd');
}

TEST(String, CopyIsAWholeValue) {
    String a("first");
    String b = a;
    b.toChar()[0] = 'F';
    EXPECT_STREQ(a.toChar(), "first");
    EXPECT_STREQ(b.toChar(), "First");
    String c(3);
    c = a;
    EXPECT_EQ(c.capacity, 5);
    EXPECT_STREQ(c.toChar(), "first");
}

TEST(String, CharAtIsSignedAndBounded) {
    String s("a\xe9z");
    EXPECT_EQ(s.charAt(0), 'a');
    EXPECT_EQ(s.charAt(1), -23);  // 0xE9 as a signed byte
    EXPECT_EQ(s.charAt(-1), 0);
    EXPECT_EQ(s.charAt(s.length()), 0);
    EXPECT_EQ(s.charAt(5000), 0);
}

TEST(String, Searches) {
    String s("ab12c3");
    EXPECT_EQ(s.indexOf('b'), 1);
    EXPECT_EQ(s.indexOf('c', 3), 4);
    EXPECT_EQ(s.indexOf('a', 1), -1);
    EXPECT_EQ(s.indexOf('a', -10), 0);
    EXPECT_EQ(s.indexOf('a', 6), -1);
    EXPECT_EQ(s.indexOf('a', 1000), -1);
    EXPECT_EQ(s.indexOf('\0'), -1);
    EXPECT_EQ(s.indexOfNumber(), 2);
    EXPECT_EQ(s.indexOfNumber(4), 5);
    EXPECT_EQ(s.indexOfNumber(6), -1);
    EXPECT_EQ(s.indexOfNotNumber(), 0);
    EXPECT_EQ(s.indexOfNotNumber(2), 4);
    EXPECT_EQ(s.indexOfNotNumber(5), -1);
    EXPECT_EQ(String("").indexOfNumber(), -1);
}

TEST(String, SubString) {
    String s("hello");
    EXPECT_EQ(text(s.subString(1, 3)), "el");
    EXPECT_EQ(text(s.subString(3, 1)), "");
    EXPECT_EQ(s.subString(3, 1).capacity, 1);
    EXPECT_EQ(text(s.subString(2, 99)), "llo");
    EXPECT_EQ(s.subString(2, 99).capacity, 5);
    EXPECT_EQ(text(s.subString(-1, 3)), "");
    EXPECT_EQ(text(s.subString(0, -1)), "");
    EXPECT_EQ(text(s.subString(99, 99)), "");
    EXPECT_EQ(text(s.subString(0, 5)), "hello");
}

TEST(String, TrimRemovesLeadingBlanksOnly) {
    EXPECT_EQ(text(String("  ab ").trim()), "ab ");
    EXPECT_EQ(text(String("\tab").trim()), "\tab");
    String blanks("   ");
    String t = blanks.trim();
    EXPECT_EQ(text(t), "   ");
    EXPECT_EQ(t.capacity, 3);
    EXPECT_EQ(text(String("").trim()), "");
}

TEST(String, FindNumber) {
    EXPECT_FLOAT_EQ(String("v 3.25").findNumber(), 3.25f);
    EXPECT_FLOAT_EQ(String("-4x").findNumber(), -4.0f);
    EXPECT_FLOAT_EQ(String("a-b7").findNumber(), 7.0f);
    EXPECT_FLOAT_EQ(String("x=-12.5;").findNumber(), -12.5f);
    EXPECT_EQ(String("abc").findNumber(), 0.0f);
    EXPECT_FLOAT_EQ(String("7.").findNumber(), 7.0f);
    EXPECT_FLOAT_EQ(String("1e5").findNumber(), 1.0f);  // no exponent
    EXPECT_FLOAT_EQ(String("a 12 b 34").findNumber(), 12.0f);
    EXPECT_FLOAT_EQ(String("3.4.5").findNumber(), 3.4f);
    EXPECT_EQ(String("").findNumber(), 0.0f);
}

TEST(String, CompareTo) {
    String abc("abc");
    EXPECT_EQ(abc.compareTo(String("abd")), -1);
    EXPECT_EQ(abc.compareTo("ab"), 1);
    EXPECT_EQ(abc.compareTo("abc"), 0);
    EXPECT_EQ(String("a").compareTo("abcd"), -3);
    EXPECT_EQ(String("abcd").compareTo("a"), 3);
    EXPECT_EQ(String("b").compareTo("abcd"), 1);
    EXPECT_EQ(String("").compareTo(""), -1);
    EXPECT_EQ(String("").compareTo("a"), -1);
    // Signed bytes: a high-bit character sorts below plain ASCII.
    EXPECT_EQ(String("\xe9").compareTo("a"), -1);
}

TEST(String, Concatenation) {
    String a("foo"), b("bar");
    String ab = a + b;
    EXPECT_EQ(text(ab), "foobar");
    EXPECT_EQ(ab.capacity, 7);
    String ac = a + '!';
    EXPECT_EQ(text(ac), "foo!");
    EXPECT_EQ(ac.capacity, 4);
    EXPECT_EQ(text(a + "baz"), "foobaz");
    // Only the reported length of each side takes part.
    String capped(2);
    std::strcpy(capped.toChar(), "xyz");
    EXPECT_EQ(text(capped + b), "xybar");
}

TEST(String, LongTextIsCutAt1023Characters) {
    std::string big(3000, 'q');
    String s(big.c_str());
    EXPECT_EQ(s.capacity, 1023);
    EXPECT_EQ(s.length(), 1023);
    EXPECT_EQ(s.toChar()[1023], '\0');

    String sum = s + s;
    EXPECT_EQ(sum.length(), 1023);
    EXPECT_EQ(sum.toChar()[1023], '\0');
    String more = s + 'x';
    EXPECT_EQ(more.length(), 1023);
    EXPECT_EQ(more.charAt(1022), 'q');

    std::string half(600, 'h');
    String joined = String(half.c_str()) + String(half.c_str());
    EXPECT_EQ(joined.length(), 1023);
    EXPECT_EQ(joined.charAt(599), 'h');

    String wide(5000);
    EXPECT_LE(wide.capacity, 1023);
    std::memset(wide.toChar(), 'w', String::kBufferSize);  // no terminator at all
    EXPECT_EQ(wide.length(), 1023);
    wide.capacity = 100000;  // a public field: still bounded
    EXPECT_EQ(wide.length(), 1023);
    EXPECT_EQ(wide.indexOf('z'), -1);
    EXPECT_EQ(wide.subString(0, 5000).length(), 1023);
    wide.clear();
    EXPECT_EQ(wide.length(), 0);
}

TEST(String, BuildsLinesCharacterByCharacter) {
    // The way the script and list readers assemble a line.
    String line(0);
    for (const char* p = "load scene.3ds"; *p; ++p) line = line + *p;
    EXPECT_EQ(text(line), "load scene.3ds");
    int space = line.indexOf(' ');
    EXPECT_EQ(text(line.subString(0, space)), "load");
    EXPECT_EQ(text(line.subString(space + 1, line.length()).trim()), "scene.3ds");
}
