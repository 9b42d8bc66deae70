#include "core/engine_state.h"
#include "exports/guard.h"
#include "imaging/processing_buffers.h"
#include "velmora/velmora.h"

using namespace vlm;
using exports::guarded;
using exports::silent;

namespace {

imaging::State& buffers() { return g_engine.imaging; }

} // namespace

void VLM_IPLInit(int) { imaging::start_imaging(); }
void VLM_IPLExit(void) { imaging::stop_imaging(); }

void VLM_IPLAllocSrcBuffer32(void) {
    guarded("IPLAllocSrcBuffer32", [] { imaging::allocate_source32(buffers().src32); });
}
void VLM_IPLAllocDstBuffer32(void) {
    guarded("IPLAllocDstBuffer32", [] { imaging::allocate_destination(buffers().dst32, 4); });
}
void VLM_IPLAllocSrcBuffer24(void) {
    guarded("IPLAllocSrcBuffer24", [] { imaging::allocate_source24(buffers().src24); });
}
void VLM_IPLAllocDstBuffer24(void) {
    guarded("IPLAllocDstBuffer24", [] { imaging::allocate_destination(buffers().dst24, 3); });
}
void VLM_ToolAllocSrcBuffer32(void) {
    guarded("ToolAllocSrcBuffer32", [] { imaging::allocate_source32(buffers().tool_src); });
}
void VLM_ToolAllocDstBuffer32(void) {
    guarded("ToolAllocDstBuffer32", [] { imaging::allocate_destination(buffers().tool_dst, 4); });
}

void VLM_IPLFreeSrcBuffer32(void) {
    guarded("IPLFreeSrcBuffer32", [] { imaging::free_buffer(buffers().src32); });
}
void VLM_IPLFreeDstBuffer32(void) {
    guarded("IPLFreeDstBuffer32", [] { imaging::free_buffer(buffers().dst32); });
}
void VLM_IPLFreeSrcBuffer24(void) {
    guarded("IPLFreeSrcBuffer24", [] { imaging::free_buffer(buffers().src24); });
}
void VLM_IPLFreeDstBuffer24(void) {
    guarded("IPLFreeDstBuffer24", [] { imaging::free_buffer(buffers().dst24); });
}
void VLM_ToolFreeSrcBuffer32(void) {
    guarded("ToolFreeSrcBuffer32", [] { imaging::free_buffer(buffers().tool_src); });
}
void VLM_ToolFreeDstBuffer32(void) {
    guarded("ToolFreeDstBuffer32", [] { imaging::free_buffer(buffers().tool_dst); });
}

// These report nothing; the guard only keeps anything thrown inside from reaching the host.
void VLM_IPLSetSrcBuffer32(const void* pixels) {
    silent([&] { imaging::set_buffer32(buffers().src32, pixels); });
}
void VLM_IPLSetDstBuffer32(const void* pixels) {
    silent([&] { imaging::set_buffer32(buffers().dst32, pixels); });
}
void VLM_IPLUpdateSrcBuffer32(void) {
    silent([] { imaging::update_source32(); });
}
void VLM_ApplyMaskToAlpha_IPLSrcRGBA(void) {
    silent([] { imaging::apply_mask_to_source_alpha(); });
}
