#include "core/frame/rulebook.h"

#include <atomic>
#include <cstring>
#include <ctime>

#include "core/frame/clock.h"
#include "sepa.h"

const rulebook_t rulebook_table[RULEBOOK_COUNT] = {
    {"DE-2.6", "pain.001.002.03", "pain.008.002.02", false, true},
    {"DE-2.7", "pain.001.003.03", "pain.008.003.02", true, true},
    {"AT-6", "pain.001.001.03", "pain.008.001.02", true, false},
    {"NL-6", "pain.001.001.03", "pain.008.001.02", true, false},
    {"DE-2.8", "pain.001.003.03", "pain.008.003.02", true, true},
    {"DE-2.9", "pain.001.003.03", "pain.008.003.02", true, true},
    {"DE-3.0", "pain.001.001.03", "pain.008.001.02", false, true},
    {"DE-3.1", "pain.001.001.03", "pain.008.001.02", false, true},
    {"DE-3.5", "pain.001.001.03", "pain.008.001.02", false, true},
    {"DE-3.7", "pain.001.001.09", "pain.008.001.08", false, true},
};

namespace {
// Atomic so that the date-based default, applied by whichever thread creates the
// first message, is decided exactly once.
std::atomic<int> g_rulebook{RULEBOOK_NONE};
}  // namespace

int current_rulebook() { return g_rulebook.load(std::memory_order_relaxed); }

bool rulebook_allows_cor1(int rulebook) {
    return rulebook >= 0 && rulebook < RULEBOOK_COUNT && rulebook_table[rulebook].cor1_allowed;
}

void apply_default_rulebook() {
    if (g_rulebook.load(std::memory_order_relaxed) != RULEBOOK_NONE) return;
    time_t now = clock_now();
    struct tm local {};
    localtime_r(&now, &local);
    int year = local.tm_year + 1900;
    bool new_rulebook = year > 2021 || (year == 2021 && local.tm_mon == 11 && local.tm_mday >= 21);
    int expected = RULEBOOK_NONE;
    g_rulebook.compare_exchange_strong(expected, new_rulebook ? RULEBOOK_DE_3_5 : RULEBOOK_DE_3_1);
}

void reset_rulebook_for_tests() { g_rulebook.store(RULEBOOK_NONE); }

extern "C" SEPA_API int sepa_init(int option, const char *value) {
    if (option != SEPA_INIT_RULEBOOK || value == nullptr) return SEPA_FAILED;
    for (int i = 0; i < RULEBOOK_COUNT; ++i) {
        if (std::strcmp(rulebook_table[i].name, value) == 0) {
            g_rulebook.store(i);
            return SEPA_OK;
        }
    }
    return SEPA_FAILED;
}
