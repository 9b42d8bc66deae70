/* velmora: scanner acquisition. Include velmora/velmora.h. */
#ifndef VELMORA_VLM_SCANNER_H
#define VELMORA_VLM_SCANNER_H

VLM_EXTERN_C_BEGIN

VLM_EXTERN_C_END

#endif
