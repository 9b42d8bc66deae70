/* velmora: image files. Include velmora/velmora.h. */
#ifndef VELMORA_VLM_FILES_H
#define VELMORA_VLM_FILES_H

VLM_EXTERN_C_BEGIN

VLM_EXTERN_C_END

#endif
