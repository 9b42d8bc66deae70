#include "brush/mix_modes.h"

namespace vlm::brush {

int posterize_shift(int amount) {
    return static_cast<int>(16 * (static_cast<std::int64_t>(amount) - 127) / 127);
}

MixPixel pickup_mix(int mode, const MixParams& p, const MixPixel& canvas, const MixPixel& buffer,
                    core::Generator& g) {
    if (mode == kMixMultiply) {
        MixPixel r = buffer;
        for (int ch = 0; ch < 3; ++ch) r.c[ch] = (buffer.c[ch] * canvas.c[ch]) >> 16;
        return r;
    }
    // Amount 256 with complement 0 makes mix() return the raw value exactly.
    MixParams raw = p;
    raw.amount = 256;
    raw.complement = 0;
    raw.erase = false;
    const MixOut out = mix_pixel(mode, raw, canvas, buffer, g);
    return {{out.o[MixPixel::R], out.o[MixPixel::G], out.o[MixPixel::B], out.oA}};
}

} // namespace vlm::brush
