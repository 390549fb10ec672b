#pragma once

#include <zlib.h>

#include <cstddef>
#include <iterator>
#include <string>
#include <string_view>

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
    class Iterator {
    public:
        using iterator_category = std::input_iterator_tag;
        using value_type = char;
        using difference_type = std::ptrdiff_t;
        using pointer = const char*;
        using reference = const char&;

        Iterator() = default;
        explicit Iterator(GzipMemberReader* reader) : reader_(reader) {}
        reference operator*() const { return *reader_->next_; }
        Iterator& operator++() {
            ++reader_->next_;
            return *this;
        }
        Iterator operator++(int) {
            Iterator before = *this;
            ++*this;
            return before;
        }
        bool operator==(const Iterator& other) const { return atEnd() == other.atEnd(); }
        bool operator!=(const Iterator& other) const { return !(*this == other); }

    private:
        bool atEnd() const { return !reader_ || !reader_->available(); }
        GzipMemberReader* reader_ = nullptr;
    };
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
    enum class State { Reading, Complete, Failed };

    bool available() { return next_ != end_ || refill(); }
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
