#pragma once
// The tablet as the host sees it: one open pen device, batches of packets pulled by polling, and the
// per-packet answers (pressure 1..100, client position, status, eraser end) over the engine record.
#include "pen/state.h"

namespace vlm::pen {

inline constexpr const char* kDeviceDir = "/dev/input";

// Opens the host's chosen source, or else searches kDeviceDir; 1 when a tablet with a usable
// pressure axis is open (replacing one opened before), 0 when none was found (an open one stays).
int init_tablet(void* window);
void close_tablet();
// Takes the window's client-area position from the display as the origin; 1 when it was updated.
int set_tablet_origin();
void set_tablet_origin_at(int x, int y);
void reset_tablet_pressure();
int read_tablet_packets();
int read_tablet_pressure(unsigned int index);
int read_raw_tablet_pressure(int index);
int is_packet_invert(unsigned int index);
unsigned int packet_status(unsigned int index);
int read_tablet_x(unsigned int index);
int read_tablet_y(unsigned int index);
// The source the next init_tablet opens instead of searching (null or empty: search again); false
// when the path does not fit.
bool set_tablet_device(const char* path);
void set_tablet_axes(const Axes& axes);

// Scales a raw pressure by the stored scale: trunc(pressure * scale) in single precision, at most 100.
int scale_pressure(std::uint32_t pressure, float scale);

} // namespace vlm::pen
