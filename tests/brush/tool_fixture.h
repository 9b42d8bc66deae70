#pragma once
// Helpers of the brush tests: the whole-tool call with named arguments, the shape block and grit
// buffers as plain vectors, and small pictures written to files.
#include <cstdint>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "core/engine_state.h"
#include "imaging/kit/bmp_codec.h"
#include "velmora/velmora.h"

namespace vlm::brush::test {

const std::string kShapes = std::string(VLM_TEST_DATA_DIR) + "/shapes/";

struct ToolCall {
    float strength = 1.0f;
    int cell_size = 0;
    int cell_threshold = 0;
    int pixel_threshold = 0;
    int softness = 0;
    int drawing_length = 0;
    int invert = 0;
    const char* grit_source = "";
    const char* shape_path = "";
    int angle = 0;

    void operator()() const {
        VLM_SetTool(strength, cell_size, cell_threshold, pixel_threshold, softness, 0, drawing_length, 0, 0,
                    0, 0, invert, 0, grit_source, shape_path, angle);
    }
};

// The S x S block of the shape plane, row by row.
inline std::vector<int> shape_block(int size) {
    const int m = g_engine.canvas.max_brush;
    std::vector<int> out;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) out.push_back(g_engine.brush.shape[y * m + x]);
    return out;
}

// The whole shape plane, to check what lies outside the S x S block.
inline std::vector<std::uint16_t> shape_plane() {
    const int m = g_engine.canvas.max_brush;
    return {g_engine.brush.shape, g_engine.brush.shape + m * m};
}

// Every byte of every dab buffer, buffer 0 first.
inline std::vector<std::vector<std::uint8_t>> dab_buffers() {
    const std::size_t edge = static_cast<std::size_t>(g_engine.canvas.max_brush) + 25;
    std::vector<std::vector<std::uint8_t>> out;
    for (const std::uint8_t* b : g_engine.brush.dab) out.emplace_back(b, b + edge * edge);
    return out;
}

inline void write_bytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

inline void write_text(const std::string& path, const std::string& text) { std::ofstream(path) << text; }

// A 24-bit bitmap whose pixel (x, y) is grey(x, y) in all three channels.
inline void write_grey_bmp(const std::string& path, int width, int height,
                           const std::function<int(int, int)>& grey) {
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(width) * height * 4);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = &rgba[(static_cast<std::size_t>(y) * width + x) * 4];
            p[0] = p[1] = p[2] = static_cast<std::uint8_t>(grey(x, y));
            p[3] = 255;
        }
    write_bytes(path, kit::encode_bmp(rgba.data(), width, height, width * 4, 24));
}

} // namespace vlm::brush::test
