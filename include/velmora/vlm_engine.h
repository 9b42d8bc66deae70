/* velmora: engine state, last error, memory and the random seed. Include velmora/velmora.h. */
#ifndef VELMORA_VLM_ENGINE_H
#define VELMORA_VLM_ENGINE_H

VLM_EXTERN_C_BEGIN

/** Stores at most 511 characters of text as the last error (NULL is ignored). */
VLM_API void VLM_SetLastError(const char* text);
/** The last-error text ("" before any failure); a success never clears it. Valid while loaded. */
VLM_API const char* VLM_GetLastError(void);
/** Allocates size bytes, giving up the oldest undo history until it succeeds; NULL when it cannot. */
VLM_API void* VLM_Alloc(int size);
/** Frees a block from VLM_Alloc; NULL is ignored. */
VLM_API void VLM_Free(void* block);
/** Copies count bytes when both pointers are non-NULL and count is positive. */
VLM_API void VLM_Memcpy(void* destination, const void* source, int count);
/** Returns its argument: lets a host without address-of learn where its own buffer lives. */
VLM_API void* BankAdrs(void* pointer);
/** Stores the random seed and reseeds the engine's generator (values 0..32767) with it. */
VLM_API void VLM_SetRandomSeed(unsigned int seed);

VLM_EXTERN_C_END

#endif
