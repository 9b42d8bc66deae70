#include "core/memory.h"

#include <algorithm>
#include <cstdlib>
#include <new>

#include "core/hooks.h"
#include "core/last_error.h"

namespace vlm::core {

void* allocate_giving_up_undo(std::size_t bytes, void* (*try_allocate)(std::size_t)) {
    for (;;) {
        if (void* p = try_allocate(bytes)) return p;
        Hooks& h = hooks();
        if (!h.undo_can_give_up || !h.reduce_undo || !h.undo_can_give_up()) return nullptr;
        // At least 1 KB: asking for 0 KB would make the undo store stop before giving anything up.
        const std::size_t kb = std::max<std::size_t>(bytes / 1024, 1);
        const int wanted = kb > 0x7fffffff ? 0x7fffffff : static_cast<int>(kb);
        if (h.reduce_undo(wanted) <= 0) return nullptr;
    }
}

namespace {

// Blocks are created with new[] so that free_block can release them; a thrown allocation failure
// counts as a null result.
template <class T> void* try_new_array(std::size_t bytes) {
    try {
        return new T[bytes / sizeof(T)];
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

} // namespace

std::uint8_t* x_NewCharUndoReduce(std::size_t count) {
    try {
        return static_cast<std::uint8_t*>(allocate_giving_up_undo(count, &try_new_array<std::uint8_t>));
    } catch (...) {
        record_exception("x_NewCharUndoReduce");
        return nullptr;
    }
}

std::uint16_t* x_NewShortUndoReduce(std::size_t count) {
    if (count > SIZE_MAX / 2) return nullptr;
    try {
        return static_cast<std::uint16_t*>(allocate_giving_up_undo(count * 2, &try_new_array<std::uint16_t>));
    } catch (...) {
        record_exception("x_NewShortUndoReduce");
        return nullptr;
    }
}

void* alloc_for_host(std::size_t bytes) {
    return allocate_giving_up_undo(bytes, [](std::size_t n) { return std::malloc(n == 0 ? 1 : n); });
}

} // namespace vlm::core
