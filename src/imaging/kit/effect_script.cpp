#include "imaging/kit/effect_script.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "imaging/kit/script_effects.h"

namespace vlm::kit {
namespace {

// Up to kMaxTokens whitespace-separated words of one line, comments removed.
struct Line {
    static constexpr int kMaxTokens = 6;
    std::string_view words[kMaxTokens];
    int count = 0; // kMaxTokens + 1 when the line has too many words
};

Line split_line(std::string_view line) {
    if (const std::size_t hash = line.find('#'); hash != std::string_view::npos) line = line.substr(0, hash);
    Line out;
    std::size_t i = 0;
    while (true) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
        if (i == line.size()) break;
        std::size_t j = i;
        while (j < line.size() && line[j] != ' ' && line[j] != '\t' && line[j] != '\r') ++j;
        if (out.count == Line::kMaxTokens) {
            out.count = Line::kMaxTokens + 1;
            break;
        }
        out.words[out.count++] = line.substr(i, j - i);
        i = j;
    }
    return out;
}

// A whole word as a decimal integer within [lo, hi].
bool to_int(std::string_view word, long long lo, long long hi, long long& value) {
    const char* end = word.data() + word.size();
    const auto [ptr, ec] = std::from_chars(word.data(), end, value);
    return ec == std::errc() && ptr == end && value >= lo && value <= hi;
}

} // namespace

bool make_effect_call(int number, bool enabled, EffectCall& call) {
    const ScriptEffect* effect = find_script_effect(number);
    if (!effect) return false;
    call = EffectCall{number, enabled, {}};
    for (const EffectDefault& d : effect->defaults) call.values[d.value_number] = d.value;
    return true;
}

bool parse_effect_script(std::string_view text, Script& script) {
    if (text.size() > kMaxScriptBytes) return false;
    Script out;
    bool sized = false;
    for (bool first = true; !text.empty(); first = false) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        const Line line = split_line(text.substr(0, end));
        text.remove_prefix(std::min(end + 1, text.size()));
        long long v[4] = {};
        if (first) { // the first line decides whether the file is a script at all
            if (line.count != 2 || line.words[0] != kScriptSignature ||
                !to_int(line.words[1], kScriptVersion, kScriptVersion, v[0]))
                return false;
            continue;
        }
        if (line.count == 0) continue;
        if (line.count > Line::kMaxTokens) return false;
        const std::string_view key = line.words[0];
        if (key == "size") {
            if (sized || line.count != 3 || !to_int(line.words[1], 1, kMaxScriptSide, v[0]) ||
                !to_int(line.words[2], 1, kMaxScriptSide, v[1]))
                return false;
            out.width = static_cast<int>(v[0]);
            out.height = static_cast<int>(v[1]);
            sized = true;
        } else if (key == "background") {
            if (line.count != 5) return false;
            std::uint32_t colour = 0;
            for (int c = 0; c < 4; ++c) {
                if (!to_int(line.words[1 + c], 0, 255, v[c])) return false;
                colour |= static_cast<std::uint32_t>(v[c]) << (8 * c);
            }
            out.background = colour;
        } else if (key == "effect") {
            EffectCall call;
            if (line.count != 2 || out.effects.size() >= kMaxScriptEffects ||
                !to_int(line.words[1], INT32_MIN, INT32_MAX, v[0]) ||
                !make_effect_call(static_cast<int>(v[0]), true, call))
                return false;
            out.effects.push_back(call);
        } else if (key == "value") {
            if (line.count != 3 || out.effects.empty() ||
                !to_int(line.words[1], 0, kEffectValueCount - 1, v[0]) ||
                !to_int(line.words[2], INT32_MIN, INT32_MAX, v[1]))
                return false;
            out.effects.back().values[v[0]] = static_cast<std::int32_t>(v[1]);
        } else {
            return false;
        }
    }
    if (!sized) return false;
    script = std::move(out);
    return true;
}

bool read_effect_script_file(const char* path, Script& script) {
    if (!path) return false;
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path, "rb"), std::fclose);
    if (!file) return false;
    // Pictures are offered to the runner first, so look at the signature before reading further.
    std::string text(kScriptSignature.size(), '\0');
    if (std::fread(text.data(), 1, text.size(), file.get()) != text.size() || text != kScriptSignature)
        return false;
    // One byte more than the limit tells an oversized file from one that fills it exactly.
    text.resize(kMaxScriptBytes + 1);
    const std::size_t got = std::fread(text.data() + kScriptSignature.size(), 1,
                                       text.size() - kScriptSignature.size(), file.get());
    if (std::ferror(file.get())) return false;
    text.resize(kScriptSignature.size() + got);
    return parse_effect_script(text, script);
}

ScriptHeader script_header(const Script& script) {
    ScriptHeader h{};
    std::memcpy(h.signature, "VLMSCRPT", sizeof h.signature);
    h.version = kScriptVersion;
    h.effect_count = static_cast<std::uint32_t>(script.effects.size());
    h.width = script.width;
    h.height = script.height;
    h.background = script.background;
    return h;
}

} // namespace vlm::kit
