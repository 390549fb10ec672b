#pragma once

#include <string>

// `open` 100000 times, `inner`, then `close` as often: nesting far deeper than a recursive reader survives.
inline std::string deeplyNested(const std::string& open, const std::string& inner, const std::string& close) {
    std::string text;
    for (int i = 0; i < 100000; ++i) text += open;
    text += inner;
    for (int i = 0; i < 100000; ++i) text += close;
    return text;
}
