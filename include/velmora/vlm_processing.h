/* velmora: processing buffers and imaging start-up. Include velmora/velmora.h. */
/* Six engine-held 8-bit copies of the canvas that image operations work on: the IPL source and destination
 * pairs in RGBA32 and RGB24, and the tool pair in RGBA32. Each is canvas-sized while present; the IPL
 * buffers are freed when the canvas is created, resized or deleted, the tool pair only by its own free. */
#ifndef VELMORA_VLM_PROCESSING_H
#define VELMORA_VLM_PROCESSING_H

VLM_EXTERN_C_BEGIN

/** Starts the imaging library; the argument is ignored. Call once after loading the engine. */
VLM_API void VLM_IPLInit(int ignored);
/** Shuts the imaging library down. */
VLM_API void VLM_IPLExit(void);
/** Makes the IPL RGBA32 source buffer canvas-sized (reusing it when it already is) and fills it from the current layer. */
VLM_API void VLM_IPLAllocSrcBuffer32(void);
/** Makes the IPL RGBA32 destination buffer canvas-sized; its contents are left as they come. */
VLM_API void VLM_IPLAllocDstBuffer32(void);
/** Makes the IPL RGB24 source buffer canvas-sized and fills it with the current layer's colour. */
VLM_API void VLM_IPLAllocSrcBuffer24(void);
/** Makes the IPL RGB24 destination buffer canvas-sized; its contents are left as they come. */
VLM_API void VLM_IPLAllocDstBuffer24(void);
/** Makes the tool RGBA32 source buffer canvas-sized and fills it from the current layer. */
VLM_API void VLM_ToolAllocSrcBuffer32(void);
/** Makes the tool RGBA32 destination buffer canvas-sized; its contents are left as they come. */
VLM_API void VLM_ToolAllocDstBuffer32(void);
/** Frees the IPL RGBA32 source buffer. */
VLM_API void VLM_IPLFreeSrcBuffer32(void);
/** Frees the IPL RGBA32 destination buffer. */
VLM_API void VLM_IPLFreeDstBuffer32(void);
/** Frees the IPL RGB24 source buffer. */
VLM_API void VLM_IPLFreeSrcBuffer24(void);
/** Frees the IPL RGB24 destination buffer. */
VLM_API void VLM_IPLFreeDstBuffer24(void);
/** Frees the tool RGBA32 source buffer. */
VLM_API void VLM_ToolFreeSrcBuffer32(void);
/** Frees the tool RGBA32 destination buffer. */
VLM_API void VLM_ToolFreeDstBuffer32(void);
/** Copies a canvas of RGBA32 pixels into the IPL source buffer; nothing for a null pointer or an absent buffer. */
VLM_API void VLM_IPLSetSrcBuffer32(const void* pixels);
/** Copies a canvas of RGBA32 pixels into the IPL destination buffer; nothing for a null pointer or an absent buffer. */
VLM_API void VLM_IPLSetDstBuffer32(const void* pixels);
/** Refills the IPL RGBA32 source buffer from the current layer, when the buffer is present. */
VLM_API void VLM_IPLUpdateSrcBuffer32(void);
/** Limits the IPL RGBA32 source buffer's alpha by the selection mask while the mask is enabled. */
VLM_API void VLM_ApplyMaskToAlpha_IPLSrcRGBA(void);

VLM_EXTERN_C_END

#endif
