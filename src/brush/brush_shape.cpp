#include "brush/brush_shape.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

#include "core/engine_state.h"
#include "core/hooks.h"
#include "core/memory.h"
#include "imaging/kit/channels.h"
#include "imaging/kit/effect_runner.h"
#include "imaging/kit/image_reader.h"
#include "imaging/kit/resize.h"

namespace vlm::brush {
namespace {

constexpr int kRotateEffect = 51;
constexpr int kRotateAngleValue = 3;
constexpr int kRotateScaleValue = 4;
constexpr const char* kShapeBlurEffect = "Value Blur";

using Block = std::unique_ptr<std::uint8_t[]>;

Block new_block(std::size_t bytes) { return Block(core::x_NewCharUndoReduce(bytes)); }

std::size_t rgba_bytes(int width, int height) {
    return static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4;
}

void release_source() {
    ShapeSource& s = g_engine.brush.source;
    core::free_block(s.pixels);
    s.width = 0;
    s.height = 0;
}

// Takes ownership of a picture as the cached source, with the name it came from.
void keep_source(Block pixels, int width, int height, const char* path, std::size_t length) {
    ShapeSource& s = g_engine.brush.source;
    s.pixels = pixels.release();
    s.width = width;
    s.height = height;
    std::memcpy(s.name, path, length + 1);
}

// Whether the file is an effect script; if so, renders it into the cache (R, G, B, A order) when memory
// allows. A script that loaded is never read as a picture, whatever happens after.
bool load_script_source(const char* path, std::size_t length) {
    kit::EffectRunner runner;
    if (!runner.initialize()) return false;
    const bool script = runner.load_script_from_file(path);
    if (script) {
        runner.init_buffers();
        const kit::ScriptHeader header = kit::script_header(runner.script());
        const int w = header.width, h = header.height;
        Block pixels = w > 0 && h > 0 ? new_block(rgba_bytes(w, h)) : nullptr;
        // A rendering that fails would leave the picture unwritten: such a script gives no shape.
        if (pixels && runner.execute_script(pixels.get(), w, h)) {
            kit::swap_red_blue(pixels.get(), w, h, w * 4);
            keep_source(std::move(pixels), w, h, path, length);
        }
    }
    runner.finish();
    return script;
}

void load_picture_source(const char* path, std::size_t length) {
    kit::DecodedImage picture;
    if (!kit::read_image_file(path, picture)) return;
    Block pixels = new_block(picture.pixels.size());
    if (!pixels) return;
    std::memcpy(pixels.get(), picture.pixels.data(), picture.pixels.size());
    keep_source(std::move(pixels), picture.width, picture.height, path, length);
}

// Turns the cached picture in place about its centre; the rotation runs on every load.
void rotate_source(int angle) {
    ShapeSource& s = g_engine.brush.source;
    kit::EffectRunner runner;
    if (runner.initialize()) {
        runner.add_effect(kRotateEffect, 1);
        runner.set_effect_value(0, kRotateAngleValue, angle);
        runner.set_effect_value(0, kRotateScaleValue, 100);
        runner.execute_script_on_image(s.pixels, s.width, s.height);
        runner.finish();
    }
    s.angle = angle;
}

// Loads and rotates the shape file into the cache; the cache stays empty when nothing usable was read.
void load_source(const char* path, std::size_t length, int angle, ShapeRules rules) {
    // Pipes and devices are neither scripts nor pictures, and opening one could wait for ever.
    if (!kit::is_regular_file(path)) return;
    const bool script = rules == ShapeRules::Current && load_script_source(path, length);
    if (!script) load_picture_source(path, length);
    if (g_engine.brush.source.pixels) rotate_source(angle);
}

// Resamples the cached picture to S x S into `work`; non-zero on success.
int fit_source(const ShapeSource& s, int size, int blur, ShapeRules rules, std::uint8_t* work) {
    const int stride = s.width * 4, out_stride = size * 4;
    if (rules == ShapeRules::Original) {
        const bool tiny = s.width < 5 || s.height < 5 || size < 5;
        return kit::resize_image(s.pixels, s.width, s.height, stride, work, size, size, out_stride, 4,
                                 tiny ? kit::kFilterBicubic : kit::kFilterLanczos3);
    }
    // Only the width decides between shrinking and enlarging.
    const bool shrinking = size < s.width;
    if (blur <= 0) {
        return kit::resize_image(s.pixels, s.width, s.height, stride, work, size, size, out_stride, 4,
                                 shrinking ? kit::kFilterAreaAverage : kit::kFilterLanczos3);
    }
    // The cache itself is never blurred.
    Block copy = new_block(rgba_bytes(s.width, s.height));
    if (!copy) return 0;
    std::memcpy(copy.get(), s.pixels, rgba_bytes(s.width, s.height));
    blur_shape_picture(copy.get(), s.width, s.height, blur);
    return shrinking
               ? kit::decimate_image(copy.get(), s.width, s.height, stride, work, size, size, out_stride, 4,
                                     1)
               : kit::resample_image(copy.get(), s.width, s.height, stride, work, size, size, out_stride, 4);
}

// The image shape from the cached picture; false when it could not be made (the caller draws the round
// shape instead).
bool draw_image_shape(ShapeRules rules) {
    Engine& e = g_engine;
    Tool& t = e.brush.tool;
    const ShapeSource& s = e.brush.source;
    const int size = t.brush_size, m = e.canvas.max_brush;
    Block work = new_block(rgba_bytes(size, size));
    Block grey = work ? new_block(static_cast<std::size_t>(size) * size) : nullptr;
    if (!work || !grey) return false;
    t.remaining_length = t.drawing_length;
    if (!fit_source(s, size, t.shape_blur, rules, work.get())) return false;
    if (!kit::grey_image(work.get(), size, size, 4, size * 4, grey.get(), size)) return false;
    const double strength = t.shape_strength;
    for (int y = 0; y < size; ++y) {
        std::uint16_t* row = e.brush.shape + static_cast<std::size_t>(y) * m;
        const std::uint8_t* g = grey.get() + static_cast<std::size_t>(y) * size;
        for (int x = 0; x < size; ++x) row[x] = coverage((g[x] * 256) * strength);
    }
    return true;
}

// Steps 3 to 6 of a rebuild: the cache check, loading and fitting. Any failure in there is silent.
bool try_image_shape(const char* path, std::size_t length, int angle, ShapeRules rules) {
    ShapeSource& s = g_engine.brush.source;
    const bool hit = s.pixels && std::strcmp(s.name, path) == 0 && s.angle == angle;
    try {
        if (!hit) {
            release_source();
            load_source(path, length, angle, rules);
        }
        return s.pixels && draw_image_shape(rules);
    } catch (...) {
        // A picture that failed half-way is not kept: the next call loads it afresh.
        if (!hit) release_source();
        return false;
    }
}

} // namespace

std::uint16_t coverage(double value) {
    if (!(value > 0)) return 0;
    if (value >= 65535) return 65535;
    return static_cast<std::uint16_t>(value);
}

void draw_round_shape(std::uint16_t* plane, int stride, const RoundShape& shape, ShapeRules rules) {
    const int size = shape.size;
    const double r = size * 0.5;
    const double soft = shape.edge_softness / 255.0 * r;
    const double inner = r - soft;
    const int half = size / 2;
    const double strength = shape.strength;
    for (int i = 0; i < size; ++i) {
        for (int j = 0; j < size; ++j) {
            const double dx = rules == ShapeRules::Current ? j + 0.5 - r : j - half;
            const double dy = rules == ShapeRules::Current ? i + 0.5 - r : i - half;
            const double d = std::sqrt(dx * dx + dy * dy);
            if (d > r) continue;
            double v = 65535;
            if (shape.edge_softness != 0 && d > inner)
                v = std::clamp(65535 * (soft - (d - inner)) / soft, 0.0, 65535.0);
            if (shape.invert) v = std::fabs(v - 65535);
            // The disc is symmetric, so it is written column-major.
            plane[static_cast<std::size_t>(j) * stride + i] = coverage(v * strength);
        }
    }
}

void set_brush_shape(const char* path, int angle, ShapeRules rules) {
    Engine& e = g_engine;
    const Tool& t = e.brush.tool;
    const int m = e.canvas.max_brush;
    if (!e.brush.shape || m < 1) return;
    std::fill_n(e.brush.shape, static_cast<std::size_t>(m) * m, std::uint16_t{0});
    if (t.brush_size < 1 || t.brush_size > m) return;

    // The cache keeps names of fewer than 1024 bytes; a longer path cannot be a shape file.
    const std::size_t length = path ? strnlen(path, kShapeNameBytes) : 0;
    if (length >= 2 && length < kShapeNameBytes && try_image_shape(path, length, angle, rules)) return;
    draw_round_shape(e.brush.shape, m, {t.brush_size, t.edge_softness, t.invert_shape != 0, t.shape_strength},
                     rules);
}

void unload_brush_shape() { release_source(); }

void blur_shape_picture(std::uint8_t* rgba, int width, int height, int blur) {
    const auto run = core::hooks().run_effect_on;
    if (!run) return;
    // With value 1 at 0 only a pixel brighter than the one before it along a pass is blended, keeping
    // (100 - blur) / 100 of itself; a weight of 0 (blur 100) leaves it alone.
    const int value2 = static_cast<int>((100u - static_cast<std::uint32_t>(blur)) * 10u); // wraps as ints did
    const int values[6] = {0, value2, 0, 0, 0, 0};
    run(rgba, rgba, width, height, kShapeBlurEffect, values);
}

} // namespace vlm::brush
