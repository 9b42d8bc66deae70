#include "pen/tablet.h"

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "core/engine_state.h"
#include "pen/device.h"
#include "pen/event_stream.h"
#include "platform/window_origin.h"

namespace vlm::pen {

namespace {

constexpr int kResetPressure = 10;
constexpr int kPressureStep = 25;
constexpr int kFullPressure = 100;
constexpr int kResetDiscard = 1000; // queued packets a new stroke throws away at most

State& pen() { return g_engine.pen; }
bool has_context() { return pen().stream.fd >= 0; }
bool in_batch(unsigned int index) {
    return has_context() && index < static_cast<unsigned int>(pen().packet_count);
}

} // namespace

int scale_pressure(std::uint32_t pressure, float scale) {
    const float p = static_cast<float>(pressure) * scale;
    // Only a value beyond the axis maximum gets this far; it would not fit an int.
    if (p >= static_cast<float>(kFullPressure)) return kFullPressure;
    return static_cast<int>(p);
}

int init_tablet(void* window) {
    State& s = pen();
    s.window = window;
    const Source source =
        s.device_path[0] ? open_source(s.device_path, s.source_axes) : find_pen_device(kDeviceDir);
    if (source.fd < 0) return 0;
    const Axis p = source.axes.pressure;
    // The range is taken as unsigned, so a reversed axis wraps. An axis that cannot vary reports no
    // pressure at all (and 100 / 0 would scale nothing): treated as no pressure axis.
    const std::uint32_t range = static_cast<std::uint32_t>(p.maximum) - static_cast<std::uint32_t>(p.minimum);
    if (range == 0) {
        close(source.fd);
        return 0;
    }
    int width = 0, height = 0;
    platform::screen_size(width, height);
    attach_stream(s.stream, source.fd, source.axes, width, height); // forgets (and closes) an older one
    s.pressure_min = p.minimum;
    s.pressure_max = p.maximum;
    s.pressure_range = static_cast<int>(range);
    s.pressure_scale = 100.0f / static_cast<float>(range);
    return 1;
}

void close_tablet() { detach_stream(pen().stream); }

int set_tablet_origin() {
    State& s = pen();
    if (!has_context()) return 0;
    return platform::window_client_origin(s.window, s.origin_x, s.origin_y) ? 1 : 0;
}

void set_tablet_origin_at(int x, int y) {
    pen().origin_x = x;
    pen().origin_y = y;
}

void reset_tablet_pressure() {
    State& s = pen();
    s.last_pressure = kResetPressure;
    if (!has_context()) return;
    // Whatever the pen did before the stroke began is not part of it.
    for (int discarded = 0; discarded < kResetDiscard;) {
        pump_stream(s.stream);
        const int n = take_packets(s.stream, nullptr, kResetDiscard - discarded);
        if (n == 0) break;
        discarded += n;
    }
}

int read_tablet_packets() {
    State& s = pen();
    s.packet_count = 0;
    if (!has_context()) return 0;
    pump_stream(s.stream);
    s.packet_count = take_packets(s.stream, s.packets, kPacketBuffer);
    return s.packet_count;
}

int read_tablet_pressure(unsigned int index) {
    State& s = pen();
    if (!has_context()) return s.last_pressure;
    if (index < static_cast<unsigned int>(s.packet_count)) {
        const int p = std::max(scale_pressure(s.packets[index].pressure, s.pressure_scale), 1);
        s.last_pressure = p;
        return p;
    }
    // No packet: the last pressure stands in, and climbs towards full pressure for the next question.
    const int last = s.last_pressure;
    s.last_pressure = std::min(last + kPressureStep, kFullPressure);
    return last;
}

int read_raw_tablet_pressure(int index) {
    const State& s = pen();
    // Any packet of the buffer may be asked for, even one from an older batch, but never beyond it.
    if (!has_context() || index < 0 || index >= kPacketBuffer) return 0;
    return scale_pressure(s.packets[index].pressure, s.pressure_scale);
}

unsigned int packet_status(unsigned int index) { return in_batch(index) ? pen().packets[index].status : 0; }

int is_packet_invert(unsigned int index) { return (packet_status(index) & kStatusInvert) ? 1 : 0; }

int read_tablet_x(unsigned int index) {
    if (!in_batch(index)) return 0;
    // Wraps rather than overflows for a far-off origin.
    return static_cast<int>(static_cast<std::int64_t>(pen().packets[index].x) - pen().origin_x);
}

int read_tablet_y(unsigned int index) {
    if (!in_batch(index)) return 0;
    return static_cast<int>(static_cast<std::int64_t>(pen().packets[index].y) - pen().origin_y);
}

bool set_tablet_device(const char* path) {
    State& s = pen();
    if (!path || !*path) {
        s.device_path[0] = '\0';
        return true;
    }
    const std::size_t length = std::strlen(path);
    if (length >= sizeof s.device_path) return false;
    std::memcpy(s.device_path, path, length + 1);
    return true;
}

void set_tablet_axes(const Axes& axes) { pen().source_axes = axes; }

} // namespace vlm::pen
