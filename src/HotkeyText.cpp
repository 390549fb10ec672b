#include "HotkeyText.h"

#include <cstdio>
#include <map>

namespace {

const std::map<int32_t, const wchar_t*>& fixedNames() {
    static const std::map<int32_t, const wchar_t*> names = {
        {0x08, L"Backspace"}, {0x09, L"Tab"},    {0x0D, L"Enter"},    {0x13, L"Pause"},       {0x14, L"Caps Lock"},
        {0x1B, L"Esc"},       {0x20, L"Space"},  {0x21, L"Page Up"},  {0x22, L"Page Down"},   {0x23, L"End"},
        {0x24, L"Home"},      {0x25, L"Left"},   {0x26, L"Up"},       {0x27, L"Right"},       {0x28, L"Down"},
        {0x2D, L"Insert"},    {0x2E, L"Delete"}, {0x60, L"Num 0"},    {0x61, L"Num 1"},       {0x62, L"Num 2"},
        {0x63, L"Num 3"},     {0x64, L"Num 4"},  {0x65, L"Num 5"},    {0x66, L"Num 6"},       {0x67, L"Num 7"},
        {0x68, L"Num 8"},     {0x69, L"Num 9"},  {0x6A, L"Num *"},    {0x6B, L"Num +"},       {0x6D, L"Num -"},
        {0x6E, L"Num ."},     {0x6F, L"Num /"},  {0x90, L"Num Lock"}, {0x91, L"Scroll Lock"}, {0xBA, L";"},
        {0xBB, L"="},         {0xBC, L","},      {0xBD, L"-"},        {0xBE, L"."},           {0xBF, L"/"},
        {0xC0, L"`"},         {0xDB, L"["},      {0xDC, L"\\"},       {0xDD, L"]"},           {0xDE, L"'"},
    };
    return names;
}

}  // namespace

std::wstring VirtualKeyName(int32_t virtualKey, const LayoutKeyName& layoutName) {
    if ((virtualKey >= 'A' && virtualKey <= 'Z') || (virtualKey >= '0' && virtualKey <= '9')) {
        return std::wstring(1, static_cast<wchar_t>(virtualKey));
    }
    if (virtualKey >= 0x70 && virtualKey <= 0x87) return L"F" + std::to_wstring(virtualKey - 0x6F);
    const auto fixed = fixedNames().find(virtualKey);
    if (fixed != fixedNames().end()) return fixed->second;
    if (layoutName) {
        std::wstring name = layoutName(virtualKey);
        if (!name.empty()) return name;
    }
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%02X", static_cast<unsigned>(virtualKey));
    return std::wstring(hex, hex + std::char_traits<char>::length(hex));
}

std::wstring FormatHotkey(uint32_t modifiers, int32_t virtualKey, const LayoutKeyName& layoutName) {
    if (virtualKey == 0) return L"(None)";
    std::wstring text;
    if (modifiers & kModControl) text += L"Ctrl+";
    if (modifiers & kModShift) text += L"Shift+";
    if (modifiers & kModAlt) text += L"Alt+";
    return text + VirtualKeyName(virtualKey, layoutName);
}
