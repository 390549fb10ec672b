// Draws the program's icon images: the window's disc at the sizes the shell shows, by the program's own code.
//   make_icon DIRECTORY
// writes DIRECTORY/disc-N.rgba for each size N, raw 8-bit RGBA rows from the top, which the build turns into
// PNG files and an .ico with ImageMagick and icotool. Run on the build machine.
#include <cstdio>
#include <fstream>
#include <string>

#include "DiscIcon.h"
#include "ui/Theme.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_icon DIRECTORY\n");
        return 1;
    }
    for (int size : {16, 24, 32, 48, 256}) {
        const std::string path = std::string(argv[1]) + "/disc-" + std::to_string(size) + ".rgba";
        std::ofstream out(path, std::ios::binary);
        // Each pixel is 0xAABBGGRR: R, G, B, A in memory on every machine that builds this.
        for (uint32_t pixel : discIconImage(size, ColorAppIcon)) {
            const char bytes[4] = {static_cast<char>(pixel), static_cast<char>(pixel >> 8),
                                   static_cast<char>(pixel >> 16), static_cast<char>(pixel >> 24)};
            out.write(bytes, sizeof bytes);
        }
        out.close();
        if (!out) {
            std::fprintf(stderr, "make_icon: could not write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
