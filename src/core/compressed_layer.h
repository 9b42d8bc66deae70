#pragma once
// Whole-layer compression for the host's documents: a slot's RGBA32 form (high bytes, packed canvas rows)
// through the imaging kit's deflate, and back.
namespace vlm::core {

// The most bytes get_layer_compressed can write for the present canvas.
int compressed_layer_bound();
// Compresses a canvas-sized slot into out, which holds capacity bytes, at level 0..12 (any other: 6).
// Returns the compressed size; 0 for an empty slot, a null or too small output, or a failed allocation.
int get_layer_compressed(void* out, int capacity, int slot, int level);
// Inflates size bytes into the slot's own width x height and loads them unweighted. A damaged stream, or
// one that does not hold exactly the layer's pixels, leaves the layer as it was.
void load_layer_compressed(const void* in, int size, int slot);

} // namespace vlm::core
