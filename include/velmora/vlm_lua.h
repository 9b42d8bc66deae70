/* velmora: Lua filter scripts. Include velmora/velmora.h. */
#ifndef VELMORA_VLM_LUA_H
#define VELMORA_VLM_LUA_H

VLM_EXTERN_C_BEGIN

VLM_EXTERN_C_END

#endif
