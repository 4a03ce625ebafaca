// Writes 8-bit RGB images as PNG files through libpng.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sandbox {

struct Image {
    int32_t width = 0, height = 0;
    std::vector<uint8_t> rgb;  // width * height * 3, rows from the top

    Image(int32_t w, int32_t h, uint8_t r, uint8_t g, uint8_t b);
    void set(int32_t x, int32_t y, uint8_t r, uint8_t g, uint8_t b);
};

// False when the file cannot be written.
bool WritePng(const Image &image, const std::string &path);

}  // namespace sandbox
