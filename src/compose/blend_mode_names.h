#pragma once
// The catalogue of blend-mode names and ids. A layer's mode is given by name, matched exactly.
namespace vlm::compose {

inline constexpr int kBlendModeCount = 50; // ids 0..49; id 27 is not used
inline constexpr int kFirstAlphaMode = 28;
inline constexpr int kModeTexturize3 = 26;

struct BlendModeName {
    int id;
    const char* name;
};

// Every named mode, in id order.
extern const BlendModeName kBlendModeNames[49];

// The id of a mode name; an unknown (or null) name gives 0, Normal.
int blend_mode_id(const char* name);
// The name of an id, or null for an id without a mode.
const char* blend_mode_name(int id);

} // namespace vlm::compose
