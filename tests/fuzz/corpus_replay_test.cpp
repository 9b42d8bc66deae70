// Replays every fuzz target's seed corpus through the target's body: inputs that once crashed stay fixed.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "fuzz/fuzz_target.h"

namespace {

TEST(FuzzCorpus, EveryTargetRunsItsSeedCorpus) {
    namespace fs = std::filesystem;
    ASSERT_FALSE(vlm::fuzz::registry().empty());
    for (const vlm::fuzz::Target& t : vlm::fuzz::registry()) {
        const fs::path dir = fs::path(VLM_FUZZ_CORPUS_DIR) / t.name;
        ASSERT_TRUE(fs::is_directory(dir)) << "no seed corpus for " << t.name;
        int inputs = 0;
        for (const auto& entry : fs::directory_iterator(dir)) {
            std::ifstream in(entry.path(), std::ios::binary);
            const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            SCOPED_TRACE(entry.path().string());
            t.body(bytes.data(), bytes.size());
            ++inputs;
        }
        EXPECT_GT(inputs, 0) << t.name;
    }
}

} // namespace
