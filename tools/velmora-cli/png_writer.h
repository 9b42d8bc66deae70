#pragma once
// Writes 8-bit RGB or RGBA pictures as PNG files for the reference host.
#include <string>

namespace cli {

// rows of width pixels of `channels` bytes (3: R, G, B; 4: R, G, B, A), stride bytes apart.
bool write_png(const std::string& path, const unsigned char* pixels, int width, int height, int channels,
               int stride);

} // namespace cli
