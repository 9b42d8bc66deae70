#pragma once
// The rectangle merge: the per-pixel blend merge over a rectangle of a source plane onto a destination
// plane, with the three inputs a single pixel lacks: a strength factor, an optional Layer Mask plane and
// the replace rule for two layers that share an alpha mode. Every layer merge, flattening and RGBA32
// merge runs through it.
//
// The kernel does not clip: callers pass rectangles that lie inside both planes. Planes are addressed in
// channel units (four per pixel), source rows src_pitch apart and destination rows dst_pitch apart.
#include <cstddef>
#include <cstdint>

namespace vlm::compose {

struct RectGeometry {
    int src_x, src_y;      // first source pixel
    int width, height;     // in pixels, above 0
    std::size_t src_pitch; // source (and mask) row, in channels
    int dst_x, dst_y;      // where the first source pixel lands
    std::size_t dst_pitch; // destination row, in channels
};

struct MergeSettings {
    int mode = 0;                              // blend-mode id; ids without a mode merge as id 27
    int mask_mode = 0;                         // 47: the mask plane is a Layer Mask and scales source alpha
    int opacity = 256;                         // 0..256; 255 and above are full
    int strength = 255;                        // 0..255, applied to the source alpha before anything else
    bool alpha_lock = false;                   // destination alpha is never written
    bool replace = false;                      // two layers sharing an alpha mode: see rect_merge.cpp
    std::uint32_t alpha_layer_opacity = 65535; // source alpha of the pixels the alpha modes keep
};

// Merges rows [first_row, last_row) of the rectangle (rows counted from its top) on the calling thread.
// mask may be null; it is read at the source's position and pitch.
void merge_rect_rows(const std::uint16_t* src, const std::uint16_t* mask, std::uint16_t* dst,
                     const RectGeometry& g, const MergeSettings& s, int first_row, int last_row);
// An RGBA32 source, every byte widened x 256 (alpha included); src_pitch counts bytes. No mask.
void merge_rect_rows(const std::uint8_t* src, std::uint16_t* dst, const RectGeometry& g,
                     const MergeSettings& s, int first_row, int last_row);

// The whole rectangle, split over the cores when it is large (the bytes do not depend on the split).
void merge_rect(const std::uint16_t* src, const std::uint16_t* mask, std::uint16_t* dst,
                const RectGeometry& g, const MergeSettings& s);
void merge_rect(const std::uint8_t* src, std::uint16_t* dst, const RectGeometry& g, const MergeSettings& s);

// Whether the batched float work (here and in the view renderer) may run on eight lanes (AVX2) where the
// processor has them; on by default. The bytes are the same either way: tests compare the two.
void set_wide_lanes(bool allowed);
// True when the float work runs on eight lanes now: allowed and the processor has AVX2.
bool use_wide_lanes();

// Rectangles at least this many pixels (times layers, for flattening) are worth a second thread.
inline constexpr long long kParallelMergePixels = 1 << 16;

} // namespace vlm::compose
