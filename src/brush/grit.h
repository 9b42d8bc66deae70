#pragma once
// Grit: the 20 dab buffers of seeded cells that break a dab up, built by the tool from the engine's
// random arrays or taken from a picture, and the position the dab reads them at.
//
// A dab buffer holds (M + 25)^2 bytes but is addressed with row stride M (M the maximum brush size):
// byte (row, column) is element row * M + column, so a column of M or more runs on into the next row.
// Unseeded bytes are 255; seeded ones hold a cell value 0..253.
#include <cstddef>
#include <cstdint>

#include "core/random.h"

namespace vlm::brush {

// Bytes of one dab buffer for maximum brush size M.
std::size_t dab_buffer_bytes(int max_brush);

// The random arrays grit reads: cell and pixel tests from `a`, cell values from `b`.
struct GritArrays {
    const std::uint8_t* a;
    std::size_t a_length;
    const std::uint8_t* b;
    std::size_t b_length;
};

struct GritCells {
    int size;            // edge of a cell in pixels
    int cell_threshold;  // a cell is seeded where its test byte is below this
    int pixel_threshold; // a pixel of a seeded cell takes the cell value where its byte is below this
};

// Fills one dab buffer with 255 and seeds random grit cells over the (S + 25)-square, drawing two start
// offsets per row of cells from the generator. Reads past the end of an array continue at its start.
// Returns false, leaving the buffer all 255, when there is nothing to seed: a cell size below 1, missing
// arrays, or a square that does not fit the buffer (S too large for M).
bool build_random_grit(std::uint8_t* buffer, int max_brush, int brush_size, const GritCells& cells,
                       const GritArrays& arrays, core::Generator& generator);

// Builds random grit from the tool's settings into every dab buffer, buffer 0 first, and reloads the
// remaining drawing length; the dab's grit position ends at the start of buffer 19.
void build_tool_grit();

// Replaces the grit of every dab buffer by windows of a picture: an effect script's rendering tiled
// over 600 x 600 pixels, or a picture file, in grey. A source that is neither leaves the grit alone.
void take_grit_from_picture(const char* source);

// Moves the dab's grit position to (row, col) of dab buffer `buffer`.
void set_grit_position(int buffer, int row, int col);

// The byte the dab's grit position points at, or null when no grit has been built or the buffer is
// missing. The dab reads (row, column) of its square at offset row * M + column from here.
const std::uint8_t* current_grit();

} // namespace vlm::brush
