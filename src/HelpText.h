#pragma once

#include <string>

// The help window's text, listing the current hotkeys as their buttons show them.
std::wstring HelpText(const std::wstring& visibility, const std::wstring& clickThrough, const std::wstring& bossMenu);
