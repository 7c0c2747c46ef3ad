#include "core/frame/rulebook.h"

#include <atomic>
#include <cstring>
#include <ctime>

#include "core/frame/clock.h"
#include "sepa.h"

#define SEPA_NS "urn:iso:std:iso:20022:tech:xsd:"
// Schema columns: name, namespace, and xsi:schemaLocation (or none).
#define SCHEMA(v) \
    { v, SEPA_NS v, SEPA_NS v " " v ".xsd" }
#define SCHEMA_NO_LOCATION(v) \
    { v, SEPA_NS v, nullptr }

// clang-format off
const rulebook_t rulebook_table[RULEBOOK_COUNT] = {
//   name        credit transfer                       direct debit                          agent    BIC    COR1   lvl2→1 AT-set mref-sp SMNDA  ExctnDt non-EEA DD  addresses           payer   INST   default from
    {"DE-2.6",   SCHEMA("pain.001.002.03"),             SCHEMA("pain.008.002.02"),             "BIC",   true,  false, true,  false, false,  false, false,  false,      ADDRESS_LINES,        false,  false, 0},
    {"DE-2.7",   SCHEMA("pain.001.003.03"),             SCHEMA("pain.008.003.02"),             "BIC",   false, true,  false, false, false,  false, false,  false,      ADDRESS_LINES,        false,  false, 0},
    {"AT-6",     SCHEMA_NO_LOCATION("pain.001.001.03"), SCHEMA_NO_LOCATION("pain.008.001.02"), "BIC",   false, true,  false, true,  false,  false, false,  false,      ADDRESS_LINES,        false,  false, 0},
    {"NL-6",     SCHEMA_NO_LOCATION("pain.001.001.03"), SCHEMA_NO_LOCATION("pain.008.001.02"), "BIC",   false, true,  false, false, false,  false, false,  false,      ADDRESS_LINES,        false,  false, 0},
    {"DE-2.8",   SCHEMA("pain.001.003.03"),             SCHEMA("pain.008.003.02"),             "BIC",   false, true,  false, false, false,  false, false,  false,      ADDRESS_LINES,        false,  false, 0},
    {"DE-2.9",   SCHEMA("pain.001.003.03"),             SCHEMA("pain.008.003.02"),             "BIC",   false, true,  false, false, false,  false, false,  false,      ADDRESS_LINES,        false,  false, 0},
    {"DE-3.0",   SCHEMA("pain.001.001.03"),             SCHEMA("pain.008.001.02"),             "BIC",   false, false, false, false, true,   true,  false,  false,      ADDRESS_LINES,        false,  false, 0},
    {"DE-3.1",   SCHEMA("pain.001.001.03"),             SCHEMA("pain.008.001.02"),             "BIC",   false, false, false, false, true,   true,  false,  true,       ADDRESS_LINES,        false,  false, 1},
    {"DE-3.5",   SCHEMA("pain.001.001.03"),             SCHEMA("pain.008.001.02"),             "BIC",   false, false, false, false, true,   true,  false,  true,       ADDRESS_LINES,        false,  false, 20211221},
    {"DE-3.7",   SCHEMA("pain.001.001.09"),             SCHEMA("pain.008.001.08"),             "BICFI", false, false, false, false, true,   true,  true,   true,       ADDRESS_STRUCTURED,   false,  true,  0},
    {"DE-3.8",   SCHEMA("pain.001.001.09"),             SCHEMA("pain.008.001.08"),             "BICFI", false, false, false, false, true,   true,  true,   true,       ADDRESS_STRUCTURED,   false,  true,  0},
    {"DE-3.9",   SCHEMA("pain.001.001.09"),             SCHEMA("pain.008.001.08"),             "BICFI", false, false, false, false, true,   true,  true,   true,       ADDRESS_TOWN_COUNTRY, false,  true,  0},
    {"DE-26.11", SCHEMA("pain.001.001.09"),             SCHEMA("pain.008.001.08"),             "BICFI", false, false, false, false, true,   true,  true,   true,       ADDRESS_TOWN_COUNTRY, true,   true,  20261115},
};
// clang-format on

namespace {
// Atomic so that the date-based default, applied by whichever thread creates the
// first message, is decided exactly once.
std::atomic<int> g_rulebook{RULEBOOK_NONE};
}  // namespace

int current_rulebook() { return g_rulebook.load(std::memory_order_relaxed); }

const rulebook_t *rulebook_row(int rulebook) {
    return rulebook >= 0 && rulebook < RULEBOOK_COUNT ? &rulebook_table[rulebook] : nullptr;
}

const rulebook_t *current_rulebook_row() { return rulebook_row(current_rulebook()); }

bool rulebook_allows_cor1(int rulebook) {
    const rulebook_t *row = rulebook_row(rulebook);
    return row != nullptr && row->cor1_allowed;
}

const char *first_rulebook_name(bool (*allows)(const rulebook_t &)) {
    for (const rulebook_t &row : rulebook_table)
        if (allows(row)) return row.name;
    return "";
}

int default_rulebook_on(int32_t yyyymmdd) {
    int chosen = RULEBOOK_NONE;
    for (int i = 0; i < RULEBOOK_COUNT; ++i) {
        const int32_t from = rulebook_table[i].default_from;
        if (from != 0 && from <= yyyymmdd && (chosen < 0 || from > rulebook_table[chosen].default_from)) chosen = i;
    }
    return chosen;
}

void apply_default_rulebook() {
    if (g_rulebook.load(std::memory_order_relaxed) != RULEBOOK_NONE) return;
    time_t now = clock_now();
    struct tm local {};
    localtime_r(&now, &local);
    const int32_t today = (local.tm_year + 1900) * 10000 + (local.tm_mon + 1) * 100 + local.tm_mday;
    int expected = RULEBOOK_NONE;
    g_rulebook.compare_exchange_strong(expected, default_rulebook_on(today));
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

extern "C" SEPA_API const char *sepa_getRulebook(void) {
    const rulebook_t *row = current_rulebook_row();
    return row != nullptr ? row->name : nullptr;
}
