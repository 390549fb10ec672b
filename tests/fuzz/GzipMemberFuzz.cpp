#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "net/GzipMember.h"

constexpr std::size_t kSmallestMember = 18;

// Inflates into an output holding stale bytes: a failure must leave nothing of them or of a partial result.
static bool inflateChecked(const std::string& member, std::string& out, std::size_t cap = kInflateCapBytes) {
    out = "stale";
    const bool ok = inflateGzipMember(member, out, cap);
    FUZZ_CHECK(out.size() <= cap);
    FUZZ_CHECK(ok || out.empty());
    return ok;
}

static std::string withIsize(std::string member, uint32_t isize) {
    for (std::size_t i = 0; i < 4; ++i) member[member.size() - 4 + i] = static_cast<char>(isize >> (8 * i));
    return member;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string member(reinterpret_cast<const char*>(data), size);
    std::string out;
    const bool ok = inflateChecked(member, out);
    if (ok) {
        FUZZ_CHECK(size >= kSmallestMember);
        FUZZ_CHECK(member.compare(0, 3, "\x1f\x8b\x08") == 0);
        FUZZ_CHECK((data[3] & 0xE0) == 0);
    }

    std::string again;
    FUZZ_CHECK(inflateChecked(member, again) == ok && again == out);

    // A cap admits a body of exactly its size and not one byte more.
    if (ok && !out.empty()) {
        std::string capped;
        FUZZ_CHECK(inflateChecked(member, capped, out.size()) && capped == out);
        FUZZ_CHECK(!inflateChecked(member, capped, out.size() - 1));
    }

    // ISIZE only chooses between the one-shot and the streaming path, so no value of it may change the
    // outcome: 0 forces streaming, the true size a one-shot that fits, a smaller one a one-shot that falls back.
    if (size < kSmallestMember) return 0;
    const auto produced = static_cast<uint32_t>(out.size());
    for (const uint32_t isize : {0u, produced, produced / 2 + 1, 1u << 20}) {
        std::string other;
        FUZZ_CHECK(inflateChecked(withIsize(member, isize), other) == ok && other == out);
    }
    return 0;
}
