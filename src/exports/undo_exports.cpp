#include "core/engine_state.h"
#include "exports/guard.h"
#include "undo/undo_store.h"
#include "velmora/velmora.h"

using namespace vlm;
using exports::guarded;
using exports::silent;

void VLM_SaveUndoBuffer(int save_colour, int save_mask) {
    guarded("SaveUndoBuf", [&] {
        undo::save_undo_buffer((save_colour & 0xFF) != 0, (save_mask & 0xFF) != 0);
    });
}
void VLM_SaveUndoBackBuffer(int slot) {
    silent([&] { undo::save_back_buffer(slot); });
}
void VLM_Undo(void) {
    silent([] { undo::undo(); });
}
void VLM_Redo(void) {
    silent([] { undo::redo(); });
}
int VLM_CanUndo(void) { return undo::can_undo() ? 1 : 0; }
int VLM_CanRedo(void) { return undo::can_redo() ? 1 : 0; }
int VLM_GetRedoCount(void) { return g_engine.undo.redo_count; }
int VLM_GetUndoCount(void) { return undo::undo_count(); }
void VLM_ClearUndo(void) {
    guarded("ClearUndo", [] { undo::clear_undo(); });
}
int VLM_SetUndoLevels(int count) {
    return silent(0, [&] { return undo::set_undo_levels(count); });
}
int VLM_SetUndoMB(int megabytes) { return undo::set_undo_mb(megabytes); }
int VLM_GetTotalUndoMemory(void) { return undo::total_undo_memory_mb(); }
int VLM_GetCurrentUndoMemory(void) { return undo::current_undo_memory_mb(); }
void VLM_PauseUndo(void) { g_engine.undo.paused = 1; }
void VLM_ResumeUndo(void) { g_engine.undo.paused = 0; }
void VLM_InvalidateDirtyUndoCanvas(void) { undo::invalidate_dirty_canvas(); }
void VLM_ReduceUndo(int kb) {
    silent([&] { undo::reduce_undo(kb); });
}
