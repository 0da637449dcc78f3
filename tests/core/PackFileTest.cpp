#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <unistd.h>

#include "core/PackFile.h"

namespace {

struct Item {
    std::string name;
    std::vector<unsigned char> data;
};

void putLE32(std::vector<unsigned char>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<unsigned char>(v >> (8 * i)));
}

void putRecord(std::vector<unsigned char>& out, uint32_t start, uint32_t end, const std::string& name) {
    putLE32(out, start);
    putLE32(out, end);
    unsigned char field[256] = {};
    std::memcpy(field, name.data(), name.size() < 256 ? name.size() : 256);
    out.insert(out.end(), field, field + 256);
}

// Directory, terminator and the items' data laid end to end.
std::vector<unsigned char> buildPack(const std::vector<Item>& items, const std::string& terminatorName = "") {
    std::vector<unsigned char> out;
    uint32_t offset = 0;
    for (const Item& it : items) {
        putRecord(out, offset, offset + uint32_t(it.data.size()) - 1, it.name);
        offset += uint32_t(it.data.size());
    }
    putRecord(out, 0xFFFFFFFFu, 0, terminatorName);
    for (const Item& it : items) out.insert(out.end(), it.data.begin(), it.data.end());
    return out;
}

std::vector<unsigned char> bytes(size_t n, int first) {
    std::vector<unsigned char> v(n);
    for (size_t i = 0; i < n; ++i) v[i] = static_cast<unsigned char>(first + i);
    return v;
}

class PackFile : public ::testing::Test {
protected:
    std::string path;

    void SetUp() override {
        char tmpl[] = "/tmp/kvxpackXXXXXX";
        int fd = mkstemp(tmpl);
        ASSERT_GE(fd, 0);
        close(fd);
        path = tmpl;
    }
    void TearDown() override {
        packCloseArchive();
        std::remove(path.c_str());
    }

    void write(const std::vector<unsigned char>& content) {
        FILE* f = std::fopen(path.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        if (!content.empty()) std::fwrite(content.data(), 1, content.size(), f);
        std::fclose(f);
    }

    int open(const std::vector<unsigned char>& content) {
        write(content);
        return packOpenArchive(path.c_str());
    }
};

}  // namespace

TEST_F(PackFile, DataFollowsTheDirectory) {
    auto pack = buildPack({{"first.bin", bytes(100, 7)}, {"second.bin", bytes(30, 200)}});
    ASSERT_EQ(open(pack), 0);
    EXPECT_TRUE(packIsOpen());
    EXPECT_EQ(packEntryCount(), 3);
    ASSERT_EQ(pack.size(), 792u + 130u);

    PackEntry* e = packOpenEntry("first.bin", "rb");
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->position, 0);
    EXPECT_EQ(packEntrySize(e), 100u);
    unsigned char b = 0;
    EXPECT_EQ(packRead(&b, 1, 1, e), 1u);
    EXPECT_EQ(b, pack[792]);
    EXPECT_EQ(b, 7);

    PackEntry* s = packOpenEntry("second.bin", "rb");
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->position, 100);
    EXPECT_EQ(packEntrySize(s), 30u);
    unsigned char all[30];
    EXPECT_EQ(packRead(all, 1, 30, s), 30u);
    EXPECT_EQ(std::memcmp(all, pack.data() + 892, 30), 0);
    EXPECT_TRUE(packEndOfEntry(s));
    EXPECT_EQ(packCloseEntry(e), 1);
    EXPECT_EQ(packCloseEntry(s), 1);
    EXPECT_EQ(packCloseEntry(nullptr), 0);
    EXPECT_EQ(packCloseArchive(), 0);
    EXPECT_FALSE(packIsOpen());
    EXPECT_EQ(packEntryCount(), 0);
}

