#pragma once
// The numbered effects of the effect-script runner: one table row per effect, so that adding an effect
// is one row here and one function in script_effects.cpp.
#include <array>
#include <cstdint>
#include <span>

#include "imaging/kit/effect_script.h"

namespace vlm::kit {

constexpr int kEffectRotate = 51;

// A value an effect starts with when the script or the caller does not set it.
struct EffectDefault {
    int value_number;
    std::int32_t value;
};

// An effect works in place on a packed width x height image of 4-byte pixels in B, G, R, A order. Effects
// treat the four channels alike and independently, so a caller may carry any plane in any channel.
// It returns false only when it could not run (the image is then unchanged).
struct ScriptEffect {
    int number;
    const char* name;
    std::array<EffectDefault, 4> defaults; // unused rows are {0, 0}
    bool (*apply)(std::uint8_t* pixels, int width, int height, const EffectValues& values);
};

std::span<const ScriptEffect> script_effects();

// The effect of a number, or null.
const ScriptEffect* find_script_effect(int number);

// Effect 51: turns the picture about its centre by value 3 degrees (counter-clockwise as seen, any
// integer, taken modulo 360) and scales it by value 4 percent (1..1000, clamped; default 100), with
// bilinear sampling; areas that no source pixel reaches become 0 in every channel.
bool rotate_effect(std::uint8_t* pixels, int width, int height, const EffectValues& values);

} // namespace vlm::kit
