#pragma once
// The boundary every export crosses: nothing thrown inside may reach the host. Export definitions
// include velmora/velmora.h, whose declarations give them C linkage and default visibility.
#include <utility>

#include "core/last_error.h"

namespace vlm::exports {

// Runs body; on any exception records "<name> Excpt" and returns the failure value.
template <class R, class F> R guarded(const char* name, R failure, F&& body) noexcept {
    try {
        return std::forward<F>(body)();
    } catch (...) {
        core::record_exception(name);
        return failure;
    }
}

template <class F> void guarded(const char* name, F&& body) noexcept {
    try {
        std::forward<F>(body)();
    } catch (...) {
        core::record_exception(name);
    }
}

// For the functions that report nothing: the exception is swallowed, the failure value returned.
template <class R, class F> R silent(R failure, F&& body) noexcept {
    try {
        return std::forward<F>(body)();
    } catch (...) {
        return failure;
    }
}

template <class F> void silent(F&& body) noexcept {
    try {
        std::forward<F>(body)();
    } catch (...) {
    }
}

} // namespace vlm::exports
