#pragma once
// Turns a pen device's input events, read without blocking from a file descriptor, into packets:
// status, position on the screen and raw pressure. Works on any descriptor that delivers input
// event records (a device, a pipe, a file of recorded events); knows nothing of the engine record.
#include "pen/state.h"

namespace vlm::pen {

// Takes over fd (which should be non-blocking) as the stream's source: the axes map onto a screen of
// out_width x out_height pixels (0 x 0: positions stay in device units from the axis minimum). On a
// device the current pen state is read first, so a pen already on the tablet is not missed.
void attach_stream(Stream& stream, int fd, const Axes& axes, int out_width, int out_height);
// Closes the source and forgets everything queued.
void detach_stream(Stream& stream);
// Reads the events available now until the queue holds a full batch; events beyond stay unread.
void pump_stream(Stream& stream);
// Moves up to max of the oldest queued packets to out (null: discards them); returns how many.
int take_packets(Stream& stream, Packet* out, int max);
// Position of an axis value on a screen extent: the axis range (values clamped into it) spread over
// extent pixels; with no extent, the value's offset from the axis minimum.
int map_axis(int value, Axis axis, int extent);

} // namespace vlm::pen
