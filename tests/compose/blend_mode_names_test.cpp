#include <gtest/gtest.h>

#include <set>
#include <string>

#include "compose/blend_mode_names.h"

namespace vlm::compose {
namespace {

TEST(BlendModeNames, EveryNameMapsToItsIdAndBack) {
    std::set<int> ids;
    for (const BlendModeName& m : kBlendModeNames) {
        EXPECT_EQ(blend_mode_id(m.name), m.id) << m.name;
        EXPECT_STREQ(blend_mode_name(m.id), m.name);
        ids.insert(m.id);
    }
    EXPECT_EQ(ids.size(), 49u);
    EXPECT_EQ(ids.count(27), 0u);
    EXPECT_EQ(*ids.rbegin(), 49);
}

TEST(BlendModeNames, UnknownNamesAreNormal) {
    for (const char* name : {"normal", "Multiply ", "", "Texturize4", static_cast<const char*>(nullptr)})
        EXPECT_EQ(blend_mode_id(name), 0) << (name ? name : "(null)");
    EXPECT_EQ(blend_mode_name(27), nullptr);
    EXPECT_EQ(blend_mode_name(50), nullptr);
}

} // namespace
} // namespace vlm::compose
