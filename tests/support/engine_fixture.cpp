#include "support/engine_fixture.h"

#include <cstdlib>
#include <filesystem>

#include "core/engine_state.h"
#include "core/memory.h"
#include "core/random.h"

namespace vlm::test {

void reset_engine() {
    VLM_DeleteImage();
    VLM_CloseTablet();
    core::RandomState& r = g_engine.random;
    core::DeleteRandArrayBtye(r.grit_a);
    core::DeleteRandArrayBtye(r.grit_b);
    core::DeleteRandArrayBtye(r.lum_vary);
    core::DeleteRandArrayBtye(r.color_vary);
    core::free_block(g_engine.new_rgba.pixels);
    core::free_block(g_engine.imaging.tool_src.pixels);
    core::free_block(g_engine.imaging.tool_dst.pixels);
    g_engine = Engine{};
}

std::string temp_dir(const std::string& name) {
    const char* base = std::getenv("VLM_TEST_TMP");
    std::filesystem::path dir = base ? base : std::filesystem::temp_directory_path() / "velmora-tests";
    // ctest runs test cases in parallel processes: each case gets a folder of its own, so that one case's
    // clean-up never races another's files.
    std::string leaf = name;
    if (const ::testing::TestInfo* t = ::testing::UnitTest::GetInstance()->current_test_info())
        leaf += std::string("-") + t->test_suite_name() + "." + t->name();
    dir /= leaf;
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir.string();
}

} // namespace vlm::test
