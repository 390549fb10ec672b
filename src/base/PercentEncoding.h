#pragma once

#include <string>

// Every byte of `text` outside A-Z a-z 0-9 - _ . ~ as %XX (upper-case hex): what is left cannot end a URL's query
// value or a list of such values, whatever the text held.
std::string percentEncode(const std::string& text);
