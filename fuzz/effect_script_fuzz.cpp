// libFuzzer target for the effect-script parser and runner: any bytes must either load as a script within
// the format's limits or be refused, and a loaded script must render without touching memory outside its
// picture.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_target.h"
#include "imaging/kit/effect_runner.h"

VLM_FUZZ_TARGET(effect_script) {
    vlm::kit::EffectRunner runner;
    runner.initialize();
    if (runner.load_script(std::string_view(reinterpret_cast<const char*>(data), size))) {
        const vlm::kit::Script& s = runner.script();
        if (s.width < 1 || s.height < 1 || s.width > vlm::kit::kMaxScriptSide ||
            s.height > vlm::kit::kMaxScriptSide ||
            s.effects.size() > static_cast<std::size_t>(vlm::kit::kMaxScriptEffects))
            std::abort();
        // Rendering every size would spend the run on allocation; small pictures exercise the effects.
        if (static_cast<long long>(s.width) * s.height <= 64 * 64) {
            std::vector<std::uint8_t> picture(static_cast<std::size_t>(s.width) * s.height * 4);
            if (!runner.init_buffers() || !runner.execute_script(picture.data(), s.width, s.height))
                std::abort();
        }
    }
    runner.finish();
    return 0;
}
