/* velmora: processing buffers and imaging start-up. Include velmora/velmora.h. */
#ifndef VELMORA_VLM_PROCESSING_H
#define VELMORA_VLM_PROCESSING_H

VLM_EXTERN_C_BEGIN

VLM_EXTERN_C_END

#endif