TEST_F(PackFile, NamesMatchWithoutCase) {
    ASSERT_EQ(open(buildPack({{"Maps\\Texture.JPG", bytes(4, 0)}, {"scene.3ds", bytes(4, 0)}})), 0);
    EXPECT_EQ(packFindEntry("maps\\texture.jpg"), 0);
    EXPECT_EQ(packFindEntry("MAPS\\TEXTURE.JPG"), 0);
    EXPECT_EQ(packFindEntry("Scene.3DS"), 1);
    EXPECT_STREQ(packEntryName(0), "MAPS\\TEXTURE.JPG");
    EXPECT_EQ(packFindEntry("texture.jpg"), -1);
    EXPECT_EQ(packFindEntry("missing.tga"), -1);
    EXPECT_EQ(packFindEntry(""), -1);  // the terminator's blank name is not an entry
    EXPECT_EQ(packFindEntry(nullptr), -1);
    EXPECT_EQ(packOpenEntry("missing.tga", "rb"), nullptr);
}

TEST_F(PackFile, TerminatorNameIsNotAnEntry) {
    ASSERT_EQ(open(buildPack({{"a", bytes(4, 0)}}, "ghost")), 0);
    EXPECT_EQ(packFindEntry("ghost"), -1);
    EXPECT_EQ(packOpenEntry("ghost", "rb"), nullptr);
}

TEST_F(PackFile, ReadsRunPastTheEntryEnd) {
    ASSERT_EQ(open(buildPack({{"a", bytes(25, 0)}, {"b", bytes(20, 100)}})), 0);
    PackEntry* e = packOpenEntry("A", "rb");
    ASSERT_NE(e, nullptr);
    unsigned char buf[10];
    EXPECT_EQ(packRead(buf, 1, 10, e), 10u);
    EXPECT_FALSE(packEndOfEntry(e));
    EXPECT_EQ(packRead(buf, 1, 10, e), 10u);
    EXPECT_FALSE(packEndOfEntry(e));
    EXPECT_EQ(packRead(buf, 1, 10, e), 10u);
    EXPECT_TRUE(packEndOfEntry(e));
    const unsigned char expected[10] = {20, 21, 22, 23, 24, 100, 101, 102, 103, 104};
    EXPECT_EQ(std::memcmp(buf, expected, 10), 0);
    packCloseEntry(e);
}

TEST_F(PackFile, InterleavedHandlesKeepTheirPlaces) {
    ASSERT_EQ(open(buildPack({{"a", bytes(40, 0)}, {"b", bytes(40, 100)}})), 0);
    PackEntry* a = packOpenEntry("a", "rb");
    PackEntry* b = packOpenEntry("b", "rb");
    ASSERT_TRUE(a && b);
    for (int i = 0; i < 10; ++i) {
        unsigned char x[4], y[4];
        ASSERT_EQ(packRead(x, 2, 2, a), 2u);
        ASSERT_EQ(packRead(y, 4, 1, b), 1u);
        for (int k = 0; k < 4; ++k) {
            EXPECT_EQ(x[k], 4 * i + k);
            EXPECT_EQ(y[k], 100 + 4 * i + k);
        }
    }
    EXPECT_TRUE(packEndOfEntry(a));
    EXPECT_TRUE(packEndOfEntry(b));
    // The last entry's end is the file's end: fread counts whole elements.
    unsigned char z[8];
    EXPECT_EQ(packRead(z, 1, 8, b), 0u);
    packCloseEntry(a);
    packCloseEntry(b);
}

TEST_F(PackFile, NothingOpen) {
    EXPECT_FALSE(packIsOpen());
    EXPECT_EQ(packOpenEntry("a", "rb"), nullptr);
    EXPECT_EQ(packFindEntry("a"), -1);
    unsigned char buf[4];
    EXPECT_EQ(packEntrySize(nullptr), 0u);
    EXPECT_EQ(packRead(buf, 1, 4, nullptr), 0u);
    EXPECT_TRUE(packEndOfEntry(nullptr));
    EXPECT_EQ(packCloseArchive(), 0);

    // A handle that outlived its pack reads nothing.
    ASSERT_EQ(open(buildPack({{"a", bytes(8, 1)}})), 0);
    PackEntry* e = packOpenEntry("a", "rb");
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(packRead(nullptr, 1, 4, e), 0u);
    packCloseArchive();
    EXPECT_EQ(packEntrySize(e), 0u);
    EXPECT_EQ(packRead(buf, 1, 4, e), 0u);
    EXPECT_TRUE(packEndOfEntry(e));
    EXPECT_EQ(packCloseEntry(e), 1);

    EXPECT_EQ(packOpenArchive("/nonexistent/dir/none.pak"), 1);
    EXPECT_EQ(packOpenArchive(nullptr), 1);
    EXPECT_FALSE(packIsOpen());
}

