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

TEST(GzipMember, InflatesWellFormedMembersOnly) {
    const std::string deflate = deflateAll(kText, -MAX_WBITS);
    const auto size = static_cast<uint32_t>(kText.size());
    const std::string plain = gzipMember(deflate, size);
    const std::tuple<const char*, std::string, bool> cases[] = {
        {"plain", plain, true},
        {"extra, name and comment", gzipMember(deflate, size, 0x1C, std::string("\3\0xyzbody.json\0note\0", 20)), true},
        {"header crc", gzipMember(deflate, size, 0x02, "\x12\x34"), true},
        {"isize 0", gzipMember(deflate, 0), true},
        {"isize too large", gzipMember(deflate, size * 100), true},
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
    for (const auto& [name, member, inflates] : cases) {
        std::string out = "old";
        EXPECT_EQ(inflateGzipMember(member, out), inflates) << name;
        EXPECT_EQ(out, inflates ? kText : "") << name;
    }
}

// A body of exactly the cap inflates; one byte more fails, however its size is announced, and the output
// never holds more than the cap. (HttpGet's tables run the real cap and a bomb through the client.)
TEST(GzipMember, InflatesUpToTheCapAndNoFurther) {
    const std::size_t cap = 1 << 20;
    for (const std::size_t size : {cap, cap + 1}) {
        const std::string zeros(size, '\0');
        const std::string deflate = deflateAll(zeros, -MAX_WBITS);
        for (const uint32_t isize :
             {0u, 1000u, static_cast<uint32_t>(cap - 1), static_cast<uint32_t>(size), 0xFFFFFFFFu}) {
            SCOPED_TRACE(std::to_string(size) + " bytes announced as " + std::to_string(isize));
            std::string out = "old";
            EXPECT_EQ(inflateGzipMember(gzipMember(deflate, isize), out, cap), size <= cap);
            EXPECT_EQ(out.size(), size <= cap ? size : 0u);
            EXPECT_LE(out.capacity(), cap);
        }
    }
}
