#pragma once
// The built-in effect runner: fills the parameter block and runs an effect by name on two RGBA32 buffers,
// either the IPL processing buffers or a pair its caller gives.
#include <cstdint>
#include <span>
#include <string_view>

#include "effects/state.h"

namespace vlm::effects {

// The runner's arguments as the callers pass them: values 0..1000 by convention (the block holds
// value x 0.001), options as given (3..8 keep their low byte), colour components 0..255.
struct EffectArgs {
    int chain = 0; // low byte: read the destination instead of the source
    int reserved = 0;
    int values[6] = {};
    int options[8] = {};
    int red = 0, green = 0, blue = 0;
};

using EffectEntry = void (*)(Params&);
struct BuiltinEffect {
    std::string_view name;
    EffectEntry run;
};

// Every built-in effect, in the order the runner compares names.
std::span<const BuiltinEffect> builtin_effects();
// The entry for an exact, case-sensitive name; null for an unknown (or null) name.
EffectEntry find_builtin_effect(const char* name);

// On the IPL RGBA32 buffers: nothing unless both hold a whole canvas. Unless chained, the destination
// first becomes a copy of the source; then the named effect runs (an unknown name runs nothing).
void run_builtin_effect(const char* name, const EffectArgs& args);
// The same on a caller's pair of width x height RGBA32 buffers (rows of width x 4 bytes); nothing for
// null buffers or an empty size.
void run_builtin_effect_on(std::uint8_t* source, std::uint8_t* destination, int width, int height,
                           const char* name, const EffectArgs& args);

// For the effects that hand an intermediate result to the current layer: loads the destination into
// the current layer at (0, 0), weighted by mask and texture, no further than the layer and the buffer
// both reach, then copies the destination over the source so that the next stage reads it.
void load_destination_into_current_layer(const Params& p);
void copy_destination_over_source(const Params& p);

} // namespace vlm::effects
