// Reading a gzip body byte by byte through the member reader, as the parser does, against zlib's raw inflate into a
// pre-sized buffer.
#include <cstdio>

#include "SyntheticBody.h"
#include "net/GzipMember.h"

int main() {
    const std::string plain = syntheticAllStatus();
    const std::string member = gzipOf(plain);
    const std::string deflate = member.substr(10, member.size() - 18);

    std::string direct(plain.size(), '\0');
    const double zlib = bestSeconds(15, 20, [&] {
        z_stream stream{};
        inflateInit2(&stream, -MAX_WBITS);
        stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(deflate.data()));
        stream.avail_in = static_cast<uInt>(deflate.size());
        stream.next_out = reinterpret_cast<Bytef*>(direct.data());
        stream.avail_out = static_cast<uInt>(direct.size());
        if (inflate(&stream, Z_FINISH) != Z_STREAM_END) std::abort();
        inflateEnd(&stream);
    });
    std::size_t matching = 0;
    const double ours = bestSeconds(15, 20, [&] {
        GzipMemberReader reader(member);
        matching = 0;
        auto expected = plain.begin();
        for (const char byte : reader) matching += byte == *expected++;
        if (!reader.complete()) std::abort();
    });
    if (matching != plain.size() || direct != plain) std::abort();
    std::printf("gzip member: %zu bytes inflating to %zu\n", member.size(), plain.size());
    std::printf("zlib raw inflate:  %.1f MB/s\n", plain.size() / zlib / 1e6);
    std::printf("GzipMemberReader, byte by byte: %.1f MB/s\n", plain.size() / ours / 1e6);
    std::printf("throughput ratio ours / zlib: %.2fx\n", zlib / ours);
    return 0;
}
