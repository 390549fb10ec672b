#pragma once

#include <zlib.h>

#include <cstdint>
#include <string>

// Raw deflate of `data`, optionally ending with a full flush instead of a final block, so that copies
// of the result can be chained into one long stream.
inline std::string rawDeflate(const std::string& data, int flush = Z_FINISH) {
    z_stream stream{};
    deflateInit2(&stream, 9, Z_DEFLATED, -MAX_WBITS, 9, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&stream, data.size()) + 64, '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    deflate(&stream, flush);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

inline std::string littleEndian32(uint32_t value) {
    std::string bytes;
    for (int i = 0; i < 4; ++i) bytes += static_cast<char>(value >> (8 * i) & 0xFF);
    return bytes;
}

// A gzip member around `deflate`: header with `flags` and the optional fields they announce, then the
// trailer with a zero CRC (never checked) and `isize`.
inline std::string gzipMember(const std::string& deflate, uint32_t isize, unsigned char flags = 0,
                              const std::string& optional = {}) {
    std::string member = {'\x1f', '\x8b', '\x08', static_cast<char>(flags), 0, 0, 0, 0, 0, '\x03'};
    return member + optional + deflate + littleEndian32(0) + littleEndian32(isize);
}

inline std::string gzipOf(const std::string& data) {
    return gzipMember(rawDeflate(data), static_cast<uint32_t>(data.size()));
}

// A member of about `blocks` KiB that inflates to `blocks` MiB of zeros.
inline std::string zeroBomb(int blocks, uint32_t isize) {
    const std::string block = rawDeflate(std::string(1 << 20, '\0'), Z_FULL_FLUSH);
    std::string deflate;
    deflate.reserve(block.size() * blocks + 8);
    for (int i = 0; i < blocks; ++i) deflate += block;
    deflate += rawDeflate({});
    return gzipMember(deflate, isize);
}
