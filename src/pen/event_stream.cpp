#include "pen/event_stream.h"

#include <linux/input.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstring>

#include "pen/evdev_bits.h"

namespace vlm::pen {

static_assert(sizeof(input_event) == kRawEventBytes, "input event records are 24 bytes on this system");

namespace {

constexpr int kToolKeys = BTN_TOOL_LENS - BTN_TOOL_PEN + 1;
constexpr std::uint32_t kEraserBit = 1u << (BTN_TOOL_RUBBER - BTN_TOOL_PEN);

struct ButtonKey {
    int code;
    std::uint32_t status;
};
constexpr ButtonKey kButtonKeys[] = {{BTN_TOUCH, kStatusTip},
                                     {BTN_STYLUS, kStatusButton1},
                                     {BTN_STYLUS2, kStatusButton2},
                                     {BTN_STYLUS3, kStatusButton3}};

std::uint32_t tool_bits(const std::uint8_t* key_bits) {
    std::uint32_t tools = 0;
    for (int i = 0; i < kToolKeys; ++i)
        if (has_bit(key_bits, BTN_TOOL_PEN + i)) tools |= 1u << i;
    return tools;
}

std::uint32_t button_bits(const std::uint8_t* key_bits) {
    std::uint32_t buttons = 0;
    for (const ButtonKey& b : kButtonKeys)
        if (has_bit(key_bits, b.code)) buttons |= b.status;
    return buttons;
}

// Reads the pen's present values from a device; a source that is no device keeps what it has.
void resynchronise(Stream& s) {
    input_absinfo info{};
    if (ioctl(s.fd, EVIOCGABS(ABS_X), &info) == 0) s.x = info.value;
    if (ioctl(s.fd, EVIOCGABS(ABS_Y), &info) == 0) s.y = info.value;
    if (ioctl(s.fd, EVIOCGABS(ABS_PRESSURE), &info) == 0) s.pressure = info.value;
    std::uint8_t keys[kKeyBitBytes] = {};
    if (ioctl(s.fd, EVIOCGKEY(sizeof keys), keys) >= 0) {
        s.tools_down = tool_bits(keys);
        s.buttons_down = button_bits(keys);
    }
}

void queue_frame(Stream& s) {
    Packet p{};
    p.status = s.buttons_down;
    if (s.tools_down & kEraserBit) p.status |= kStatusInvert;
    if (s.reports_tools && s.tools_down == 0) p.status |= kStatusOutOfProximity;
    if (s.lost) p.status |= kStatusQueueError;
    p.x = map_axis(s.x, s.x_axis, s.out_width);
    p.y = map_axis(s.y, s.y_axis, s.out_height);
    p.pressure = static_cast<std::uint32_t>(s.pressure);
    // Like a tablet driver, only a change of what a packet carries makes a packet (tilt, serial
    // numbers and the like do not).
    if (s.has_last && std::memcmp(&p, &s.last, sizeof p) == 0) return;
    s.queue[(s.queue_head + s.queue_count) % kPacketBuffer] = p;
    ++s.queue_count;
    s.last = p;
    s.has_last = 1;
    s.lost = 0;
}

void apply(Stream& s, const input_event& ev) {
    if (ev.type == EV_SYN && ev.code == SYN_DROPPED) {
        s.dropping = 1;
        return;
    }
    if (ev.type == EV_SYN && ev.code == SYN_REPORT) {
        if (s.dropping) {
            // The values between the loss and this report are incomplete: take the device's own.
            s.dropping = 0;
            s.lost = 1;
            resynchronise(s);
        }
        queue_frame(s);
        return;
    }
    if (s.dropping) return;
    if (ev.type == EV_ABS) {
        if (ev.code == ABS_X)
            s.x = ev.value;
        else if (ev.code == ABS_Y)
            s.y = ev.value;
        else if (ev.code == ABS_PRESSURE)
            s.pressure = ev.value;
    } else if (ev.type == EV_KEY && ev.code >= BTN_TOOL_PEN && ev.code <= BTN_TOOL_LENS) {
        const std::uint32_t bit = 1u << (ev.code - BTN_TOOL_PEN);
        s.tools_down = ev.value ? s.tools_down | bit : s.tools_down & ~bit;
        s.reports_tools = 1;
    } else if (ev.type == EV_KEY) {
        for (const ButtonKey& b : kButtonKeys)
            if (ev.code == b.code)
                s.buttons_down = ev.value ? s.buttons_down | b.status : s.buttons_down & ~b.status;
    }
}

} // namespace

int map_axis(int value, Axis axis, int extent) {
    if (axis.maximum < axis.minimum) return 0;
    const std::int64_t offset =
        static_cast<std::int64_t>(std::clamp(value, axis.minimum, axis.maximum)) - axis.minimum;
    if (extent <= 0) return static_cast<int>(std::min<std::int64_t>(offset, INT_MAX));
    const std::int64_t span = static_cast<std::int64_t>(axis.maximum) - axis.minimum + 1;
    return static_cast<int>(offset * extent / span);
}

void attach_stream(Stream& s, int fd, const Axes& axes, int out_width, int out_height) {
    detach_stream(s);
    s.fd = fd;
    s.x_axis = axes.x;
    s.y_axis = axes.y;
    s.out_width = out_width;
    s.out_height = out_height;
    std::uint8_t keys[kKeyBitBytes] = {};
    if (ioctl(fd, EVIOCGBIT(EV_KEY, sizeof keys), keys) >= 0) s.reports_tools = tool_bits(keys) != 0;
    resynchronise(s);
}

void detach_stream(Stream& s) {
    if (s.fd >= 0) close(s.fd);
    s = Stream{};
}

void pump_stream(Stream& s) {
    if (s.fd < 0) return;
    while (s.queue_count < kPacketBuffer) {
        if (s.raw_end - s.raw_begin >= kRawEventBytes) {
            input_event ev;
            std::memcpy(&ev, s.raw + s.raw_begin, sizeof ev);
            s.raw_begin += kRawEventBytes;
            apply(s, ev);
            continue;
        }
        // Keep a partial record at the front and read behind it.
        std::memmove(s.raw, s.raw + s.raw_begin, static_cast<std::size_t>(s.raw_end - s.raw_begin));
        s.raw_end -= s.raw_begin;
        s.raw_begin = 0;
        const ssize_t n = read(s.fd, s.raw + s.raw_end, sizeof s.raw - static_cast<std::size_t>(s.raw_end));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return; // nothing more now, the end of a recording, or the device went away
        s.raw_end += static_cast<int>(n);
    }
}

int take_packets(Stream& s, Packet* out, int max) {
    const int n = std::clamp(s.queue_count, 0, std::max(max, 0));
    for (int i = 0; i < n; ++i) {
        if (out) out[i] = s.queue[s.queue_head];
        s.queue_head = (s.queue_head + 1) % kPacketBuffer;
    }
    s.queue_count -= n;
    return n;
}

} // namespace vlm::pen
