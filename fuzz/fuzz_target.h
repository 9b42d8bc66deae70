#pragma once
// Declares a fuzz target once for two uses: with VLM_FUZZ_MAIN (the clang fuzz build) it is the
// libFuzzer entry point; otherwise it registers the body under its name so that the test suite can
// replay the target's seed corpus (fuzz/corpus/<name>/) through the same code on every run.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace vlm::fuzz {

using Body = int (*)(const std::uint8_t*, std::size_t);

struct Target {
    const char* name;
    Body body;
};

inline std::vector<Target>& registry() {
    static std::vector<Target> targets;
    return targets;
}

inline bool register_target(const char* name, Body body) {
    registry().push_back({name, body});
    return true;
}

} // namespace vlm::fuzz

#if defined(VLM_FUZZ_MAIN)
#define VLM_FUZZ_TARGET(name) extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
#else
#define VLM_FUZZ_TARGET(name)                                                                                  \
    static int fuzz_body_##name(const std::uint8_t* data, std::size_t size);                                   \
    [[maybe_unused]] static const bool fuzz_registered_##name =                                                \
        ::vlm::fuzz::register_target(#name, &fuzz_body_##name);                                                \
    static int fuzz_body_##name(const std::uint8_t* data, std::size_t size)
#endif
