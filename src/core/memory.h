#pragma once
// Allocation that gives up undo history until it succeeds.
#include <cstddef>
#include <cstdint>

namespace vlm::core {

// The retry loop behind every allocator below: try, and while it fails and undo history remains,
// give up at least the block's size in KB (at least 1 KB) of history and try again. It stops when a reduction frees
// nothing (a level holding only a mask copy is never given up), so it always ends.
void* allocate_giving_up_undo(std::size_t bytes, void* (*try_allocate)(std::size_t));

// Blocks of count bytes / count 16-bit values; null when nothing more can be given up.
// Free them with free_block.
std::uint8_t* x_NewCharUndoReduce(std::size_t count);
std::uint16_t* x_NewShortUndoReduce(std::size_t count);
// The C allocator behind VLM_Alloc; release with std::free.
void* alloc_for_host(std::size_t bytes);

// Releases a block from the allocators above (and any plane from new[]) and nulls the pointer.
template <class T> void free_block(T*& p) {
    delete[] p;
    p = nullptr;
}

} // namespace vlm::core
