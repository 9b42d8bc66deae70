#pragma once
// The NewRGBA holder: the one engine-held RGBA32 picture (packed rows) that file reading, the clipboard,
// capture and scanning fill and the host reads or places.
#include <cstdint>

namespace vlm::core {

// Replaces the holder with an uninitialised picture of width x height; returns its pixels, or null (and
// an empty holder) when the size is not positive or memory cannot be had. An exception records
// "CreateNewRGBA Excpt".
std::uint8_t* create_new_rgba(int width, int height);
void delete_new_rgba();

// Copies of the whole picture into packed host rows; nothing without a picture.
void get_new_rgba32(void* buffer);
void get_new_rgba24(void* buffer);
// 1 when any alpha byte is not 255; 0 when all are, or without a picture.
int is_new_rgba32_transparent();

} // namespace vlm::core
