#include "core/frame/clock.h"

#include <atomic>

namespace {
std::atomic<bool> g_pinned{false};
std::atomic<time_t> g_instant{0};
}  // namespace

time_t clock_now() {
    if (g_pinned.load(std::memory_order_acquire)) return g_instant.load(std::memory_order_relaxed);
    return time(nullptr);
}

void clock_pin_for_tests(time_t instant) {
    g_instant.store(instant, std::memory_order_relaxed);
    g_pinned.store(true, std::memory_order_release);
}

void clock_unpin_for_tests() { g_pinned.store(false, std::memory_order_release); }
