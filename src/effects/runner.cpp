#include "effects/runner.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "core/engine_state.h"
#include "core/hooks.h"
#include "core/transfer_loads.h"
#include "effects/neighbourhood_effects.h"
#include "effects/pixels.h"
#include "effects/point_effects.h"
#include "effects/sweep_effects.h"
#include "imaging/processing_buffers.h"

namespace vlm::effects {

namespace {

constexpr BuiltinEffect kEffects[] = {
    {"Anti Alias", &anti_alias},
    {"Adaptive Blur", &adaptive_blur},
    {"Line Art Cleaner", &line_art_cleaner},
    {"Basic Threshold", &basic_threshold},
    {"Alpha Edge Color", &alpha_edge_color},
    {"Adjust Lab", &adjust_lab},
    {"Detail Blur", &detail_blur},
    {"Value Blur", &value_blur},
    {"Noise Reduction", &noise_reduction},
    {"Noise Reduction RGB", &noise_reduction_rgb},
    {"Hyper Contrast", &hyper_contrast},
    {"Bas Relief", &bas_relief},
    {"Grayscale", &grayscale},
    {"Invert", &invert},
    {"Channel", &channel},
    {"Fader", &fader},
    {"Adjust RGBA", &adjust_rgba},
    {"Clamp", &clamp},
};

constexpr double kValueScale = 0.001;

void fill_block(Params& p, std::uint8_t* source, std::uint8_t* destination, int width, int height,
                const EffectArgs& a) {
    double* v[] = {&p.v1, &p.v2, &p.v3, &p.v4, &p.v5, &p.v6};
    for (int i = 0; i < 6; ++i) *v[i] = a.values[i] * kValueScale;
    p.option1 = a.options[0];
    p.option2 = a.options[1];
    std::uint8_t* o[] = {&p.option3, &p.option4, &p.option5, &p.option6, &p.option7, &p.option8};
    for (int i = 0; i < 6; ++i) *o[i] = static_cast<std::uint8_t>(a.options[i + 2]);
    p.red = a.red * kByteToFraction;
    p.green = a.green * kByteToFraction;
    p.blue = a.blue * kByteToFraction;
    p.chain = static_cast<std::uint8_t>(a.chain);
    p.reserved = a.reserved;
    p.source = source;
    p.destination = destination;
    p.width = width;
    p.height = height;
    p.pitch = width * 4;
}

void run(std::uint8_t* source, std::uint8_t* destination, int width, int height, const char* name,
         const EffectArgs& args) {
    Params& p = g_engine.effects.params;
    fill_block(p, source, destination, width, height, args);
    if (!p.chain && source != destination)
        std::memcpy(destination, source,
                    static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
    if (const EffectEntry entry = find_builtin_effect(name)) entry(p);
}

} // namespace

std::span<const BuiltinEffect> builtin_effects() { return kEffects; }

EffectEntry find_builtin_effect(const char* name) {
    if (!name) return nullptr;
    const std::string_view wanted(name);
    for (const BuiltinEffect& e : kEffects)
        if (e.name == wanted) return e.run;
    return nullptr;
}

void run_builtin_effect(const char* name, const EffectArgs& args) {
    imaging::State& s = g_engine.imaging;
    if (!imaging::holds_canvas(s.src32, 4) || !imaging::holds_canvas(s.dst32, 4)) return;
    run(s.src32.pixels, s.dst32.pixels, g_engine.canvas.width, g_engine.canvas.height, name, args);
}

void run_builtin_effect_on(std::uint8_t* source, std::uint8_t* destination, int width, int height,
                           const char* name, const EffectArgs& args) {
    if (!source || !destination || width <= 0 || height <= 0 || width > INT_MAX / 4) return;
    run(source, destination, width, height, name, args);
}

void load_destination_into_current_layer(const Params& p) {
    core::Layer* layer = g_engine.layers.current;
    if (!layer) return;
    core::load_rgba32_layer(p.destination, p.pitch, layer, 0, 0, std::min(layer->width, p.width),
                            std::min(layer->height, p.height), 1);
}

void copy_destination_over_source(const Params& p) {
    if (p.source != p.destination)
        std::memcpy(p.source, p.destination,
                    static_cast<std::size_t>(p.height) * static_cast<std::size_t>(p.pitch));
}

namespace {

// Lets the brush shape code, below this folder, run "Value Blur" on its own picture.
void run_effect_for_hook(std::uint8_t* source, std::uint8_t* destination, int width, int height,
                         const char* name, const int (&values)[6]) {
    EffectArgs args;
    std::copy(std::begin(values), std::end(values), args.values);
    run_builtin_effect_on(source, destination, width, height, name, args);
}

const bool kHooked = (core::hooks().run_effect_on = &run_effect_for_hook, true);

} // namespace

} // namespace vlm::effects
