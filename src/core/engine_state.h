#pragma once
// The one process-wide engine record. Every subsystem keeps its data in its own group; the record is
// constant-initialised when the library is loaded: zero, except where a group gives a load value.
#include "brush/state.h"
#include "compose/state.h"
#include "core/state.h"
#include "effects/state.h"
#include "imaging/state.h"
#include "io/state.h"
#include "mask/state.h"
#include "pen/state.h"
#include "undo/state.h"

namespace vlm {

struct Engine {
    core::CanvasState canvas;
    core::LayerTable layers;
    core::RandomState random;
    core::NewRgba new_rgba;
    core::HostState host;
    compose::State compose;
    mask::State mask;
    undo::State undo;
    brush::State brush;
    imaging::State imaging;
    effects::State effects;
    pen::State pen;
    io::State io;
};

extern Engine g_engine;

} // namespace vlm
