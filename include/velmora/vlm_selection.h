/* velmora: selection tools. Include velmora/velmora.h. */
#ifndef VELMORA_VLM_SELECTION_H
#define VELMORA_VLM_SELECTION_H

VLM_EXTERN_C_BEGIN

VLM_EXTERN_C_END

#endif
