#pragma once

#include <cstdint>
#include <vector>

// The generated icons: a disc filling 14/16 of a square icon (radius 14 in a 32 x 32 one), full
// colour in the middle fading to 70 % at the rim. Drawn at each size asked for, never scaled.
struct DiscIconPixel {
    bool opaque = false;
    uint32_t color = 0;  // 0x00BBGGRR; black where not opaque
};

DiscIconPixel discIconPixel(int x, int y, int size, uint32_t color);

// The same disc with a soft rim, for the program's icon resource: each pixel 0xAABBGGRR with straight
// alpha, rows from the top.
std::vector<uint32_t> discIconImage(int size, uint32_t color);
