#pragma once
// The undo store: rectangles of the current layer and the mask as they were before each change.
// A back buffer holds the current layer (and a copy of the mask) as of the last save; a save moves the
// dirty rectangle's old content from the back buffer into a new level; undo and redo swap a level's
// rectangle with the layer, so one copy serves both directions.
namespace vlm::undo {

// Copies the slot's whole plane into the back buffer and the mask into the back mask copy.
void save_back_buffer(int slot);
// Stores a level from the dirty rectangle (colour and/or mask) and refreshes the back buffer.
void save_undo_buffer(bool colour, bool mask);
void undo();
void redo();
// Empties the history, resumes, and refreshes the back buffer from the current layer.
void clear_undo();
// Frees every level and resets the records, as canvas teardown does.
void release_all_levels();
// Frees the redo levels and moves the rest forward.
void remove_abandoned_undo();
// Gives up old levels with a colour copy until at least kb KB are freed; returns the KB freed.
int reduce_undo(int kb);
// Recomputes the budget from free memory while the automatic flag is set.
void update_automatic_budget();

int set_undo_levels(int count);
int set_undo_mb(int megabytes);
int total_undo_memory_mb();
int current_undo_memory_mb();
int undo_count();
void invalidate_dirty_canvas();

bool can_undo();
bool can_redo();

// Swaps the colour copy of the level the next undo would apply with the layer, without moving the
// redo count: the host shows a change faded in or out by calling it twice.
void start_fade();

} // namespace vlm::undo
