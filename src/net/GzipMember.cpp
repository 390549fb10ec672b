#include "net/GzipMember.h"

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <string>

namespace {

constexpr std::size_t kHeaderBytes = 10;
constexpr std::size_t kTrailerBytes = 8;
constexpr std::size_t kSmallestMember = 18;
// Small enough that a parser stopping early leaves little inflated in vain, large enough for zlib's speed.
constexpr std::size_t kChunkBytes = 65536;

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

}  // namespace

GzipMemberReader::GzipMemberReader(std::string_view member, std::size_t cap) : cap_(cap) {
    const std::size_t offset = deflateOffset(member);
    if (offset == 0) return;
    streamOpen_ = inflateInit2(&stream_, -MAX_WBITS) == Z_OK;
    if (!streamOpen_) return;
    stream_.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(member.data() + offset));
    stream_.avail_in = static_cast<uInt>(member.size() - kTrailerBytes - offset);
    state_ = State::Reading;
}

GzipMemberReader::~GzipMemberReader() {
    if (streamOpen_) inflateEnd(&stream_);
}

bool GzipMemberReader::refill() {
    if (chunk_.empty() && state_ == State::Reading) chunk_.resize(kChunkBytes);
    while (state_ == State::Reading) {
        // At the cap the stream gets no more room: only an end code may still follow.
        const std::size_t room = std::min(chunk_.size(), cap_ - produced_);
        stream_.next_out = reinterpret_cast<Bytef*>(chunk_.data());
        stream_.avail_out = static_cast<uInt>(room);
        const int result = inflate(&stream_, Z_NO_FLUSH);
        const std::size_t made = room - stream_.avail_out;
        produced_ += made;
        next_ = chunk_.data();
        end_ = next_ + made;
        // Z_BUF_ERROR: no progress was possible, the input ended early or the cap was reached.
        if (result == Z_STREAM_END)
            state_ = State::Complete;
        else if (result != Z_OK)
            state_ = State::Failed;
        if (made > 0) return true;
    }
    return false;
}
