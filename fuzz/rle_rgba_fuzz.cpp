// libFuzzer target for the RGBA run decoder and encoder.
#include "core/rle.h"
#include "fuzz/fuzz_target.h"
#include "fuzz/rle_round_trip.h"

VLM_FUZZ_TARGET(rle_rgba) {
    return vlm::fuzz::check_rle_round_trip<4, vlm::core::kRgbaRunBytes>(
        data, size, vlm::core::rle_decode_rgba, vlm::core::rle_encode_rgba);
}
