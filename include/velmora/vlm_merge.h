/* velmora: layer merging and flattening. Include velmora/velmora.h. */
#ifndef VELMORA_VLM_MERGE_H
#define VELMORA_VLM_MERGE_H

VLM_EXTERN_C_BEGIN

VLM_EXTERN_C_END

#endif
