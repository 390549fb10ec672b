#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

// What an answer says of its own version: its ETag and Last-Modified headers, each empty when absent.
struct Validators {
    std::string etag;
    std::string lastModified;
};

// The longest validator kept. Real ones are a quoted hash or an HTTP date, well under this; a longer one, or one with
// a byte outside printable ASCII, is not kept, for it would go back out in a request header.
constexpr std::size_t kLongestValidator = 128;

// Remembers, per request path, the validators and a fingerprint of the body of the last 200 answer, so that the next
// request of that path can ask whether anything changed (a 304 answer means no) and a body that came again byte for
// byte need not be decoded again. Belongs to one tracker: clear it when the tracker changes.
class AnswerMemory {
public:
    // Request header lines ("Name: value\r\n") that make the next request of `path` conditional; empty when its last
    // answer gave no validator.
    std::string conditionalHeaders(const std::string& path) const;
    // Takes a 200 answer of `path`; true when its body is byte for byte that of the last one.
    bool takeAnswer(const std::string& path, const Validators& validators, std::string_view body);
    // A failed read: the next request of `path` asks unconditionally and any body counts as new.
    void forget(const std::string& path) { answers_.erase(path); }
    void clear() { answers_.clear(); }

private:
    struct Answer {
        Validators validators;
        std::size_t bodySize = 0;
        std::size_t bodyHash = 0;
    };
    // A tracker answers a handful of paths again and again; the per-boss reads come once each. Past this many paths
    // the memory starts over rather than grow with the boss list.
    static constexpr std::size_t kMostPaths = 16;

    std::map<std::string, Answer> answers_;
};
