#include "core/engine_state.h"

namespace vlm {

constinit Engine g_engine{};

} // namespace vlm
