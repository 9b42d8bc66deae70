/* velmora: undo and redo. Include velmora/velmora.h. */
#ifndef VELMORA_VLM_UNDO_H
#define VELMORA_VLM_UNDO_H

VLM_EXTERN_C_BEGIN

/** Stores an undo level of the dirty rectangle (whole canvas when empty) for the colour and/or the mask. */
VLM_API void VLM_SaveUndoBuffer(int save_colour, int save_mask);
/** Copies the slot's plane and the mask into the undo back buffer (unless paused). */
VLM_API void VLM_SaveUndoBackBuffer(int slot);
/** Undoes the next level, selecting its layer first. */
VLM_API void VLM_Undo(void);
/** Redoes the last undone level. */
VLM_API void VLM_Redo(void);
/** 1 when a level can be undone. */
VLM_API int VLM_CanUndo(void);
/** 1 when a level can be redone. */
VLM_API int VLM_CanRedo(void);
/** The number of levels that can be redone. */
VLM_API int VLM_GetRedoCount(void);
/** The number of levels holding a copy (undo and redo levels together). */
VLM_API int VLM_GetUndoCount(void);
/** Empties the history, resumes saving and refreshes the back buffer. */
VLM_API void VLM_ClearUndo(void);
/** Empties the history and sets the number of levels (0..500); returns the stored number. */
VLM_API int VLM_SetUndoLevels(int count);
/** Sets the history budget in MB, or 0 for a budget that follows free memory; returns the budget in KB. */
VLM_API int VLM_SetUndoMB(int megabytes);
/** The history budget in MB. */
VLM_API int VLM_GetTotalUndoMemory(void);
/** The history's estimated memory in use in MB. */
VLM_API int VLM_GetCurrentUndoMemory(void);
/** Stops saving, undoing, redoing and back-buffer refreshes until VLM_ResumeUndo or VLM_ClearUndo. */
VLM_API void VLM_PauseUndo(void);
/** Ends a pause. */
VLM_API void VLM_ResumeUndo(void);
/** Marks the whole canvas as changed since the last save. */
VLM_API void VLM_InvalidateDirtyUndoCanvas(void);
/** Gives up the oldest levels until at least kb KB are freed (redo levels first). */
VLM_API void VLM_ReduceUndo(int kb);

VLM_EXTERN_C_END

#endif
