#pragma once

#include <cstdint>
#include <string>

// The keyboard layout's own name of a key ("Print Screen", "<>"), empty when it has none.
std::wstring SystemKeyName(int32_t virtualKey);