TEST_F(PackFile, PackEndingBeforeItsTerminatorIsRefused) {
    auto pack = buildPack({{"a", bytes(10, 0)}, {"b", bytes(10, 0)}});
    EXPECT_EQ(open({}), 1);
    EXPECT_FALSE(packIsOpen());
    // Cut inside the first record, at a record boundary, inside the terminator.
    for (size_t cut : {size_t(100), size_t(264), size_t(528), size_t(700), size_t(791)}) {
        EXPECT_EQ(open(std::vector<unsigned char>(pack.begin(), pack.begin() + cut)), 1) << cut;
        EXPECT_FALSE(packIsOpen());
        EXPECT_EQ(packEntryCount(), 0);
        EXPECT_EQ(packOpenEntry("a", "rb"), nullptr);
    }
    // The whole directory without any data is still a pack.
    EXPECT_EQ(open(std::vector<unsigned char>(pack.begin(), pack.begin() + 792)), 0);
    EXPECT_EQ(packEntryCount(), 3);
}

TEST_F(PackFile, DirectoryLimit) {
    std::vector<Item> items;
    for (int i = 0; i < 4095; ++i) items.push_back({"e" + std::to_string(i), bytes(1, i)});
    ASSERT_EQ(open(buildPack(items)), 0);  // 4095 entries and the terminator
    EXPECT_EQ(packEntryCount(), 4096);
    PackEntry* e = packOpenEntry("E4094", "rb");
    ASSERT_NE(e, nullptr);
    unsigned char b = 0;
    EXPECT_EQ(packRead(&b, 1, 1, e), 1u);
    EXPECT_EQ(b, static_cast<unsigned char>(4094));
    packCloseEntry(e);

    items.push_back({"one.more", bytes(1, 0)});
    EXPECT_EQ(open(buildPack(items)), 1);
    EXPECT_FALSE(packIsOpen());

    // Records without any terminator at all.
    std::vector<unsigned char> endless;
    for (int i = 0; i < 5000; ++i) putRecord(endless, 0, 0, "x");
    EXPECT_EQ(open(endless), 1);
}

TEST_F(PackFile, NamesAtTheirFieldLimit) {
    std::string n255(255, 'n'), n256(256, 'w');
    ASSERT_EQ(open(buildPack({{n255, bytes(3, 1)}, {n256, bytes(3, 9)}})), 0);
    EXPECT_EQ(packFindEntry(n255.c_str()), 0);
    // A name filling the whole field has no terminating NUL; it stays whole
    // and does not run into the next record.
    EXPECT_EQ(packFindEntry(n256.c_str()), 1);
    EXPECT_EQ(std::strlen(packEntryName(1)), 256u);
    EXPECT_EQ(packFindEntry(std::string(255, 'w').c_str()), -1);
    EXPECT_EQ(packFindEntry(std::string(257, 'w').c_str()), -1);
    std::string huge(100000, 'n');
    EXPECT_EQ(packFindEntry(huge.c_str()), -1);
    PackEntry* e = packOpenEntry(n256.c_str(), "rb");
    ASSERT_NE(e, nullptr);
    unsigned char b[3];
    EXPECT_EQ(packRead(b, 1, 3, e), 3u);
    EXPECT_EQ(b[0], 9);
    packCloseEntry(e);
}

