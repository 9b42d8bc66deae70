#pragma once
// The layer table: creation, deletion and selection of the 272 slots.
namespace vlm::core {

// Slot above 271 or empty: nothing; else frees the pixels (the record's other fields stay).
void delete_layer(int slot);

} // namespace vlm::core
