#include "KeyboardNavigation.h"

#include <cwctype>

namespace {

wchar_t accessKeyOf(const std::wstring& text) {
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != L'&') continue;
        if (text[i + 1] != L'&') return text[i + 1];
        ++i;
    }
    return 0;
}

}  // namespace

int StepSelection(const std::vector<bool>& selectable, int from, int step) {
    const int count = static_cast<int>(selectable.size());
    const int direction = step < 0 ? -1 : 1;
    int index = from < 0 || from >= count ? (direction > 0 ? -1 : count) : from;
    for (int tried = 0; tried < count; ++tried) {
        index = (index + direction + count) % count;
        if (selectable[static_cast<size_t>(index)]) return index;
    }
    return -1;
}

std::wstring WithoutAccessMarks(const std::wstring& text) {
    std::wstring shown;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'&' && i + 1 < text.size()) ++i;
        shown += text[i];
    }
    return shown;
}

int AccessKeyIndex(const std::vector<std::wstring>& texts, const std::vector<bool>& selectable, wchar_t key) {
    const auto folded = std::towupper(static_cast<wint_t>(key));
    for (size_t i = 0; i < texts.size() && i < selectable.size(); ++i) {
        const wchar_t own = accessKeyOf(texts[i]);
        if (selectable[i] && own != 0 && std::towupper(static_cast<wint_t>(own)) == folded) return static_cast<int>(i);
    }
    return -1;
}
