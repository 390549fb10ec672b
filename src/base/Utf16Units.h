#pragma once

#include <cstddef>
#include <string>

// How long UTF-8 text is where Windows measures it: the shell's text fields hold a fixed number of UTF-16 units.
std::size_t utf16Units(const std::string& utf8);

// The longest start of `utf8` that takes at most `units` UTF-16 units, never ending inside a character.
std::string cutToUtf16Units(const std::string& utf8, std::size_t units);
