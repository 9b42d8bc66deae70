#include "compose/blend_mode_names.h"

#include <cstring>

namespace vlm::compose {

const BlendModeName kBlendModeNames[49] = {
    {0, "Normal"},
    {1, "Multiply"},
    {2, "Screen"},
    {3, "Darken"},
    {4, "Lighten"},
    {5, "Difference"},
    {6, "Negation"},
    {7, "Exclusion"},
    {8, "Overlay"},
    {9, "Hard Light"},
    {10, "Soft Light"},
    {11, "Dodge"},
    {12, "Burn"},
    {13, "Reflect"},
    {14, "Glow"},
    {15, "Add"},
    {16, "Subtract"},
    {17, "Color"},
    {18, "Hard Color"},
    {19, "Colorize"},
    {20, "HSL Hue"},
    {21, "HSL Sat"},
    {22, "HSL Lum"},
    {23, "HSL Color"},
    {24, "Texturize"},
    {25, "Texturize2"},
    {26, "Texturize3"},
    {28, "Alpha Normal"},
    {29, "Alpha Filter"},
    {30, "Alpha Black Outline"},
    {31, "Alpha Outline Tint 1"},
    {32, "Alpha Outline Tint 2"},
    {33, "Alpha Invert"},
    {34, "Alpha Shader"},
    {35, "Alpha Shader Color"},
    {36, "Alpha Shader Texture2"},
    {37, "Alpha Highlight Texture2"},
    {38, "Alpha Smooth"},
    {39, "Alpha Smooth2"},
    {40, "Alpha Smooth Lum"},
    {41, "Alpha Smooth Lum2"},
    {42, "Alpha Smooth Lum3"},
    {43, "Alpha Smooth Lum4"},
    {44, "Alpha Smooth Lum5"},
    {45, "Alpha Overlay Outline"},
    {46, "Alpha Highlight"},
    {47, "Layer Mask"},
    {48, "Luminance Alpha"},
    {49, "Luminance Alpha Invert"},
};

int blend_mode_id(const char* name) {
    if (!name) return 0;
    for (const BlendModeName& m : kBlendModeNames)
        if (std::strcmp(m.name, name) == 0) return m.id;
    return 0;
}

const char* blend_mode_name(int id) {
    for (const BlendModeName& m : kBlendModeNames)
        if (m.id == id) return m.name;
    return nullptr;
}

} // namespace vlm::compose
