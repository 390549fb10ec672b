#pragma once

#include <cstdint>
#include <string>

// A number that names one settings file however its path is spelled: the same for paths that differ only
// in the case of ASCII letters or in / against \, different (but for a 64-bit hash's chance) for any two
// other paths. One overlay runs per key.
uint64_t SettingsFileKey(const std::wstring& path);
