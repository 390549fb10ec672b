#pragma once

#include <string>

// The running executable's full path, however long: MAX_PATH is not a limit here. Empty when it cannot be found.
std::wstring ExecutablePath();
