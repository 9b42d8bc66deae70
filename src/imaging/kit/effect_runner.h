#pragma once
// The effect-script runner: a small handle that renders effect scripts into pictures and runs numbered
// effects on a caller's picture. Pictures are packed 4-byte pixels in B, G, R, A order. It holds no
// state beyond its own members; a caller makes one, initialises it, and finishes it when done.
#include <cstdint>
#include <string_view>

#include "imaging/kit/effect_script.h"

namespace vlm::kit {

class EffectRunner {
public:
    // Readies the runner with an empty effect list; every other call but the header read needs it.
    bool initialize();

    // Loads a script file; false when the file is not a valid script (the runner keeps its last script).
    bool load_script_from_file(const char* path);
    // The same from text in memory.
    bool load_script(std::string_view text);

    // Reads the header of a script file without loading it.
    static bool read_script_header_from_file(const char* path, ScriptHeader& header);

    // Prepares a loaded script for rendering; false when none is loaded.
    bool init_buffers();

    // Renders the loaded script: fills the picture with the background and runs the effects. The picture
    // must have exactly the script's size; any other size is refused and nothing is written.
    bool execute_script(std::uint8_t* pixels, int width, int height);

    // Appends an effect (enabled when non-zero) with its default values; false for an unknown number or
    // a full list.
    bool add_effect(int number, int enabled);

    // Sets value `value_number` of effect `index` (0 = the first in the list).
    bool set_effect_value(int index, int value_number, int value);

    // Runs the enabled effects, in order, on a packed width x height picture.
    bool execute_script_on_image(std::uint8_t* pixels, int width, int height);

    // Drops the script and the effect list; the runner needs initialising again.
    void finish();

    const Script& script() const { return script_; }

private:
    bool run_effects(std::uint8_t* pixels, int width, int height) const;

    bool initialized_ = false;
    bool loaded_ = false;
    Script script_;
};

} // namespace vlm::kit
