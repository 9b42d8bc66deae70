/* velmora: AVI, animated GIF and PDF output. Include velmora/velmora.h. */
#ifndef VELMORA_VLM_OUTPUT_H
#define VELMORA_VLM_OUTPUT_H

VLM_EXTERN_C_BEGIN

VLM_EXTERN_C_END

#endif
