#pragma once
// Finding and opening the pen device.
#include "pen/state.h"

namespace vlm::pen {

struct Source {
    int fd = -1; // open, non-blocking; -1 when nothing usable was found
    Axes axes;
};

// Opens path as a pen source. An input device must have a pressure axis and reports its own axis
// ranges; anything else readable (a FIFO, a file of recorded input events) takes fallback's.
Source open_source(const char* path, const Axes& fallback);
// Searches dir for input devices named event<N>, in the order of N: the first pen (a device with a
// pen tool and a pressure axis) wins, else the first device with a pressure axis.
Source find_pen_device(const char* dir);

} // namespace vlm::pen
