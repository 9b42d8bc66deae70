#pragma once
// Calls from the engine core up into higher subsystems. The core must not depend on them, so each
// subsystem fills in its entries from a static initialiser in its own source file; an entry left
// empty means the subsystem does nothing for that step.
namespace vlm::core {

struct Hooks {
    // Undo store.
    bool (*undo_can_give_up)();  // anything left to undo or redo
    int (*reduce_undo)(int kb);  // gives up old levels; returns the KB actually given up
    void (*clear_undo)();        // empties the history and refreshes the back buffer
    void (*release_undo)();      // frees every level and resets the undo records (canvas teardown)
    void (*save_undo_back_buffer)(int slot); // the back buffer becomes a copy of the slot
    // Brush materials.
    void (*set_blend_buffer_count)(int n);
    // Processing buffers.
    void (*free_processing_buffers)(); // frees the four IPL buffers
};

Hooks& hooks();

} // namespace vlm::core
