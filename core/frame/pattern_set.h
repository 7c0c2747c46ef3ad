// A group of POSIX extended regular expressions compiled on first use and shared by
// every thread. Compilation happens once under a lock even when several threads make
// their first check at the same moment; sepa_cleanup releases every registered set,
// and the next check compiles it again.
#pragma once

#include <regex.h>

#include <atomic>
#include <cstddef>
#include <memory>
#include <mutex>

class pattern_set {
public:
    // `patterns` must outlive the set (the tables are static constants).
    pattern_set(const char *const *patterns, size_t count);
    ~pattern_set();
    pattern_set(const pattern_set &) = delete;
    pattern_set &operator=(const pattern_set &) = delete;

    // The compiled pattern at `index`, compiling the whole set first if needed;
    // nullptr when compilation failed (the next call tries again).
    const regex_t *get(size_t index);

    // True when pattern `index` matches `text` (false also when compilation failed).
    bool matches(size_t index, const char *text);

    // True when the patterns are compiled right now.
    bool compiled() const { return compiled_.load(std::memory_order_acquire); }

    // Frees the compiled patterns; they are compiled again on next use.
    void release();

private:
    bool compile_locked();

    const char *const *patterns_;
    size_t count_;
    std::unique_ptr<regex_t[]> compiled_patterns_;
    std::atomic<bool> compiled_{false};
    std::mutex mutex_;
};

// Releases every pattern set of the library (what sepa_cleanup does).
void release_all_pattern_sets();
