#include "brush/grit.h"

#include <algorithm>
#include <vector>

#include "core/engine_state.h"
#include "imaging/kit/channels.h"
#include "imaging/kit/effect_runner.h"
#include "imaging/kit/geometry.h"
#include "imaging/kit/image_reader.h"

namespace vlm::brush {
namespace {

// Script renderings are tiled over a square of this edge before windows are cut from it.
constexpr int kScriptTile = 600;

// A read position in a random array that wraps at the end instead of running off it.
class ArrayCursor {
public:
    ArrayCursor(const std::uint8_t* data, std::size_t length, std::int64_t start)
        : data_(data), length_(static_cast<std::int64_t>(length)) {
        index_ = ((start % length_) + length_) % length_;
    }
    std::uint8_t next() {
        const std::uint8_t v = data_[index_];
        if (++index_ == length_) index_ = 0;
        return v;
    }

private:
    const std::uint8_t* data_;
    std::int64_t length_;
    std::int64_t index_;
};

// Every dab buffer, buffer 0 first, filled with 255 and then given to `fill` with its index.
template <class Fill> void refill_dab_buffers(Fill&& fill) {
    Engine& e = g_engine;
    const std::size_t bytes = dab_buffer_bytes(e.canvas.max_brush);
    for (int k = 0; k < kDabBuffers; ++k) {
        std::uint8_t* buffer = e.brush.dab[k];
        if (!buffer) continue;
        std::fill_n(buffer, bytes, std::uint8_t{255});
        fill(buffer);
    }
}

// Copies a span x span window of a grey plane (clipped to the plane) into the top-left of a dab buffer,
// the window's corner drawn at random within the plane wherever there is room to move it.
void overlay_grey_window(std::uint8_t* buffer, const std::uint8_t* grey, int width, int height, int span) {
    const int m = g_engine.canvas.max_brush;
    const int ox = width - span > 0 ? core::rand_next() % (width - span) : 0;
    const int oy = height - span > 0 ? core::rand_next() % (height - span) : 0;
    kit::overlay_image(buffer, m, m, 1, m, grey + static_cast<std::size_t>(oy) * width + ox,
                       std::min(span, width - ox), std::min(span, height - oy), width, 0, 0, 1.0);
}

void finish_picture_grit() {
    Tool& t = g_engine.brush.tool;
    t.remaining_length = t.drawing_length;
    set_grit_position(kDabBuffers - 1, 0, 0);
}

// The script form: the rendering is tiled over a 600 x 600 picture and windows are cut from its grey.
void grit_from_script(kit::EffectRunner& runner, int span) {
    runner.init_buffers();
    const kit::ScriptHeader header = kit::script_header(runner.script());
    const int w = header.width, h = header.height;
    if (w < 1 || h < 1) return;
    std::vector<std::uint8_t> image, tiled;
    try {
        image.resize(static_cast<std::size_t>(w) * h * 4);
        tiled.resize(std::size_t{kScriptTile} * kScriptTile * 4);
    } catch (const std::bad_alloc&) {
        return;
    }
    runner.execute_script(image.data(), w, h);
    kit::swap_red_blue(image.data(), w, h, w * 4);
    for (int x = 0; x < kScriptTile; x += w)
        for (int y = 0; y < kScriptTile; y += h)
            kit::overlay_image(tiled.data(), kScriptTile, kScriptTile, 4, kScriptTile * 4, image.data(), w, h,
                               w * 4, x, y, 1.0);
    std::vector<std::uint8_t> grey;
    try {
        grey.resize(std::size_t{kScriptTile} * kScriptTile);
    } catch (const std::bad_alloc&) {
        return;
    }
    kit::grey_image(tiled.data(), kScriptTile, kScriptTile, 4, kScriptTile * 4, grey.data(), kScriptTile);
    refill_dab_buffers([&](std::uint8_t* buffer) {
        overlay_grey_window(buffer, grey.data(), kScriptTile, kScriptTile, span);
    });
    finish_picture_grit();
}

void grit_from_image(const char* source, int span) {
    kit::DecodedImage picture;
    if (!kit::read_image_file(source, picture)) return;
    const int w = picture.width, h = picture.height;
    std::vector<std::uint8_t> grey(static_cast<std::size_t>(w) * h);
    kit::grey_image(picture.pixels.data(), w, h, 4, w * 4, grey.data(), w);
    picture = kit::DecodedImage{};
    refill_dab_buffers([&](std::uint8_t* buffer) { overlay_grey_window(buffer, grey.data(), w, h, span); });
    finish_picture_grit();
}

} // namespace

std::size_t dab_buffer_bytes(int max_brush) {
    const std::size_t edge = static_cast<std::size_t>(std::max(max_brush, 0)) + kGritMargin;
    return edge * edge;
}

bool build_random_grit(std::uint8_t* buffer, int max_brush, int brush_size, const GritCells& cells,
                       const GritArrays& arrays, core::Generator& generator) {
    const std::size_t bytes = dab_buffer_bytes(max_brush);
    std::fill_n(buffer, bytes, std::uint8_t{255});
    const std::int64_t m = max_brush, span = std::int64_t{brush_size} + kGritMargin, c = cells.size;
    if (c < 1 || m < 1 || brush_size < 1 || !arrays.a || !arrays.b || !arrays.a_length || !arrays.b_length)
        return false;
    // The furthest byte the square reaches with row stride M.
    if ((span - 1) * m + span - 1 >= static_cast<std::int64_t>(bytes)) return false;

    // Both start offsets are scaled by the length of array A, as the stored grit has always been.
    const std::int64_t length = static_cast<std::int64_t>(arrays.a_length);
    const std::int64_t a_step = (length - 2 * c) / core::kRandMax;
    const std::int64_t b_step = (length - c) / core::kRandMax;
    for (std::int64_t row0 = 0; row0 < span; row0 += c) {
        ArrayCursor a(arrays.a, arrays.a_length, generator.next() * a_step);
        ArrayCursor b(arrays.b, arrays.b_length, generator.next() * b_step);
        const std::int64_t rows = std::min(c, span - row0);
        for (std::int64_t col0 = 0; col0 < span; col0 += c) {
            if (a.next() >= cells.cell_threshold) continue;
            const std::uint8_t value = b.next();
            // Pixels outside the square consume no byte, so only the part inside is walked.
            const std::int64_t cols = std::min(c, span - col0);
            for (std::int64_t i = 0; i < rows; ++i) {
                std::uint8_t* out = buffer + (row0 + i) * m + col0;
                for (std::int64_t j = 0; j < cols; ++j)
                    if (a.next() < cells.pixel_threshold) out[j] = value;
            }
        }
    }
    return true;
}

void build_tool_grit() {
    Engine& e = g_engine;
    Tool& t = e.brush.tool;
    const core::RandomState& r = e.random;
    const GritArrays arrays{r.grit_a.data, static_cast<std::size_t>(std::max(r.grit_a.length, 0)),
                            r.grit_b.data, static_cast<std::size_t>(std::max(r.grit_b.length, 0))};
    const GritCells cells{t.grit_cell_size, t.grit_cell_threshold, t.grit_pixel_threshold};
    core::Generator generator{r.generator};
    for (int k = 0; k < kDabBuffers; ++k) {
        set_grit_position(k, 0, 0);
        if (e.brush.dab[k])
            build_random_grit(e.brush.dab[k], e.canvas.max_brush, t.brush_size, cells, arrays, generator);
    }
    e.random.generator = generator.state;
    t.remaining_length = t.drawing_length;
}

void take_grit_from_picture(const char* source) {
    const int span = g_engine.brush.tool.brush_size + kGritMargin;
    // Pipes and devices are neither scripts nor pictures, and opening one could wait for ever.
    if (g_engine.canvas.max_brush < 1 || span < 1 || !kit::is_regular_file(source)) return;
    kit::EffectRunner runner;
    if (runner.initialize() && runner.load_script_from_file(source)) {
        grit_from_script(runner, span);
        runner.finish();
        return;
    }
    runner.finish();
    grit_from_image(source, span);
}

void set_grit_position(int buffer, int row, int col) { g_engine.brush.tool.grit = {true, buffer, row, col}; }

const std::uint8_t* current_grit() {
    const Engine& e = g_engine;
    const GritPosition& p = e.brush.tool.grit;
    if (!p.set || p.buffer < 0 || p.buffer >= kDabBuffers || !e.brush.dab[p.buffer]) return nullptr;
    if (p.row < 0 || p.row >= kGritMargin || p.col < 0 || p.col >= kGritMargin) return nullptr;
    return e.brush.dab[p.buffer] + static_cast<std::size_t>(p.row) * e.canvas.max_brush + p.col;
}

} // namespace vlm::brush
