#include "brush/mix_modes.h"

namespace vlm::brush {

int posterize_shift(int amount) {
    return static_cast<int>(16 * (static_cast<std::int64_t>(amount) - 127) / 127);
}

Rgba pickup_mix(int mode, const MixParams& p, const Rgba& canvas, const Rgba& buffer, core::Generator& g) {
    if (mode == kMixMultiply) {
        Rgba r = buffer;
        for (int ch = 0; ch < 3; ++ch) r.c[ch] = (buffer.c[ch] * canvas.c[ch]) >> 16;
        return r;
    }
    // Amount 256 with complement 0 makes mix() return the raw value exactly.
    MixParams raw = p;
    raw.amount = 256;
    raw.complement = 0;
    raw.erase = false;
    const MixOut out = mix_pixel(mode, raw, canvas, buffer, g);
    return {{out.o[kR], out.o[kG], out.o[kB], out.oA}};
}

} // namespace vlm::brush
