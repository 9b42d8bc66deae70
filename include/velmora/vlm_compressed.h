/* velmora: run-length and compressed layer and mask transfer. Include velmora/velmora.h. */
/* Run codes: an RGBA run is 5 bytes (length 1..255, high bytes of R, G, B, A), a grey run 2 bytes (length,
 * high byte); a row needs at most 5 (RGBA) or 2 (grey) bytes per element. Values come back as byte x 256.
 * Run streams read from documents should go through the ...Sized decoders, which never read past the
 * length given and write nothing when the stream ends before the row is complete. */
#ifndef VELMORA_VLM_COMPRESSED_H
#define VELMORA_VLM_COMPRESSED_H

VLM_EXTERN_C_BEGIN

/** Encodes count RGBA64 pixels as RGBA runs; returns the bytes written (0 for NULL or count below 1). */
VLM_API int VLM_RLECompressRGBA64ToRGBA32(const void* src, void* out, int count);
/** Decodes RGBA runs into count RGBA64 pixels; the stream must hold them all. */
VLM_API void VLM_RLEUncompressRGBA32ToRGBA64(const void* stream, void* dst, int count);
/** Decodes RGBA runs from a stream of length bytes into count pixels; returns the bytes used, or -1 (nothing written) when the stream is short or NULL. */
VLM_API int VLM_RLEUncompressRGBA32ToRGBA64Sized(const void* stream, int length, void* dst, int count);
/** Encodes count 16-bit values as grey runs; returns the bytes written (0 for NULL or count below 1). */
VLM_API int VLM_RLECompressG16ToG8(const void* src, void* out, int count);
/** Decodes grey runs into count 16-bit values; the stream must hold them all. */
VLM_API void VLM_RLEUncompressG8ToG16(const void* stream, void* dst, int count);
/** Decodes grey runs from a stream of length bytes into count values; returns the bytes used, or -1 (nothing written) when the stream is short or NULL. */
VLM_API int VLM_RLEUncompressG8ToG16Sized(const void* stream, int length, void* dst, int count);
/** Encodes row `row` of a canvas-sized slot as RGBA runs; returns the bytes written (0 for an empty slot or a row outside). */
VLM_API int VLM_GetRGBA32LayerLineRLE(void* out, int slot, int row);
/** Decodes RGBA runs into row `row` of a canvas-sized slot; the stream must hold the whole row. */
VLM_API void VLM_PutRGBA32LayerLineRLE(const void* stream, int slot, int row);
/** Decodes RGBA runs from a stream of length bytes into a row of a slot; returns the bytes used, or -1 (row unchanged) when the stream is short or NULL. */
VLM_API int VLM_PutRGBA32LayerLineRLESized(const void* stream, int length, int slot, int row);
/** Encodes one mask row as grey runs; returns the bytes written (0 without a mask or for a row outside). */
VLM_API int VLM_GetMaskLineRLE(void* out, int row);
/** Decodes grey runs into one mask row; the stream must hold the whole row. */
VLM_API void VLM_PutMaskLineRLE(const void* stream, int row);
/** Decodes grey runs from a stream of length bytes into one mask row; returns the bytes used, or -1 (row unchanged) when the stream is short or NULL. */
VLM_API int VLM_PutMaskLineRLESized(const void* stream, int length, int row);
/** The most bytes VLM_GetRGBA32LayerCompressed can write for the present canvas. */
VLM_API int VLM_GetRGBA32LayerCompressedBound(void);
/** Deflates a canvas-sized slot's RGBA32 form into out (capacity bytes) at level 0..12; returns the compressed size, 0 on failure. */
VLM_API int VLM_GetRGBA32LayerCompressed(void* out, int ignored, int capacity, int slot, int level);
/** Inflates size bytes into a slot and loads them unweighted; a damaged or mis-sized stream leaves the slot unchanged. */
VLM_API void VLM_LoadRGBA32LayerCompressed(const void* in, int ignored, int size, int slot);

VLM_EXTERN_C_END

#endif
