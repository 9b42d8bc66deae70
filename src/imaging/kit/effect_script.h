#pragma once
// The effect-script format of the imaging kit: a small versioned text file that describes a picture (its
// size and background) and a list of numbered effects with numbered integer values. The format is
// described in README.md beside this file. Parsing is defensive: any bytes give either a script within
// the limits below or a refusal, never a crash.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace vlm::kit {

constexpr std::string_view kScriptSignature = "velmora-effect-script";
constexpr int kScriptVersion = 1;
constexpr std::size_t kMaxScriptBytes = 1 << 20;
constexpr int kMaxScriptEffects = 256;
constexpr int kMaxScriptSide = 10000;
constexpr int kEffectValueCount = 64; // value numbers 0..63

using EffectValues = std::array<std::int32_t, kEffectValueCount>;

// One effect of a script: its number, whether it runs, and its values (unset values hold the effect's
// defaults, or 0).
struct EffectCall {
    int number = 0;
    bool enabled = true;
    EffectValues values{};
};

struct Script {
    int width = 0, height = 0;    // size of the rendered picture
    std::uint32_t background = 0; // colour word: red in the low byte, alpha in the high byte
    std::vector<EffectCall> effects;
};

// The binary header a script file is summarised into; the picture's width and height are the fifth and
// sixth 32-bit words (byte offsets 16 and 20).
struct ScriptHeader {
    char signature[8]; // "VLMSCRPT"
    std::uint32_t version;
    std::uint32_t effect_count;
    std::int32_t width;
    std::int32_t height;
    std::uint32_t background;
    std::uint32_t reserved;
};
static_assert(offsetof(ScriptHeader, width) == 16 && offsetof(ScriptHeader, height) == 20);
static_assert(sizeof(ScriptHeader) == 32);

// A new effect call with the effect's default values, or false when no effect has that number.
bool make_effect_call(int number, bool enabled, EffectCall& call);

// Parses the text of a script. On success fills `script` and returns true; otherwise leaves it alone.
bool parse_effect_script(std::string_view text, Script& script);

// Reads and parses a script file of at most kMaxScriptBytes bytes.
bool read_effect_script_file(const char* path, Script& script);

// The header of a parsed script.
ScriptHeader script_header(const Script& script);

} // namespace vlm::kit
