#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One image of an icon: size x size pixels, each 0xAABBGGRR with straight alpha, rows from the top.
struct IconImage {
    int size = 0;
    std::vector<uint32_t> pixels;
};

// The bytes of a .ico file holding the images in the order given: 32-bit bitmaps with their mask, except a
// 256-pixel image, which is stored as PNG as the shell expects at that size. Empty when an image's size is
// outside 1 to 256 or its pixels do not fill it.
std::string IconFileBytes(const std::vector<IconImage>& images);
