#pragma once

#include <cstdlib>
#include <string>

// Port of a local fixture server started around the test binary by tests/fixtures/with_fixtures.py
// (BRISQUEL_<NAME>_PORT), or 0 when it was not started.
inline int fixturePort(const char* name) {
    const char* value = std::getenv((std::string("BRISQUEL_") + name + "_PORT").c_str());
    return value ? std::atoi(value) : 0;
}

inline std::string fixtureOrigin(const char* name) {
    return "http://127.0.0.1:" + std::to_string(fixturePort(name));
}
