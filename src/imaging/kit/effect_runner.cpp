#include "imaging/kit/effect_runner.h"

#include <climits>

#include "imaging/kit/script_effects.h"

namespace vlm::kit {

bool EffectRunner::initialize() {
    initialized_ = true;
    loaded_ = false;
    script_ = Script{};
    return true;
}

bool EffectRunner::load_script_from_file(const char* path) {
    Script s;
    if (!initialized_ || !read_effect_script_file(path, s)) return false;
    script_ = std::move(s);
    loaded_ = true;
    return true;
}

bool EffectRunner::load_script(std::string_view text) {
    Script s;
    if (!initialized_ || !parse_effect_script(text, s)) return false;
    script_ = std::move(s);
    loaded_ = true;
    return true;
}

bool EffectRunner::read_script_header_from_file(const char* path, ScriptHeader& header) {
    Script s;
    if (!read_effect_script_file(path, s)) return false;
    header = script_header(s);
    return true;
}

bool EffectRunner::init_buffers() { return initialized_ && loaded_; }

bool EffectRunner::execute_script(std::uint8_t* pixels, int width, int height) {
    if (!initialized_ || !loaded_ || !pixels || width != script_.width || height != script_.height)
        return false;
    const std::uint32_t c = script_.background;
    const std::uint8_t bgra[4] = {std::uint8_t(c >> 16), std::uint8_t(c >> 8), std::uint8_t(c),
                                  std::uint8_t(c >> 24)};
    const std::size_t count = static_cast<std::size_t>(width) * height;
    for (std::size_t i = 0; i < count; ++i)
        for (int k = 0; k < 4; ++k) pixels[4 * i + k] = bgra[k];
    return run_effects(pixels, width, height);
}

bool EffectRunner::add_effect(int number, int enabled) {
    EffectCall call;
    if (!initialized_ || script_.effects.size() >= kMaxScriptEffects ||
        !make_effect_call(number, enabled != 0, call))
        return false;
    script_.effects.push_back(call);
    return true;
}

bool EffectRunner::set_effect_value(int index, int value_number, int value) {
    if (!initialized_ || index < 0 || static_cast<std::size_t>(index) >= script_.effects.size() ||
        value_number < 0 || value_number >= kEffectValueCount)
        return false;
    script_.effects[index].values[value_number] = value;
    return true;
}

bool EffectRunner::execute_script_on_image(std::uint8_t* pixels, int width, int height) {
    if (!initialized_ || !pixels || width <= 0 || height <= 0 || width > INT_MAX / 4) return false;
    return run_effects(pixels, width, height);
}

void EffectRunner::finish() {
    initialized_ = false;
    loaded_ = false;
    script_ = Script{};
}

bool EffectRunner::run_effects(std::uint8_t* pixels, int width, int height) const {
    for (const EffectCall& call : script_.effects) {
        const ScriptEffect* effect = find_script_effect(call.number);
        if (call.enabled && (!effect || !effect->apply(pixels, width, height, call.values))) return false;
    }
    return true;
}

} // namespace vlm::kit
