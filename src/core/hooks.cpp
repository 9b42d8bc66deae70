#include "core/hooks.h"

namespace vlm::core {

namespace {
constinit Hooks g_hooks{};
}

Hooks& hooks() { return g_hooks; }

} // namespace vlm::core
