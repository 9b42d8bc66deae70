#pragma once
// The display-changed flag of the engine state, fed by the display watch.
namespace vlm::host {

// Folds pending screen-change notices into the flag, then reports and clears it.
bool take_display_changed();

} // namespace vlm::host
