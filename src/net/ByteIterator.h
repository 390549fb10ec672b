#pragma once

#include <cstddef>
#include <iterator>

// An input iterator over the bytes a `Source` hands out one at a time, for parsers that read an iterator pair
// [begin, end). The source gives `const char& current()`, `void advance()` and `bool exhausted()`; a
// default-constructed iterator is the end, and any iterator at an exhausted source equals it.
template <class Source>
class ByteIterator {
public:
    using iterator_category = std::input_iterator_tag;
    using value_type = char;
    using difference_type = std::ptrdiff_t;
    using pointer = const char*;
    using reference = const char&;

    ByteIterator() = default;
    explicit ByteIterator(Source* source) : source_(source) {}
    reference operator*() const { return source_->current(); }
    ByteIterator& operator++() {
        source_->advance();
        return *this;
    }
    ByteIterator operator++(int) {
        ByteIterator before = *this;
        ++*this;
        return before;
    }
    bool operator==(const ByteIterator& other) const { return atEnd() == other.atEnd(); }
    bool operator!=(const ByteIterator& other) const { return !(*this == other); }

private:
    bool atEnd() const { return !source_ || source_->exhausted(); }
    Source* source_ = nullptr;
};
