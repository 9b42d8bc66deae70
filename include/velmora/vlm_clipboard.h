/* velmora: clipboard and screen capture. Include velmora/velmora.h. */
#ifndef VELMORA_VLM_CLIPBOARD_H
#define VELMORA_VLM_CLIPBOARD_H

VLM_EXTERN_C_BEGIN

VLM_EXTERN_C_END

#endif
