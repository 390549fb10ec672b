#pragma once

#include <string>
#include <vector>

// Which entry the keyboard reaches in a menu or a row of buttons, and what an access key names.

// The selectable index `step` places (+1 or -1) after `from`, wrapping at either end; from -1, the first
// (step > 0) or the last (step < 0). -1 when nothing is selectable.
int StepSelection(const std::vector<bool>& selectable, int from, int step);

// The text without its access marks, as it is shown: "E&xit" is "Exit", "A && B" is "A & B".
std::wstring WithoutAccessMarks(const std::wstring& text);

// The first selectable entry whose access key (the character after a single ampersand) is `key`, in either
// case; -1 when none has it.
int AccessKeyIndex(const std::vector<std::wstring>& texts, const std::vector<bool>& selectable, wchar_t key);
