#include "net/GzipMember.h"

#include <zlib.h>

#include <algorithm>
#include <cstdint>

namespace {

constexpr std::size_t kHeaderBytes = 10;
constexpr std::size_t kTrailerBytes = 8;
constexpr std::size_t kSmallestMember = 18;
constexpr std::size_t kStreamChunkBytes = 65536;

constexpr unsigned char FHCRC = 0x02;
constexpr unsigned char FEXTRA = 0x04;
constexpr unsigned char FNAME = 0x08;
constexpr unsigned char FCOMMENT = 0x10;
constexpr unsigned char kReservedFlags = 0xE0;

uint32_t readLe(std::string_view bytes, std::size_t at, int count) {
    uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

// Offset of the deflate data, or 0 when the header is malformed or leaves no compressed byte.
std::size_t deflateOffset(std::string_view member) {
    const std::size_t length = member.size();
    if (length < kSmallestMember) return 0;
    if (static_cast<unsigned char>(member[0]) != 0x1F || static_cast<unsigned char>(member[1]) != 0x8B ||
        member[2] != 0x08)
        return 0;
    const auto flags = static_cast<unsigned char>(member[3]);
    if (flags & kReservedFlags) return 0;

    std::size_t pos = kHeaderBytes;
    if (flags & FEXTRA) {
        pos = 12 + readLe(member, 10, 2);
        if (pos > length) return 0;
    }
    for (unsigned char field : {FNAME, FCOMMENT}) {
        if (!(flags & field)) continue;
        if (pos >= length) return 0;
        const std::size_t end = member.find('\0', pos);
        if (end == std::string_view::npos) return 0;
        pos = end + 1;
    }
    if (flags & FHCRC) {
        pos += 2;
        if (pos > length) return 0;
    }
    if (pos + kTrailerBytes > length || pos >= length - kTrailerBytes) return 0;
    return pos;
}

// std::string::reserve may round up to twice the old capacity, past the cap; a fresh string gets
// exactly what it asks for.
void growTo(std::string& out, std::size_t capacity) {
    std::string grown;
    grown.reserve(capacity);
    grown.append(out);
    out.swap(grown);
}

// Owns one raw-deflate inflate stream over the compressed bytes.
class RawInflater {
public:
    explicit RawInflater(std::string_view deflate) : input_(deflate) {
        ok_ = inflateInit2(&stream_, -MAX_WBITS) == Z_OK;
        rewind();
    }
    ~RawInflater() {
        if (ok_) inflateEnd(&stream_);
    }
    RawInflater(const RawInflater&) = delete;
    RawInflater& operator=(const RawInflater&) = delete;

    bool ok() const { return ok_; }

    // Inflates everything into `out`, pre-sized to `size`; true only when the stream ends inside it.
    bool inflateOneShot(std::string& out, std::size_t size) {
        out.resize(size);
        stream_.next_out = reinterpret_cast<Bytef*>(out.data());
        stream_.avail_out = static_cast<uInt>(size);
        if (inflate(&stream_, Z_FINISH) != Z_STREAM_END) {
            std::string().swap(out);
            inflateReset(&stream_);
            rewind();
            return false;
        }
        out.resize(stream_.total_out);
        return true;
    }

    // Inflates chunk by chunk, growing `out` without ever reserving past the cap.
    bool inflateStreaming(std::string& out, std::size_t cap) {
        for (;;) {
            const std::size_t produced = out.size();
            // At the cap the stream gets no more room: only an end code may still follow.
            const std::size_t room = std::min(kStreamChunkBytes, cap - produced);
            if (out.capacity() < produced + room)
                growTo(out, std::min(std::max(out.capacity() * 2, produced + room), cap));
            out.resize(produced + room);
            stream_.next_out = reinterpret_cast<Bytef*>(out.data() + produced);
            stream_.avail_out = static_cast<uInt>(room);
            const int result = inflate(&stream_, Z_SYNC_FLUSH);
            const std::size_t made = room - stream_.avail_out;
            out.resize(produced + made);
            if (result == Z_STREAM_END) return true;
            if (result != Z_OK || room == 0) return false;
            if (made == 0 && stream_.avail_in == 0) return false;
        }
    }

private:
    void rewind() {
        stream_.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(input_.data()));
        stream_.avail_in = static_cast<uInt>(input_.size());
    }

    std::string_view input_;
    z_stream stream_{};
    bool ok_ = false;
};

}  // namespace

bool inflateGzipMember(std::string_view member, std::string& out, std::size_t cap) {
    out.clear();
    const std::size_t offset = deflateOffset(member);
    if (offset == 0) return false;

    RawInflater inflater(member.substr(offset, member.size() - kTrailerBytes - offset));
    if (!inflater.ok()) return false;

    const uint32_t isize = readLe(member, member.size() - 4, 4);
    if (isize >= 1 && isize < cap && inflater.inflateOneShot(out, isize)) return true;
    if (inflater.inflateStreaming(out, cap)) return true;
    out.clear();
    return false;
}
