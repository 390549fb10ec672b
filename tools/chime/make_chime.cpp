// Writes the alerts' chime, made by the program's own code, as a .wav file for the exe's resources.
//   make_chime FILE
// Run on the build machine.
#include <cstdio>
#include <fstream>

#include "Chime.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_chime FILE\n");
        return 1;
    }
    const std::vector<uint8_t> bytes = ChimeWaveFile();
    std::ofstream out(argv[1], std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "make_chime: could not write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
