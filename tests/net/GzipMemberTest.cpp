#include <gtest/gtest.h>

#include <atomic>

#include "net/GzipMember.h"
#include "net/GzipTestData.h"

#if defined(__SANITIZE_ADDRESS__)
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*)(const volatile void*, std::size_t),
                                                         void (*)(const volatile void*));
namespace {
std::atomic<std::size_t> largestAllocation{0};
void noteAllocation(const volatile void*, std::size_t size) {
    std::size_t seen = largestAllocation.load();
    while (size > seen && !largestAllocation.compare_exchange_weak(seen, size)) {
    }
}
void noteFree(const volatile void*) {}
}  // namespace
#endif

namespace {

const std::string kText = "{\"channel_status\":{\"a\":[{\"channel_number\":1,\"last_hp\":50}]}}";

TEST(GzipMember, AcceptsWellFormedMembers) {
    const std::string deflate = rawDeflate(kText);
    const auto size = static_cast<uint32_t>(kText.size());
    struct Case {
        const char* name;
        std::string member;
    };
    const Case cases[] = {
        {"plain", gzipMember(deflate, size)},
        {"extra, name and comment",
         gzipMember(deflate, size, 0x04 | 0x08 | 0x10,
                    std::string("\x03\x00xyz", 5) + std::string("body.json\0", 10) + std::string("note\0", 5))},
        {"header crc", gzipMember(deflate, size, 0x02, "\x12\x34")},
        {"isize zero takes the streaming path", gzipMember(deflate, 0)},
        {"isize too small", gzipMember(deflate, 3)},
        {"isize too large", gzipMember(deflate, size * 100)},
        {"isize beyond the one-shot range", gzipMember(deflate, 0xFFFFFFFF)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string out = "old";
        EXPECT_TRUE(inflateGzipMember(c.member, out));
        EXPECT_EQ(out, kText);
    }
}

// A header announcing a zero-terminated field that never ends: no zero byte follows, not even in the trailer.
std::string unterminated(unsigned char flag) {
    return std::string("\x1f\x8b\x08") + static_cast<char>(flag) + std::string(6, '\1') + std::string(20, 'n') +
           "\1\2\3\4\5\6\7\x08";
}

TEST(GzipMember, RejectsMalformedMembersWithEmptyOutput) {
    const std::string deflate = rawDeflate(kText);
    const auto size = static_cast<uint32_t>(kText.size());
    std::string wrongMagic = gzipMember(deflate, size);
    wrongMagic[1] = 'x';
    std::string notDeflate = gzipMember(deflate, size);
    notDeflate[2] = 7;
    struct Case {
        const char* name;
        std::string member;
    };
    const Case cases[] = {
        {"shorter than 18 bytes", gzipMember("", 0).substr(0, 17)},
        {"wrong magic", wrongMagic},
        {"not deflate", notDeflate},
        {"reserved flag", gzipMember(deflate, size, 0x20)},
        {"extra longer than the body", gzipMember(deflate, size, 0x04, "\xff\xff")},
        {"name without terminator", unterminated(0x08)},
        {"comment without terminator", unterminated(0x10)},
        {"no compressed byte", gzipMember("", 0, 0x08, std::string("name\0", 5))},
        {"corrupt deflate", gzipMember(std::string(40, '\xff'), 40)},
        {"deflate cut short", gzipMember(deflate.substr(0, deflate.size() / 2), size)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string out = "old";
        EXPECT_FALSE(inflateGzipMember(c.member, out));
        EXPECT_EQ(out, "");
    }
}

TEST(GzipMember, InflatesUpToTheCap) {
    std::string out;
    ASSERT_TRUE(inflateGzipMember(zeroBomb(64, 0), out));
    EXPECT_EQ(out.size(), kInflateCapBytes);
}

TEST(GzipMember, BombFailsWithoutAllocatingPastTheCap) {
#if defined(__SANITIZE_ADDRESS__)
    static const int hooked = __sanitizer_install_malloc_and_free_hooks(noteAllocation, noteFree);
    ASSERT_NE(hooked, 0);
#endif
    // 10 GiB of zeros in about 10 MiB, announced both as unknown size and as a size that fits.
    const std::string bomb = zeroBomb(10240, 0);
    struct Case {
        const char* name;
        uint32_t isize;
    };
    const Case cases[] = {{"streaming", 0}, {"one-shot first", 1000}, {"one-shot just below the cap", (64u << 20) - 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string member = bomb;
        member.replace(member.size() - 4, 4, littleEndian32(c.isize));
#if defined(__SANITIZE_ADDRESS__)
        largestAllocation = 0;
#endif
        std::string out;
        EXPECT_FALSE(inflateGzipMember(member, out));
        EXPECT_EQ(out, "");
#if defined(__SANITIZE_ADDRESS__)
        EXPECT_LE(largestAllocation.load(), kInflateCapBytes + 64);
#endif
    }
}

}  // namespace
