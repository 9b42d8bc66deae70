#pragma once
// The view renderer: composites the visible layers, the stroke in progress, the trace layer, a
// transparency checkerboard and the mask tint into the host's 24-bit (B, G, R) buffer.
namespace vlm::compose {

// Renders canvas region (x, y, w, h) at the engine's view scale into dst (rows stride bytes apart; the
// stride may be negative). Reads the engine state only.
void render(unsigned char* dst, int stride, int x, int y, int w, int h);

// Composites pixel by pixel with the plain per-pixel loop instead of the span loops (the same bytes);
// for tests that pin the two against each other.
void set_reference_compositing(bool on);

} // namespace vlm::compose
