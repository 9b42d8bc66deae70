/* velmora: tool settings. Include velmora/velmora.h. */
#ifndef VELMORA_VLM_TOOL_H
#define VELMORA_VLM_TOOL_H

VLM_EXTERN_C_BEGIN

VLM_EXTERN_C_END

#endif
