/* velmora: tablet input. Include velmora/velmora.h. */
#ifndef VELMORA_VLM_TABLET_H
#define VELMORA_VLM_TABLET_H

VLM_EXTERN_C_BEGIN

VLM_EXTERN_C_END

#endif
