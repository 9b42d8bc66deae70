#pragma once
// Runs a piece of a test in a forked child, for what must not touch the test process itself
// (address-space limits, deliberate exhaustion). The child's exit status is the result.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <functional>

namespace vlm::test {

// Returns the child's exit code, or -1 when it did not exit normally (a crash).
inline int run_in_child(const std::function<int()>& body) {
    const pid_t pid = fork();
    if (pid == 0) _exit(body());
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The address sanitizer reserves terabytes of address space, so RLIMIT_AS tests cannot run under it.
inline bool sanitized_build() {
#if defined(__SANITIZE_ADDRESS__)
    return true;
#else
    return false;
#endif
}

// Limits the calling process's address space to its current size plus headroom bytes.
inline bool limit_address_space(std::uint64_t headroom) {
    long pages = 0;
    if (FILE* f = fopen("/proc/self/statm", "r")) {
        if (fscanf(f, "%ld", &pages) != 1) pages = 0;
        fclose(f);
    }
    if (pages <= 0) return false;
    const std::uint64_t now = static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(sysconf(_SC_PAGESIZE));
    struct rlimit rl {now + headroom, now + headroom};
    return setrlimit(RLIMIT_AS, &rl) == 0;
}

} // namespace vlm::test