TEST_F(PackFile, EntrySizesNeverExceedTheData) {
    std::vector<unsigned char> pack;
    putRecord(pack, 0, 9, "whole");
    putRecord(pack, 5, 0xFFFFFFF0u, "claims.too.much");
    putRecord(pack, 4000, 5000, "beyond.end");
    putRecord(pack, 8, 3, "backwards");
    putRecord(pack, 6, 5, "empty");
    putRecord(pack, 0xFFFFFFFFu, 0, "");
    auto data = bytes(20, 50);
    pack.insert(pack.end(), data.begin(), data.end());
    ASSERT_EQ(open(pack), 0);

    struct Expect {
        const char* name;
        unsigned size;
    };
    for (Expect x : {Expect{"whole", 10}, Expect{"claims.too.much", 15}, Expect{"beyond.end", 0},
                     Expect{"backwards", 0}, Expect{"empty", 0}}) {
        PackEntry* e = packOpenEntry(x.name, "rb");
        ASSERT_NE(e, nullptr) << x.name;
        EXPECT_EQ(packEntrySize(e), x.size) << x.name;
        EXPECT_EQ(packEndOfEntry(e), x.size == 0) << x.name;
        // Reading to the end terminates after the bytes that exist.
        int reads = 0;
        unsigned char c;
        while (!packEndOfEntry(e) && reads < 100) {
            packRead(&c, 1, 1, e);
            ++reads;
        }
        EXPECT_EQ(reads, int(x.size)) << x.name;
        packCloseEntry(e);
    }

    // Enormous requests neither overflow the handle nor write anything.
    PackEntry* e = packOpenEntry("whole", "rb");
    unsigned char c = 0;
    EXPECT_EQ(packRead(&c, SIZE_MAX, SIZE_MAX, e), 0u);
    EXPECT_TRUE(packEndOfEntry(e));
    EXPECT_EQ(packRead(&c, 1, 1, e), 0u);
    EXPECT_EQ(packRead(&c, SIZE_MAX, 2, e), 0u);
    packCloseEntry(e);
}

TEST_F(PackFile, OpeningAnotherPackReplacesTheFirst) {
    ASSERT_EQ(open(buildPack({{"old", bytes(4, 1)}})), 0);
    std::string second = path + ".2";
    FILE* f = std::fopen(second.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    auto pack = buildPack({{"new", bytes(4, 2)}, {"other", bytes(2, 3)}});
    std::fwrite(pack.data(), 1, pack.size(), f);
    std::fclose(f);
    EXPECT_EQ(packOpenArchive(second.c_str()), 0);
    EXPECT_EQ(packFindEntry("old"), -1);
    EXPECT_EQ(packFindEntry("new"), 0);
    EXPECT_EQ(packEntryCount(), 3);
    // A failed open leaves nothing open.
    EXPECT_EQ(packOpenArchive("/nonexistent/x.pak"), 1);
    EXPECT_FALSE(packIsOpen());
    std::remove(second.c_str());
}

TEST_F(PackFile, ArbitraryBytesAreHandledSafely) {
    // Mutations of a valid pack read through the in-memory stream.
    auto base = buildPack({{"a.jpg", bytes(30, 0)}, {"B.TGA", bytes(50, 9)}, {"c", bytes(5, 3)}});
    srand(1234);
    int opened = 0;
    for (int round = 0; round < 3000; ++round) {
        std::vector<unsigned char> input = base;
        int edits = 1 + rand() % 8;
        for (int k = 0; k < edits; ++k) {
            size_t at = size_t(rand()) % input.size();
            switch (rand() % 3) {
                case 0: input[at] = static_cast<unsigned char>(rand()); break;
                case 1: input.resize(at + 1); break;
                case 2: input[at] = 0xFF; break;
            }
        }
        FILE* f = fmemopen(input.data(), input.size(), "rb");
        ASSERT_NE(f, nullptr);
        if (packOpenArchiveStream(f) != 0) continue;
        ++opened;
        for (int i = 0; i < packEntryCount(); ++i) {
            const char* name = packEntryName(i);
            ASSERT_NE(name, nullptr);
            PackEntry* e = packOpenEntry(name, "rb");
            if (!e) continue;
            unsigned size = packEntrySize(e);
            ASSERT_LE(size, input.size());
            std::vector<unsigned char> buf(size + 1);
            size_t got = packRead(buf.data(), 1, size, e);
            ASSERT_LE(got, size_t(size));
            packCloseEntry(e);
        }
        packCloseArchive();
    }
    EXPECT_GT(opened, 100);
}
