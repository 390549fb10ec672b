#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <tuple>

#include "net/GzipMember.h"
#include "support/Deflate.h"

const std::string kText = R"({"channel_status":{"a":[{"channel_number":1,"last_hp":50}]}})";

// Header with `flags` and the `optional` fields they announce, `deflate`, a zero CRC (never checked), `isize`.
static std::string gzipMember(const std::string& deflate, uint32_t isize, char flags = 0,
                              const std::string& optional = {}) {
    std::string member =
        std::string{'\x1f', '\x8b', '\x08', flags, 0, 0, 0, 0, 0, '\x03'} + optional + deflate + std::string(4, '\0');
    for (int i = 0; i < 4; ++i) member += static_cast<char>(isize >> (8 * i));
    return member;
}

// Every byte the reader gives, and whether the member was whole.
static bool readAll(const std::string& member, std::string& out, std::size_t cap = kInflateCapBytes) {
    GzipMemberReader reader(member, cap);
    out.assign(reader.begin(), reader.end());
    EXPECT_EQ(reader.inflated(), out.size());
    return reader.complete();
}

TEST(GzipMember, InflatesWellFormedMembersOnly) {
    const std::string deflate = deflateAll(kText, -MAX_WBITS);
    const auto size = static_cast<uint32_t>(kText.size());
    const std::string plain = gzipMember(deflate, size);
    // What a failing member gave before it failed is the parser's to refuse; only `complete` says it is whole.
    const std::tuple<const char*, std::string, bool> cases[] = {
        {"plain", plain, true},
        {"extra, name and comment", gzipMember(deflate, size, 0x1C, std::string("\3\0xyzbody.json\0note\0", 20)), true},
        {"header crc", gzipMember(deflate, size, 0x02, "\x12\x34"), true},
        {"isize 0", gzipMember(deflate, 0), true},
        {"isize beyond the one-shot range", gzipMember(deflate, 0xFFFFFFFF), true},
        {"not deflate", std::string(plain).replace(2, 1, "\7"), false},
        {"reserved flag", gzipMember(deflate, size, 0x20), false},
        {"extra longer than the body", gzipMember(deflate, size, 0x04, "\xff\xff"), false},
        // No zero byte follows at all, not even in the trailer.
        {"name without terminator", "\x1f\x8b\x08\x08" + std::string(34, 'n'), false},
        {"comment without terminator", "\x1f\x8b\x08\x10" + std::string(34, 'n'), false},
        {"no compressed byte", gzipMember("", 0, 0x08, std::string("name\0", 5)), false},
        {"corrupt deflate", gzipMember(std::string(40, '\xff'), 40), false},
        {"cut short", plain.substr(0, plain.size() - 12), false},
    };
    for (const auto& [name, member, whole] : cases) {
        SCOPED_TRACE(name);
        std::string out;
        EXPECT_EQ(readAll(member, out), whole);
        if (whole) {
            EXPECT_EQ(out, kText);
        }
    }
}

// A body of exactly the cap inflates whole; one byte more fails, and no more than the cap is ever produced.
// (The client's tests run the real cap and a bomb.)
TEST(GzipMember, InflatesUpToTheCapAndNoFurther) {
    const std::size_t cap = 1 << 20;
    for (const std::size_t size : {cap, cap + 1}) {
        std::string out;
        EXPECT_EQ(readAll(gzipMember(deflateAll(std::string(size, '\0'), -MAX_WBITS), 0), out, cap), size <= cap);
        EXPECT_EQ(out, std::string(cap, '\0')) << size;
    }
}

// A reader that stops early has inflated at most a chunk beyond what it read, however large the member.
TEST(GzipMember, InflatesOnlyAsFarAsItIsRead) {
    const std::string member = gzipMember(deflateAll(std::string(60 << 20, ' '), -MAX_WBITS), 0);
    for (const std::size_t read : {0u, 1u, 65536u, 65537u, 1000000u}) {
        SCOPED_TRACE(read);
        GzipMemberReader reader(member);
        auto byte = reader.begin();
        for (std::size_t i = 0; i < read; ++i, ++byte) {
            ASSERT_TRUE(byte != reader.end());
            ASSERT_EQ(*byte, ' ');
        }
        EXPECT_LE(reader.inflated(), read + 65536);
        EXPECT_FALSE(reader.complete());
    }
}
