/* velmora: undo and redo. Include velmora/velmora.h. */
#ifndef VELMORA_VLM_UNDO_H
#define VELMORA_VLM_UNDO_H

VLM_EXTERN_C_BEGIN

VLM_EXTERN_C_END

#endif
