/* velmora: spline points and fade. Include velmora/velmora.h. */
#ifndef VELMORA_VLM_SPLINE_H
#define VELMORA_VLM_SPLINE_H

VLM_EXTERN_C_BEGIN

VLM_EXTERN_C_END

#endif
