// The IBAN countries of the SWIFT IBAN registry and the SEPA area of the EPC list,
// as generated into data/iban_countries.cpp by tools/iban_countries.py.
#pragma once

#include <cstddef>
#include <cstdint>

// A run of the BBAN layout: `count` characters of one kind, 'n' digits, 'a'
// upper-case letters, 'c' upper-case letters or digits.
struct iban_run_t {
    char kind;
    uint8_t count;
};

inline constexpr size_t iban_max_runs = 8;

enum iban_country_flag : uint8_t {
    iban_in_sepa = 1,       // in today's SEPA area
    iban_in_eea = 2,        // in the EEA
    iban_for_payments = 4,  // accepted in payment messages (SEPA, plus FO and GL)
};

struct iban_country_t {
    char code[3];         // country code that starts the IBAN, upper case
    uint8_t length;       // whole IBAN in characters
    uint8_t bank_offset;  // bank identifier: offset in the IBAN and length (0: none)
    uint8_t bank_length;
    uint8_t branch_offset;  // branch identifier: offset in the IBAN and length (0: none)
    uint8_t branch_length;
    uint8_t flags;  // iban_country_flag bits
    uint8_t run_count;
    iban_run_t runs[iban_max_runs];  // the BBAN (everything after the check digits)
    const char *name;                // registry's country name, informational
};

// Registry countries by code.
extern const iban_country_t iban_country_table[];
extern const size_t iban_country_count;
// Row + 1 of each code AA..ZZ (first letter * 26 + second letter), 0 for none.
extern const uint8_t iban_country_slot[26 * 26];

// One country or territory of the SEPA area, or a territory that uses the IBANs
// of a SEPA country without being in the area itself (sepa and eea false).
struct sepa_area_row {
    char code[3];          // ISO 3166 code, upper case
    char iban_country[3];  // the IBAN country code its accounts use
    bool sepa;
    bool eea;
};

extern const sepa_area_row sepa_area_table[];  // by code
extern const size_t sepa_area_count;
