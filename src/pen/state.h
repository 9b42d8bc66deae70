#pragma once
// Data of the tablet reader: the open pen device and the packets its event stream has produced, the
// batch the host pulled last, the pressure scale and the host's choice of device.
#include <cstdint>

namespace vlm::pen {

inline constexpr int kPacketBuffer = 256;   // one batch, and the packets queued ahead of it
inline constexpr int kRawEventBytes = 24;   // one input event record on a 64-bit system
inline constexpr int kRawBufferEvents = 64; // input events read per system call at most
inline constexpr int kDevicePathBytes = 4096;
inline constexpr int kLoadPressure = 100;

// Status word bits.
inline constexpr std::uint32_t kStatusOutOfProximity = 0x01; // the pen left the tablet's range
inline constexpr std::uint32_t kStatusQueueError = 0x02;     // events were lost before this packet
inline constexpr std::uint32_t kStatusInvert = 0x10;         // the eraser end is in use
inline constexpr std::uint32_t kStatusTip = 0x100;           // the pen tip touches the tablet
inline constexpr std::uint32_t kStatusButton1 = 0x200;       // barrel buttons, lowest first
inline constexpr std::uint32_t kStatusButton2 = 0x400;
inline constexpr std::uint32_t kStatusButton3 = 0x800;

struct Packet {
    std::uint32_t status;
    std::int32_t x, y; // screen pixels
    std::uint32_t pressure;
};
static_assert(sizeof(Packet) == 16);

struct Axis {
    int minimum, maximum;
};

struct Axes {
    Axis x, y, pressure;
};

// The pen device read as a stream of input events. Events change the pen's state one value at a
// time; each report closes a frame, and a frame that changes status, position or pressure becomes a
// packet in the queue.
struct Stream {
    int fd = -1; // -1: no tablet
    Axis x_axis, y_axis;
    int out_width, out_height; // the screen the axes map onto; 0: no screen known, device units
    // Bytes read but not yet taken as events (a pipe may deliver part of a record).
    std::uint8_t raw[kRawBufferEvents * kRawEventBytes];
    int raw_begin, raw_end;
    // The pen as the events so far describe it, in device units.
    int x, y, pressure;
    std::uint32_t tools_down;   // bit n: tool key BTN_TOOL_PEN + n held
    std::uint32_t buttons_down; // the status bits of the tip and barrel buttons held
    std::uint8_t reports_tools; // the source has tool keys, so an empty tool set means "away"
    std::uint8_t dropping;      // events were lost: skip to the next report, then resynchronise
    std::uint8_t lost;          // the next packet carries the queue-error bit
    std::uint8_t has_last;
    Packet last; // the newest packet queued, to keep unchanged frames out of the queue
    Packet queue[kPacketBuffer];
    int queue_head, queue_count;
};

struct State {
    void* window; // the host window given to VLM_InitTablet
    int pressure_min, pressure_max;
    int pressure_range; // maximum - minimum, wrapping
    float pressure_scale;
    int last_pressure = kLoadPressure;
    int origin_x, origin_y;
    Packet packets[kPacketBuffer];
    int packet_count;
    Stream stream;
    // Set by the host: a device (or FIFO or file of input events) to open instead of searching, and
    // the axis ranges of a source that cannot report its own.
    char device_path[kDevicePathBytes];
    Axes source_axes;
};

} // namespace vlm::pen
