// libFuzzer target for the grey (mask) run decoder and encoder.
#include "core/rle.h"
#include "fuzz/fuzz_target.h"
#include "fuzz/rle_round_trip.h"

VLM_FUZZ_TARGET(rle_grey) {
    return vlm::fuzz::check_rle_round_trip<1, vlm::core::kGreyRunBytes>(
        data, size, vlm::core::rle_decode_grey, vlm::core::rle_encode_grey);
}
