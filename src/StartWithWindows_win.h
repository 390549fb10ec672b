#pragma once

// "Start with Windows": the value named after the product under HKEY_CURRENT_USER's Run key, holding the quoted
// path of the running exe. Nothing else is written.
bool StartsWithWindows();
// Writes the value (on) or removes it (off); false when the registry refused.
bool SetStartWithWindows(bool on);
