#pragma once

#include <string>

// The one pair of UTF-8 <-> UTF-16 conversions used at the platform boundary.
// Invalid input converts with replacement characters rather than failing.
std::wstring Utf8ToWide(const std::string& utf8);
std::string WideToUtf8(const std::wstring& wide);
