#pragma once

#include <cstdint>
#include <string>

// A number that names one settings file however its separators are spelled: the same for paths that differ
// only in / against \, different (but for a 64-bit hash's chance) for any two other paths. Case is the
// caller's to fold, with the system's rules. One overlay runs per key.
uint64_t SettingsFileKey(const std::wstring& path);
