#include "core/frame/pattern_set.h"

#include "sepa.h"

namespace {
// Every set registers itself at static initialisation so that sepa_cleanup can
// reach the compiled patterns without the frame knowing their users.
constexpr size_t max_sets = 8;
pattern_set *g_sets[max_sets];
size_t g_set_count = 0;
}  // namespace

pattern_set::pattern_set(const char *const *patterns, size_t count)
    : patterns_(patterns), count_(count), compiled_patterns_(new regex_t[count]) {
    if (g_set_count < max_sets) g_sets[g_set_count++] = this;
}

// Compiled patterns are released at process exit too, so leak checkers see no
// memory from the regex library; the set also leaves the cleanup registry.
pattern_set::~pattern_set() {
    release();
    for (size_t i = 0; i < g_set_count; ++i) {
        if (g_sets[i] == this) g_sets[i] = g_sets[--g_set_count];
    }
}

bool pattern_set::compile_locked() {
    for (size_t i = 0; i < count_; ++i) {
        if (regcomp(&compiled_patterns_[i], patterns_[i], REG_EXTENDED | REG_NOSUB) != 0) {
            for (size_t j = 0; j < i; ++j) regfree(&compiled_patterns_[j]);
            return false;
        }
    }
    compiled_.store(true, std::memory_order_release);
    return true;
}

const regex_t *pattern_set::get(size_t index) {
    if (index >= count_) return nullptr;
    if (!compiled_.load(std::memory_order_acquire)) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!compiled_.load(std::memory_order_relaxed) && !compile_locked()) return nullptr;
    }
    return &compiled_patterns_[index];
}

bool pattern_set::matches(size_t index, const char *text) {
    const regex_t *re = get(index);
    return re != nullptr && text != nullptr && regexec(re, text, 0, nullptr, 0) == 0;
}

void pattern_set::release() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!compiled_.load(std::memory_order_relaxed)) return;
    for (size_t i = 0; i < count_; ++i) regfree(&compiled_patterns_[i]);
    compiled_.store(false, std::memory_order_release);
}

void release_all_pattern_sets() {
    for (size_t i = 0; i < g_set_count; ++i) g_sets[i]->release();
}

extern "C" SEPA_API void sepa_cleanup(void) { release_all_pattern_sets(); }
