#pragma once

#include <zlib.h>

#include <cstddef>
#include <string>
#include <string_view>

#include "net/ByteIterator.h"

// Largest inflated body accepted. A few MiB of deflate can expand to gigabytes, so a reader stops here even when
// nothing else stops it first.
constexpr std::size_t kInflateCapBytes = 64u << 20;

// Inflates one gzip member (header, raw deflate, CRC-32 and ISIZE trailer) a chunk at a time, only as far as its
// bytes are read: a parser that stops early has paid for what it read, not for the whole body. The CRCs and ISIZE
// are not verified. More than `cap` bytes are never produced; a member that would inflate further fails there.
class GzipMemberReader {
public:
    explicit GzipMemberReader(std::string_view member, std::size_t cap = kInflateCapBytes);
    ~GzipMemberReader();
    GzipMemberReader(const GzipMemberReader&) = delete;
    GzipMemberReader& operator=(const GzipMemberReader&) = delete;

    // An input iterator over the inflated bytes, for a parser that reads an iterator pair [begin(), end()). The
    // bytes end where the member ends or fails.
    using Iterator = ByteIterator<GzipMemberReader>;
    Iterator begin() { return Iterator(this); }
    Iterator end() { return Iterator(); }

    // Once every byte was read: whether the member was whole, its deflate data ending within the cap and before
    // its trailer.
    bool complete() const { return state_ == State::Complete; }
    // Whether the member turned out malformed, cut short or over the cap, as far as it was read.
    bool failed() const { return state_ == State::Failed; }
    // How many bytes were inflated so far: what reading the member has cost.
    std::size_t inflated() const { return produced_; }

private:
    friend Iterator;
    enum class State { Reading, Complete, Failed };

    const char& current() const { return *next_; }
    void advance() { ++next_; }
    bool exhausted() { return next_ == end_ && !refill(); }
    // Inflates the next chunk; false when no byte is left.
    bool refill();

    z_stream stream_{};
    bool streamOpen_ = false;
    std::string chunk_;
    const char* next_ = nullptr;
    const char* end_ = nullptr;
    std::size_t produced_ = 0;
    std::size_t cap_;
    State state_ = State::Failed;
};
