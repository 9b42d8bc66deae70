#include "pen/device.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/input.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "pen/evdev_bits.h"

namespace vlm::pen {

namespace {

Axis read_axis(int fd, int code) {
    input_absinfo info{};
    if (ioctl(fd, EVIOCGABS(code), &info) != 0) return {0, -1}; // no such axis: positions answer 0
    return {info.minimum, info.maximum};
}

enum class Kind { None, PressureDevice, Pen, NotADevice };

// What fd is: an input device with or without a pressure axis (and whether it is a pen), or not an
// input device at all. A device's axes go to axes.
Kind probe(int fd, Axes& axes) {
    int version = 0;
    if (ioctl(fd, EVIOCGVERSION, &version) != 0) return Kind::NotADevice;
    std::uint8_t abs_bits[kAbsBitBytes] = {};
    std::uint8_t key_bits[kKeyBitBytes] = {};
    if (ioctl(fd, EVIOCGBIT(EV_ABS, sizeof abs_bits), abs_bits) < 0 || !has_bit(abs_bits, ABS_PRESSURE))
        return Kind::None;
    axes = {read_axis(fd, ABS_X), read_axis(fd, ABS_Y), read_axis(fd, ABS_PRESSURE)};
    const bool pen = ioctl(fd, EVIOCGBIT(EV_KEY, sizeof key_bits), key_bits) >= 0 &&
                     (has_bit(key_bits, BTN_TOOL_PEN) || has_bit(key_bits, BTN_STYLUS));
    return pen ? Kind::Pen : Kind::PressureDevice;
}

int open_readable(const char* path) {
    const int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return -1;
    struct stat st {};
    if (fstat(fd, &st) != 0 || !(S_ISCHR(st.st_mode) || S_ISFIFO(st.st_mode) || S_ISREG(st.st_mode))) {
        close(fd);
        return -1;
    }
    return fd;
}

} // namespace

Source open_source(const char* path, const Axes& fallback) {
    Source s;
    if (!path || !*path) return s;
    const int fd = open_readable(path);
    if (fd < 0) return s;
    Axes axes{};
    switch (probe(fd, axes)) {
    case Kind::Pen:
    case Kind::PressureDevice:
        s.axes = axes;
        break;
    case Kind::NotADevice:
        s.axes = fallback;
        break;
    case Kind::None:
        close(fd);
        return s;
    }
    s.fd = fd;
    return s;
}

Source find_pen_device(const char* dir) {
    std::vector<std::pair<long, std::string>> names;
    if (DIR* d = opendir(dir)) {
        while (const dirent* e = readdir(d)) {
            char* end = nullptr;
            if (std::strncmp(e->d_name, "event", 5) != 0 || !e->d_name[5]) continue;
            const long n = std::strtol(e->d_name + 5, &end, 10);
            if (*end == '\0' && n >= 0) names.emplace_back(n, std::string(dir) + "/" + e->d_name);
        }
        closedir(d);
    }
    std::sort(names.begin(), names.end());
    Source fallback;
    for (const auto& [n, path] : names) {
        const int fd = open_readable(path.c_str());
        if (fd < 0) continue; // not ours to read
        Axes axes{};
        const Kind kind = probe(fd, axes);
        if (kind == Kind::Pen) {
            if (fallback.fd >= 0) close(fallback.fd);
            return {fd, axes};
        }
        if (kind == Kind::PressureDevice && fallback.fd < 0) {
            fallback = {fd, axes};
            continue;
        }
        close(fd);
    }
    return fallback;
}

} // namespace vlm::pen
