// Writes the program's icon: the window's disc at the sizes the shell shows, drawn by the program's own code.
//   make_icon OUTPUT.ico
// Run on the build machine; the resource script includes its output.
#include <cstdio>
#include <fstream>

#include "DiscIcon.h"
#include "IconFile.h"
#include "ui/Theme.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_icon OUTPUT.ico\n");
        return 1;
    }
    std::vector<IconImage> images;
    for (int size : {16, 24, 32, 48, 256}) images.push_back({size, discIconImage(size, ColorAppIcon)});
    const std::string bytes = IconFileBytes(images);
    std::ofstream out(argv[1], std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (bytes.empty() || !out) {
        std::fprintf(stderr, "make_icon: could not write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
