#include "IconFile.h"

#include <zlib.h>

#include <cstddef>

namespace {

constexpr int kLargest = 256;
constexpr uint32_t kBitmapHeaderBytes = 40;
constexpr std::size_t kDirectoryBytes = 6;
constexpr std::size_t kEntryBytes = 16;

void putLittle(std::string& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

void putBig(std::string& out, uint32_t value) {
    for (int i = 3; i >= 0; --i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

uint8_t channel(uint32_t pixel, int index) {
    return static_cast<uint8_t>((pixel >> (8 * index)) & 0xFF);
}

// A BITMAPINFOHEADER of twice the height (colour, then mask), the colour rows bottom-up as B, G, R, A, then
// the mask: a bit per pixel, set where the pixel is transparent, rows padded to 32 bits.
std::string bitmap(const IconImage& image) {
    const auto size = static_cast<uint32_t>(image.size);
    const uint32_t maskRowBytes = (size + 31) / 32 * 4;
    std::string out;
    putLittle(out, kBitmapHeaderBytes, 4);
    putLittle(out, size, 4);
    putLittle(out, 2 * size, 4);
    putLittle(out, 1, 2);   // planes
    putLittle(out, 32, 2);  // bits per pixel
    putLittle(out, 0, 4);   // uncompressed
    putLittle(out, size * size * 4 + size * maskRowBytes, 4);
    out.append(16, '\0');  // resolution and palette: none
    for (uint32_t y = size; y-- > 0;) {
        for (uint32_t x = 0; x < size; ++x) {
            const uint32_t pixel = image.pixels[y * size + x];
            for (int index : {2, 1, 0, 3}) out += static_cast<char>(channel(pixel, index));
        }
    }
    for (uint32_t y = size; y-- > 0;) {
        std::string row(maskRowBytes, '\0');
        for (uint32_t x = 0; x < size; ++x) {
            if (channel(image.pixels[y * size + x], 3) == 0)
                row[x / 8] = static_cast<char>(row[x / 8] | 0x80 >> (x % 8));
        }
        out += row;
    }
    return out;
}

void putChunk(std::string& out, const char* type, const std::string& data) {
    putBig(out, static_cast<uint32_t>(data.size()));
    const std::string typed = type + data;
    out += typed;
    putBig(out, static_cast<uint32_t>(
                    crc32(0, reinterpret_cast<const Bytef*>(typed.data()), static_cast<uInt>(typed.size()))));
}

// An RGBA PNG of the image, each row unfiltered; empty if compression fails.
std::string png(const IconImage& image) {
    const auto size = static_cast<uint32_t>(image.size);
    std::string raw;
    for (uint32_t y = 0; y < size; ++y) {
        raw += '\0';  // filter: none
        for (uint32_t x = 0; x < size; ++x) {
            for (int index : {0, 1, 2, 3}) raw += static_cast<char>(channel(image.pixels[y * size + x], index));
        }
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::string packed(packedSize, '\0');
    if (compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize, reinterpret_cast<const Bytef*>(raw.data()),
                  static_cast<uLong>(raw.size()), Z_BEST_COMPRESSION) != Z_OK)
        return {};
    packed.resize(packedSize);

    std::string header;
    putBig(header, size);
    putBig(header, size);
    header += std::string("\x08\x06\x00\x00\x00", 5);  // 8 bits per channel, RGBA, deflate, no filter, no interlace
    std::string out("\x89PNG\r\n\x1a\n", 8);
    putChunk(out, "IHDR", header);
    putChunk(out, "IDAT", packed);
    putChunk(out, "IEND", {});
    return out;
}

}  // namespace

std::string IconFileBytes(const std::vector<IconImage>& images) {
    std::vector<std::string> stored;
    for (const IconImage& image : images) {
        if (image.size < 1 || image.size > kLargest ||
            image.pixels.size() != static_cast<std::size_t>(image.size) * static_cast<std::size_t>(image.size))
            return {};
        stored.push_back(image.size == kLargest ? png(image) : bitmap(image));
        if (stored.back().empty()) return {};
    }
    std::string out;
    putLittle(out, 0, 2);  // reserved
    putLittle(out, 1, 2);  // an icon, not a cursor
    putLittle(out, static_cast<uint32_t>(images.size()), 2);
    auto offset = static_cast<uint32_t>(kDirectoryBytes + kEntryBytes * images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        const auto side = static_cast<uint32_t>(images[i].size % kLargest);  // 256 is written as 0
        putLittle(out, side, 1);
        putLittle(out, side, 1);
        putLittle(out, 0, 2);   // no palette, reserved
        putLittle(out, 1, 2);   // planes
        putLittle(out, 32, 2);  // bits per pixel
        putLittle(out, static_cast<uint32_t>(stored[i].size()), 4);
        putLittle(out, offset, 4);
        offset += static_cast<uint32_t>(stored[i].size());
    }
    for (const std::string& data : stored) out += data;
    return out;
}
