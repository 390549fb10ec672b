#pragma once

#include <string>
#include <vector>

// One entry of a dark popup menu, copied by value into the menu (children included).
struct MenuItem {
    unsigned id = 0;    // its low 16 bits are posted in WM_COMMAND; 0 posts nothing
    std::wstring text;  // an ampersand marks the next character as the access key, a double ampersand shows one
    bool separator = false;
    bool enabled = true;
    bool checked = false;
    bool hasSubmenu = false;
    std::vector<MenuItem> children;
};
