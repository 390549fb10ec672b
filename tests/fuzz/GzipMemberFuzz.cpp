#include <zlib.h>

#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "net/GzipMember.h"

constexpr std::size_t kSmallestMember = 18;

// Every byte the reader gives, never more than the cap; true when the member was whole.
static bool readAll(const std::string& member, std::string& out, std::size_t cap = kInflateCapBytes) {
    GzipMemberReader reader(member, cap);
    out.clear();
    for (const char byte : reader) out += byte;
    FUZZ_CHECK(out.size() <= cap && reader.inflated() == out.size());
    return reader.complete();
}

// zlib's own gzip decoding in one call into 1 MiB, which also checks both CRCs and ISIZE; true only when all of it
// passed. Members that inflate further are checked against the cap alone.
static bool gunzipOneShot(const std::string& member, std::string& out) {
    z_stream stream{};
    if (inflateInit2(&stream, MAX_WBITS + 16) != Z_OK) return false;
    out.resize(1 << 20);
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(member.data()));
    stream.avail_in = static_cast<uInt>(member.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    const bool ended = inflate(&stream, Z_FINISH) == Z_STREAM_END;
    out.resize(stream.total_out);
    inflateEnd(&stream);
    return ended;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string member(reinterpret_cast<const char*>(data), size);
    std::string out;
    const bool whole = readAll(member, out);
    if (whole)
        FUZZ_CHECK(size >= kSmallestMember && member.compare(0, 3, "\x1f\x8b\x08") == 0 && (data[3] & 0xE0) == 0);

    // A member zlib inflates in one go, checksums and all, streams to the same bytes.
    std::string reference;
    if (gunzipOneShot(member, reference)) FUZZ_CHECK(whole && out == reference);

    // A cap admits a body of exactly its size and not one byte more.
    if (whole && !out.empty()) {
        std::string capped;
        FUZZ_CHECK(readAll(member, capped, out.size()) && capped == out);
        FUZZ_CHECK(!readAll(member, capped, out.size() - 1) && capped.size() == out.size() - 1);
    }
    return 0;
}
