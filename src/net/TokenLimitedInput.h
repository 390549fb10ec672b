#pragma once

#include <cstddef>

#include "net/ByteIterator.h"

// The longest string and number token a JSON reader lets through.
struct TokenLimits {
    std::size_t number;  // characters of one number
    std::size_t string;  // bytes between a string's quotes, as sent (escapes count as sent)
};

// Follows JSON text a byte at a time and tells when a string or number token has grown past its limit. Only token
// boundaries are followed; whether the text is valid JSON is the parser's business.
class JsonTokenMeter {
public:
    explicit JsonTokenMeter(TokenLimits limits) : limits_(limits) {}
    // Takes the next byte; false once some token is over its limit, and from then on.
    bool accept(char byte);
    bool overLimit() const { return over_; }

private:
    TokenLimits limits_;
    std::size_t run_ = 0;  // bytes of the current string, or of the current run of number characters
    bool inString_ = false;
    bool escaped_ = false;
    bool over_ = false;
};

// An input range over [first, last) that ends, as if the text ended there, just past the first byte of a token over
// its limit: a parser reading it stops after a few bytes of such a token instead of paying for all of it. For
// parsers that read an iterator pair; the range must outlive its iterators.
template <class Inner>
class TokenLimitedInput {
public:
    TokenLimitedInput(Inner first, Inner last, TokenLimits limits) : next_(first), end_(last), meter_(limits) {}
    TokenLimitedInput(const TokenLimitedInput&) = delete;
    TokenLimitedInput& operator=(const TokenLimitedInput&) = delete;

    using Iterator = ByteIterator<TokenLimitedInput>;
    Iterator begin() { return Iterator(this); }
    Iterator end() { return Iterator(); }

    // Whether the text was cut short at a token over its limit.
    bool overLimit() const { return meter_.overLimit(); }

private:
    friend Iterator;

    const char& current() const { return *next_; }
    void advance() {
        meter_.accept(*next_);
        ++next_;
    }
    bool exhausted() { return meter_.overLimit() || !(next_ != end_); }

    Inner next_;
    Inner end_;
    JsonTokenMeter meter_;
};
