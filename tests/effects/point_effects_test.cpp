#include <gtest/gtest.h>

#include <vector>

#include "core/engine_state.h"
#include "effect_pictures.h"
#include "support/engine_fixture.h"

namespace vlm::effects::test {
namespace {

struct PointCase {
    const char* name;
    EffectArgs args;
    Pixel in, out;
};

// Options are listed from option1, so option3 is the third entry.
const PointCase kPointCases[] = {
    {"Grayscale", args({}), {30, 60, 90, 200}, {60, 60, 60, 200}},
    {"Grayscale", args({}), {255, 255, 254, 0}, {254, 254, 254, 0}},
    {"Invert", args({}), {0, 100, 255, 7}, {255, 155, 0, 7}},
    {"Basic Threshold", args({500}), {127, 127, 127, 9}, {255, 255, 255, 9}},
    {"Basic Threshold", args({500}), {128, 126, 124, 9}, {0, 0, 0, 9}},
    {"Basic Threshold", args({0}), {0, 0, 0, 5}, {255, 255, 255, 5}},
    {"Hyper Contrast", args({0}), {200, 100, 50, 77}, {202, 100, 49, 77}},
    {"Hyper Contrast", args({500}), {200, 100, 50, 77}, {255, 71, 0, 77}},
    {"Hyper Contrast", args({500}), {30, 220, 128, 1}, {0, 255, 128, 1}},
    {"Hyper Contrast", args({1000}), {10, 0, 0, 50}, {0, 0, 0, 50}}, // divides by 1, not 0
    // Colour (255, 127, 0); alpha 51 or less clears, 204 or more stays (or becomes opaque).
    {"Alpha Edge Color", args({1000, 500, 0, 200, 800}), {1, 2, 3, 51}, {1, 2, 3, 0}},
    {"Alpha Edge Color", args({1000, 500, 0, 200, 800}), {1, 2, 3, 52}, {255, 127, 0, 52}},
    {"Alpha Edge Color", args({1000, 500, 0, 200, 800}, {0, 0, 1}), {1, 2, 3, 52}, {255, 127, 0, 255}},
    {"Alpha Edge Color", args({1000, 500, 0, 200, 800}), {1, 2, 3, 203}, {255, 127, 0, 203}},
    {"Alpha Edge Color", args({1000, 500, 0, 200, 800}), {1, 2, 3, 204}, {1, 2, 3, 204}},
    {"Alpha Edge Color", args({1000, 500, 0, 200, 800}, {0, 0, 1}), {1, 2, 3, 204}, {1, 2, 3, 255}},
    {"Alpha Edge Color", args({1000, 500, 0, 200, 800}, {0, 0, 2}), {1, 2, 3, 52}, {255, 127, 0, 52}},
    {"Alpha Edge Color", args({2000, -500, 300, 0, 1000}), {9, 9, 9, 100}, {255, 0, 76, 100}},
    {"Channel", args({}, {0, 0, 1}), {200, 0, 0, 9}, {255, 0, 0, 200}},
    {"Channel", args({}, {0, 0, 1, 1}), {200, 0, 0, 9}, {0, 0, 0, 0}}, // the second step sees G = 0
    {"Channel", args({}, {0, 0, 1, 0, 1}), {200, 0, 50, 9}, {0, 0, 0, 0}},
    {"Channel", args({}, {0, 0, 0, 1}), {10, 20, 30, 40}, {0, 255, 0, 20}},
    {"Channel", args({}, {0, 0, 0, 0, 1}), {10, 20, 0, 40}, {0, 0, 0, 0}},
    {"Channel", args({}), {10, 20, 30, 40}, {10, 20, 30, 40}},
    {"Channel", args({}, {0, 0, 2}), {10, 20, 30, 40}, {10, 20, 30, 40}},
    {"Channel", args({}, {0, 0, 0x101}), {10, 20, 30, 40}, {255, 0, 0, 10}},
    {"Adjust RGBA", args({500, 500, 500, 500}), {33, 200, 66, 244}, {32, 200, 65, 243}},
    {"Adjust RGBA", args({0, 1000, 750, 250}), {77, 77, 100, 100}, {0, 255, 177, 50}},
    // lo 51, lo value 76.5, hi 153, hi value 229.5; R, G and A are clamped, B is not.
    {"Clamp", args({200, 300, 600, 900}, {0, 0, 1, 1, 0, 1}), {10, 154, 10, 51}, {76, 229, 10, 51}},
    {"Clamp", args({200, 300, 600, 900}, {0, 0, 1, 1, 0, 1}), {52, 153, 200, 200}, {52, 153, 200, 229}},
    {"Clamp", args({500, 1000, 400, 100}, {0, 0, 1}), {10, 0, 0, 0}, {25, 0, 0, 0}}, // low, then high
    {"Clamp", args({0, 0, 0, 2000}, {0, 0, 0, 0, 0, 1}), {0, 0, 0, 1}, {0, 0, 0, 255}},
    {"Adjust Lab", args({1000, 500, 500}), {128, 128, 128, 9}, {255, 255, 255, 9}},
    {"Adjust Lab", args({0, 500, 500}), {200, 100, 50, 9}, {0, 0, 0, 9}},
};

TEST(PointEffects, TransformEachPixel) {
    for (const PointCase& c : kPointCases) {
        // Both pixels of a chained run read the destination, which the runner does not refill.
        for (int chain : {0, 1}) {
            Pictures pic(2, 1);
            pic.set(chain ? 1 : 0, 0, c.in);
            pic.set(chain ? 0 : 1, 0, {0, 0, 0, 0});
            if (chain) {
                std::copy(pic.src.begin() + 4, pic.src.begin() + 8, pic.dst.begin());
                std::copy(pic.src.begin(), pic.src.begin() + 4, pic.dst.begin() + 4);
            }
            EffectArgs a = c.args;
            a.chain = chain;
            pic.run(c.name, a);
            EXPECT_EQ(pic.out(0, 0), c.out) << c.name << " chain " << chain;
        }
    }
}

class Fader : public vlm::test::EngineTest {};

TEST_F(Fader, ScalesByTheProductOfTwoRamps) {
    // Horizontal factor 1, 0.5, 0 across; vertical 1 then 0.5 down.
    Pictures pic(3, 2);
    pic.fill({255, 255, 255, 200});
    pic.run("Fader", args({500, 250, 500, 0}, {0, 0, 0, 0, 1, 1}));
    const int lightness[2][3] = {{255, 127, 0}, {127, 63, 0}};
    const int alpha[2][3] = {{200, 100, 0}, {100, 50, 0}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            const int l = lightness[y][x];
            EXPECT_EQ(pic.out(x, y), (Pixel{l, l, l, alpha[y][x]})) << x << "," << y;
        }

    // Saturation only: a grey has none to scale; factors above 1 push alpha to its limit.
    pic.run("Fader", args({1000, 1000, 1000, 1000}, {0, 0, 0, 1, 0, 1}));
    EXPECT_EQ(pic.out(2, 1), (Pixel{255, 255, 255, 255}));
    pic.run("Fader", args({0, 0, 0, 0}));
    EXPECT_EQ(pic.out(1, 1), (Pixel{255, 255, 255, 200})); // nothing chosen: the copy
}

TEST_F(Fader, OneColumnOrRowHoldsTheStartingFactor) {
    Pictures pic(1, 3);
    pic.fill({0, 0, 0, 200});
    pic.run("Fader", args({250, 1000, 500, 0}, {0, 0, 0, 0, 0, 1}));
    // Vertical 0.5, 1.25, 2 down the column; the single column's factor is 2 x V3 = 1.
    EXPECT_EQ(pic.out(0, 0).a, 100);
    EXPECT_EQ(pic.out(0, 1).a, 250);
    EXPECT_EQ(pic.out(0, 2).a, 255); // held to a byte
}

class FaderOnLayer : public vlm::test::CanvasTest {};

TEST_F(FaderOnLayer, KeepsToTheLayersDataExtents) {
    VLM_CreateLayer(2, kWidth, kHeight);
    VLM_SetLayer(2);
    Pictures pic(kWidth, kHeight);
    pic.fill({9, 9, 9, 180});
    const EffectArgs fade_out = args({0, 0, 0, 0}, {0, 0, 1, 0, 0, 1});
    pic.run("Fader", fade_out); // a transparent layer has no extents: nothing fades
    EXPECT_EQ(pic.out(5, 5).a, 180);

    std::vector<std::uint16_t> plane(static_cast<std::size_t>(kWidth) * kHeight * 4, 0);
    for (int y = 3; y <= 4; ++y)
        for (int x = 2; x <= 5; ++x) plane[(static_cast<std::size_t>(y) * kWidth + x) * 4 + 3] = 0xFFFF;
    VLM_SetLayerData(plane.data(), 2);
    pic.run("Fader", fade_out);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            ASSERT_EQ(pic.out(x, y).a, x >= 2 && x <= 5 && y >= 3 && y <= 4 ? 0 : 180) << x << "," << y;
}

} // namespace
} // namespace vlm::effects::test
