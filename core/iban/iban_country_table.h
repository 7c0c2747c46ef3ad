// The IBAN layouts of the SEPA countries: code, length and the pattern of the whole
// IBAN. The patterns are compiled once, on first use, into iban_patterns().
#pragma once

#include <cstddef>

#include "core/frame/pattern_set.h"

struct iban_country_t {
    const char *code;     // ISO 3166 code that starts the IBAN, upper case
    const char *name;     // country name, informational
    unsigned length;      // total IBAN length in characters
    const char *pattern;  // POSIX extended expression of the whole IBAN, anchored
};

inline constexpr size_t IBAN_COUNTRY_COUNT = 37;

// The rows in table order, followed by a row whose code is NULL.
extern const iban_country_t iban_country_table[IBAN_COUNTRY_COUNT + 1];

// Index of the first row whose code equals the first two characters of `iban`
// without regard to case, or -1.
int iban_country_find(const char *iban);

// The compiled patterns, one per row in table order; released by sepa_cleanup.
pattern_set &iban_patterns();
