// libFuzzer target for the pen's input-event reader: any bytes from a device or a recording must give
// whole packets, a batch of at most 256, and positions inside the screen the axes map onto.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "fuzz/fuzz_target.h"
#include "pen/event_stream.h"
#include "pen/tablet.h"

VLM_FUZZ_TARGET(pen_events) {
    using namespace vlm::pen;
    // The first 24 bytes give the axis ranges (as a host would for a recording); the rest is the stream.
    Axes axes{};
    if (size < sizeof axes) return 0;
    std::memcpy(&axes, data, sizeof axes);
    data += sizeof axes;
    size -= sizeof axes;
    const std::uint32_t range = static_cast<std::uint32_t>(axes.pressure.maximum) -
                                static_cast<std::uint32_t>(axes.pressure.minimum);
    const float scale = range ? 100.0f / static_cast<float>(range) : 0.0f;

    for (const int extent : {1920, 0}) {
        const int fd = memfd_create("pen_events", MFD_CLOEXEC);
        if (fd < 0) return 0;
        if (size && write(fd, data, size) != static_cast<ssize_t>(size)) std::abort();
        lseek(fd, 0, SEEK_SET);
        static Stream stream; // large: kept off the stack
        attach_stream(stream, fd, axes, extent, extent);
        Packet batch[kPacketBuffer];
        for (;;) {
            pump_stream(stream);
            if (stream.queue_count < 0 || stream.queue_count > kPacketBuffer) std::abort();
            const int n = take_packets(stream, batch, kPacketBuffer);
            if (n == 0) break;
            for (int i = 0; i < n; ++i) {
                const Packet& p = batch[i];
                if (p.x < 0 || p.y < 0 || (extent > 0 && (p.x >= extent || p.y >= extent))) std::abort();
                const int pressure = scale_pressure(p.pressure, scale);
                if (pressure < 0 || pressure > 100) std::abort();
            }
        }
        detach_stream(stream);
    }
    return 0;
}
