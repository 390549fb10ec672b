#include <gtest/gtest.h>
#include <zlib.h>

#include "DiscIcon.h"
#include "IconFile.h"

// The unsigned number of `count` bytes at `at`: the icon's own fields are little-endian, the PNG's big-endian.
static uint32_t number(const std::string& bytes, std::size_t at, int count, bool bigEndian = false) {
    uint32_t value = 0;
    for (int i = 0; i < count; ++i)
        value = value << 8 | static_cast<uint8_t>(bytes.at(at + (bigEndian ? i : count - 1 - i)));
    return value;
}

// What the shell reads from the exe's icon: the directory, a bitmap's rows bottom-up as B, G, R, A with a mask
// that is set where the pixel is transparent, and the 256-pixel image as a PNG of the same pixels.
TEST(IconFile, StoresEachImageWhereItsEntrySays) {
    IconImage small{16, std::vector<uint32_t>(256, 0)};
    small.pixels[15 * 16] = 0xFF332211;  // bottom-left: opaque
    IconImage large{256, discIconImage(256, 0x00FF9764)};
    const std::string file = IconFileBytes({small, large});
    ASSERT_FALSE(file.empty());
    EXPECT_EQ(number(file, 0, 2), 0u);
    EXPECT_EQ(number(file, 2, 2), 1u);
    EXPECT_EQ(number(file, 4, 2), 2u);
    const std::size_t smallAt = number(file, 6 + 12, 4), largeAt = number(file, 22 + 12, 4);
    EXPECT_EQ(number(file, 6, 1), 16u);
    EXPECT_EQ(number(file, 22, 1), 0u);  // 256
    EXPECT_EQ(smallAt, 6u + 2 * 16);
    EXPECT_EQ(largeAt, smallAt + number(file, 6 + 8, 4));
    EXPECT_EQ(file.size(), largeAt + number(file, 22 + 8, 4));

    EXPECT_EQ(number(file, smallAt, 4), 40u);
    EXPECT_EQ(number(file, smallAt + 8, 4), 32u);  // colour and mask
    const std::size_t firstRow = smallAt + 40;
    EXPECT_EQ(file.substr(firstRow, 4), std::string("\x33\x22\x11\xFF", 4));
    const std::size_t mask = firstRow + 16 * 16 * 4;
    // Rows of 16 bits padded to 32: only the bottom-left pixel is opaque.
    EXPECT_EQ(number(file, mask, 4), 0xFF7Fu);

    ASSERT_EQ(file.substr(largeAt, 8), std::string("\x89PNG\r\n\x1a\n", 8));
    EXPECT_EQ(file.substr(largeAt + 12, 4), "IHDR");
    EXPECT_EQ(number(file, largeAt + 16, 4, true), 256u);
    EXPECT_EQ(file.substr(largeAt + 33 + 4, 4), "IDAT");
    const uint32_t packed = number(file, largeAt + 33, 4, true);
    std::string raw(256 * (1 + 256 * 4), '\0');
    uLongf rawSize = raw.size();
    ASSERT_EQ(uncompress(reinterpret_cast<Bytef*>(raw.data()), &rawSize,
                         reinterpret_cast<const Bytef*>(file.data() + largeAt + 41), packed),
              Z_OK);
    ASSERT_EQ(rawSize, raw.size());
    const std::size_t centre = 128 * (1 + 256 * 4) + 1 + 128 * 4;
    const uint32_t pixel = large.pixels[128 * 256 + 128];
    EXPECT_EQ(raw.substr(centre, 4), std::string({static_cast<char>(pixel & 0xFF), static_cast<char>(pixel >> 8),
                                                  static_cast<char>(pixel >> 16), static_cast<char>(pixel >> 24)}));
    EXPECT_EQ(pixel >> 24, 0xFFu) << "an opaque pixel, so that its four bytes are all checked";
}

TEST(IconFile, RefusesImagesItCannotStore) {
    const std::vector<IconImage> refused[] = {{{0, {}}},
                                              {{257, std::vector<uint32_t>(257 * 257)}},
                                              {{16, std::vector<uint32_t>(255)}},
                                              {{16, std::vector<uint32_t>(256)}, {-1, {}}}};
    for (const auto& images : refused) EXPECT_EQ(IconFileBytes(images), "");
}
