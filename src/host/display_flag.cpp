#include "host/display_flag.h"

#include "core/engine_state.h"
#include "platform/display.h"

namespace vlm::host {

bool take_display_changed() {
    if (platform::poll_display_changed()) g_engine.host.display_changed = 1;
    const bool changed = g_engine.host.display_changed != 0;
    g_engine.host.display_changed = 0;
    return changed;
}

namespace {

// Library load: the display watch starts with the library and always lets the load succeed; it is
// closed again when the library is unloaded so that no connection outlives the code that owns it.
__attribute__((constructor)) void on_library_load() { platform::open_display_watch(); }
__attribute__((destructor)) void on_library_unload() { platform::close_display_watch(); }

} // namespace

} // namespace vlm::host
