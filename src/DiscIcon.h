#pragma once

#include <cstdint>
#include <vector>

// The generated icons: a disc of radius 14 centred on (16, 16) in a 32 x 32 icon, full colour in the
// middle fading to 70 % at the rim.
constexpr int kDiscIconSize = 32;

struct DiscIconPixel {
    bool opaque = false;
    uint32_t color = 0;  // 0x00BBGGRR; black where not opaque
};

DiscIconPixel discIconPixel(int x, int y, uint32_t color);

// The same disc drawn at `size` x `size` pixels with a soft rim, for the program's icon resource: each
// pixel 0xAABBGGRR with straight alpha, rows from the top.
std::vector<uint32_t> discIconImage(int size, uint32_t color);
