#pragma once
// The undo store: rectangles of the current layer and the mask as they were before each change.
namespace vlm::undo {

// Copies the slot's whole plane into the back buffer and the mask into the back mask copy.
void save_back_buffer(int slot);
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

bool can_undo();
bool can_redo();

} // namespace vlm::undo
