#pragma once

#include <cstdint>
#include <functional>
#include <string>

// How a hotkey reads on its button and in the help: "Ctrl+Shift+Alt+F12", "Ctrl+Num +", "(None)".

// Modifier bits as the platform's hotkey registration takes them.
constexpr uint32_t kModAlt = 1;
constexpr uint32_t kModControl = 2;
constexpr uint32_t kModShift = 4;

// The name of a key that is not in the fixed table, from the keyboard layout; empty when it has none.
using LayoutKeyName = std::function<std::wstring(int32_t virtualKey)>;

// Letters, digits, F1 to F24 and a fixed table of names; for other keys the layout's name, else "0x%02X".
std::wstring VirtualKeyName(int32_t virtualKey, const LayoutKeyName& layoutName);
// "Ctrl+", "Shift+", "Alt+" in that order, then the key's name; "(None)" for key 0. Other bits are not shown.
std::wstring FormatHotkey(uint32_t modifiers, int32_t virtualKey, const LayoutKeyName& layoutName);
