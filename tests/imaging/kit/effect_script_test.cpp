#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>
#include <set>
#include <string>

#include "imaging/kit/effect_runner.h"
#include "imaging/kit/geometry.h"
#include "imaging/kit/script_effects.h"
#include "imaging/kit/test_image.h"
#include "support/engine_fixture.h"

namespace vlm::kit {
namespace {

using test::TestImage;

const std::string kExample = std::string(VLM_TEST_DATA_DIR) + "/scripts/tilted_square.vfx";

std::string write_file(const std::string& name, const std::string& text) {
    const std::string path = vlm::test::temp_dir("kit_scripts") + "/" + name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

TEST(EffectScript, TheExampleScriptDescribesItsPicture) {
    Script s;
    ASSERT_TRUE(read_effect_script_file(kExample.c_str(), s));
    EXPECT_EQ(s.width, 64);
    EXPECT_EQ(s.height, 64);
    EXPECT_EQ(s.background, 230u | 120u << 8 | 30u << 16 | 255u << 24);
    ASSERT_EQ(s.effects.size(), 1u);
    EXPECT_EQ(s.effects[0].number, kEffectRotate);
    EXPECT_EQ(s.effects[0].values[3], 30);
    EXPECT_EQ(s.effects[0].values[4], 100);

    // Callers read the size as the fifth and sixth 32-bit words of the header.
    ScriptHeader header;
    ASSERT_TRUE(EffectRunner::read_script_header_from_file(kExample.c_str(), header));
    std::uint32_t words[8];
    std::memcpy(words, &header, sizeof words);
    EXPECT_EQ(words[4], 64u);
    EXPECT_EQ(words[5], 64u);
}

TEST(EffectScript, AcceptsCommentsBlankLinesCarriageReturnsAndDefaults) {
    Script s;
    ASSERT_TRUE(parse_effect_script("velmora-effect-script 1\r\n\r\n# note\n\tsize 3 2 # tiny\r\neffect 51\n"
                                    "value 3 -45\nvalue 63 2147483647\neffect 51",
                                    s));
    EXPECT_EQ(s.width, 3);
    EXPECT_EQ(s.background, 0u);
    ASSERT_EQ(s.effects.size(), 2u);
    EXPECT_EQ(s.effects[0].values[3], -45);
    EXPECT_EQ(s.effects[0].values[63], 2147483647);
    EXPECT_EQ(s.effects[1].values[4], 100); // the rotation's default scale
}

TEST(EffectScript, RefusesMalformedScripts) {
    const std::string head = "velmora-effect-script 1\nsize 4 4\n";
    std::string many = head;
    for (int i = 0; i <= kMaxScriptEffects; ++i) many += "effect 51\n";
    const std::string cases[] = {
        "",
        "size 4 4\n",                            // no signature
        "\nvelmora-effect-script 1\nsize 4 4\n", // signature not first
        "velmora-effect-script 2\nsize 4 4\n",   // a later version
        "velmora-effect-script 1 extra\nsize 4 4\n",
        "velmora-effect-script 1\n", // no size
        "velmora-effect-script 1\nsize 0 4\n",
        "velmora-effect-script 1\nsize 10001 4\n",
        "velmora-effect-script 1\nsize 4\n",
        "velmora-effect-script 1\nsize 4 4\nsize 4 4\n",
        "velmora-effect-script 1\nsize +4 4\n",
        "velmora-effect-script 1\nsize 4x 4\n",
        head + "background 1 2 3 256\n",
        head + "background 1 2 3\n",
        head + "value 3 10\n", // value before any effect
        head + "effect 50\n",  // no such effect
        head + "effect 51\nvalue 64 1\n",
        head + "effect 51\nvalue 3 2147483648\n",
        head + "effect 51\nvalue 3 1 2\n",
        head + "effect 51 52 53 54 55 56 57\n",
        head + "colour 1\n",
        head + std::string("effect 51\0", 10) + "\n",
        many,
        head + std::string(kMaxScriptBytes, '#'),
    };
    for (const std::string& text : cases) {
        Script s;
        s.width = -7;
        EXPECT_FALSE(parse_effect_script(text, s)) << text.substr(0, 80);
        EXPECT_EQ(s.width, -7); // a refused script leaves the target alone
    }
}

TEST(EffectScript, MutatedScriptsNeverBreakTheParser) {
    const std::string base =
        "velmora-effect-script 1\nsize 16 12\nbackground 1 2 3 4\neffect 51\nvalue 3 30\n";
    std::mt19937 gen(42);
    for (int round = 0; round < 3000; ++round) {
        std::string text = base;
        for (int m = 0, n = 1 + gen() % 4; m < n; ++m) {
            const std::size_t at = gen() % (text.size() + 1);
            switch (gen() % 3) {
            case 0:
                text.insert(at, 1, static_cast<char>(gen()));
                break;
            case 1:
                if (at < text.size()) text.erase(at, 1);
                break;
            default:
                if (at < text.size()) text[at] = static_cast<char>(gen());
                break;
            }
        }
        Script s;
        if (!parse_effect_script(text, s)) continue;
        EXPECT_TRUE(s.width >= 1 && s.width <= kMaxScriptSide && s.height >= 1 && s.height <= kMaxScriptSide);
        EXPECT_LE(s.effects.size(), static_cast<std::size_t>(kMaxScriptEffects));
    }
}

TEST(EffectScript, FilesThatAreNotScriptsAreTurnedAwayCheaply) {
    Script s;
    EXPECT_FALSE(read_effect_script_file(write_file("picture.png", "\x89PNG\r\n\x1a\n....").c_str(), s));
    EXPECT_FALSE(read_effect_script_file((vlm::test::temp_dir("kit_missing") + "/none.vfx").c_str(), s));
    EXPECT_FALSE(read_effect_script_file(vlm::test::temp_dir("kit_directory").c_str(), s));
    EXPECT_FALSE(read_effect_script_file(nullptr, s));
    const std::string big = "velmora-effect-script 1\nsize 2 2\n" + std::string(kMaxScriptBytes, ' ');
    EXPECT_FALSE(read_effect_script_file(write_file("big.vfx", big).c_str(), s));
}

TEST(EffectRunner, RendersTheExampleAsATiltedSquare) {
    EffectRunner runner;
    ASSERT_TRUE(runner.initialize());
    ASSERT_TRUE(runner.load_script_from_file(kExample.c_str()));
    ASSERT_TRUE(runner.init_buffers());
    std::vector<std::uint8_t> picture(64 * 64 * 4, 0x11);
    EXPECT_FALSE(runner.execute_script(picture.data(), 64, 63)); // not the script's size
    EXPECT_EQ(picture, std::vector<std::uint8_t>(picture.size(), 0x11));
    ASSERT_TRUE(runner.execute_script(picture.data(), 64, 64));
    runner.finish();
    const auto px = [&](int x, int y) { return &picture[(y * 64 + x) * 4]; };
    const std::uint8_t orange_bgra[4] = {30, 120, 230, 255}, clear[4] = {};
    EXPECT_EQ(std::memcmp(px(32, 32), orange_bgra, 4), 0);
    EXPECT_EQ(std::memcmp(px(1, 1), clear, 4), 0); // uncovered corners
    EXPECT_EQ(std::memcmp(px(62, 62), clear, 4), 0);
    EXPECT_EQ(std::memcmp(px(32, 1), orange_bgra, 4), 0); // edge midpoints stay inside the turned square
}

TEST(EffectRunner, RotatesAPictureWithoutAScript) {
    // Whole turns of a square picture land every pixel centre on a pixel centre, so they are exact.
    TestImage img(16, 16, 4);
    img.randomize(1);
    struct Case {
        int angle, turn; // the quarter turn that gives the same picture, -1 for none
    };
    for (const Case c : {Case{90, kTurnLeft}, Case{-270, kTurnLeft}, Case{180, kTurnHalf},
                         Case{-90, kTurnRight}, Case{360, -1}}) {
        TestImage want = img;
        if (c.turn >= 0) {
            ASSERT_NE(rotate_quarter(img.data(), 16, 16, 64, want.data(), 64, c.turn, 4), 0);
        }
        TestImage work = img;
        EffectRunner runner;
        ASSERT_TRUE(runner.initialize());
        ASSERT_TRUE(runner.add_effect(kEffectRotate, 1));
        ASSERT_TRUE(runner.set_effect_value(0, 3, c.angle));
        ASSERT_TRUE(runner.set_effect_value(0, 4, 100));
        ASSERT_TRUE(runner.execute_script_on_image(work.data(), 16, 16));
        runner.finish();
        EXPECT_EQ(work.pixels(), want.pixels()) << c.angle;
    }
}

TEST(EffectRunner, HalfScaleLeavesAClearBorder) {
    std::vector<std::uint8_t> img(20 * 20 * 4, 255);
    EffectRunner runner;
    runner.initialize();
    ASSERT_TRUE(runner.add_effect(kEffectRotate, 1));
    ASSERT_TRUE(runner.set_effect_value(0, 4, 50));
    ASSERT_TRUE(runner.execute_script_on_image(img.data(), 20, 20));
    EXPECT_EQ(img[0], 0);
    EXPECT_EQ(img[(10 * 20 + 10) * 4 + 3], 255);
}

TEST(EffectRunner, RefusesCallsOutOfTurnAndUnknownEffects) {
    EffectRunner runner;
    std::uint8_t px[16] = {};
    EXPECT_FALSE(runner.add_effect(kEffectRotate, 1)); // not initialised
    EXPECT_FALSE(runner.load_script_from_file(kExample.c_str()));
    ASSERT_TRUE(runner.initialize());
    EXPECT_FALSE(runner.init_buffers()); // nothing loaded
    EXPECT_FALSE(runner.execute_script(px, 2, 2));
    EXPECT_FALSE(runner.add_effect(12345, 1));
    EXPECT_FALSE(runner.set_effect_value(0, 3, 1)); // no effect yet
    ASSERT_TRUE(runner.add_effect(kEffectRotate, 0));
    EXPECT_FALSE(runner.set_effect_value(1, 3, 1));
    EXPECT_FALSE(runner.set_effect_value(0, kEffectValueCount, 1));
    ASSERT_TRUE(runner.set_effect_value(0, 3, 90));
    EXPECT_FALSE(runner.execute_script_on_image(nullptr, 2, 2));
    EXPECT_FALSE(runner.execute_script_on_image(px, 0, 2));
    ASSERT_TRUE(runner.execute_script_on_image(px, 2, 2)); // the only effect is disabled
    runner.finish();
    EXPECT_FALSE(runner.execute_script_on_image(px, 2, 2));
}

TEST(ScriptEffects, TableNumbersAreUniqueAndDefaultsFitTheValues) {
    std::set<int> numbers;
    for (const ScriptEffect& e : script_effects()) {
        EXPECT_TRUE(numbers.insert(e.number).second) << e.name;
        EXPECT_EQ(find_script_effect(e.number), &e);
        EXPECT_NE(e.apply, nullptr);
        for (const EffectDefault& d : e.defaults)
            EXPECT_TRUE(d.value_number >= 0 && d.value_number < kEffectValueCount);
    }
    EXPECT_TRUE(numbers.count(kEffectRotate));
}

} // namespace
} // namespace vlm::kit
