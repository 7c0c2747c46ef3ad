// What a bank-directory or BIC-directory lookup fills, and the lookups themselves.
// The caller owns the record (usually on its stack); its text pointers point into
// the record's own `text` or into the constant directory tables, so a lookup
// allocates nothing and the texts stay valid as long as the record does.
#pragma once

#include <cstdint>

#include "sepa.h"

struct bank_record_t {
    const char *bic;  // BIC (may be empty for German banks)
    const char *name;
    const char *zip;        // null for BIC entries
    const char *city;       // null for BIC entries
    const char *country;    // "DE", "AT", empty or a foreign code (Swiss table), BIC country
    uint8_t deletion_flag;  // German records: 1 when announced for deletion
    const char *successor;  // German records: 8 digits or empty; null otherwise
    uint8_t method;         // German records: check-digit method byte (0x63 = "63")
    uint8_t scl_flags;      // BIC entries: SEPA_SCL_* bits
    int32_t iban_rule;      // German records: six-digit IBAN rule code as a number
    char text[200];         // working copy the pointers point into
};

// Slot of `key` in the record table, or a negative value. Only a candidate: the
// caller compares the key with the stored text.
int directory_hash(const char *key);

// 1 and `record` filled when the national bank code is in the directory, else 0.
// With a null `record` only whether the code is there (nothing is copied).
// country: "AT", "CH", "DE" or "LI"; code: digits, leading zeros optional. German
// records with two versions yield the version in force at clock_now().
int bank_lookup(const char *country, const char *code, bank_record_t *record);

// As bank_lookup, filling only what a German IBAN conversion reads: deletion flag,
// method, IBAN rule and successor (the other texts stay null; national codes fill
// nothing). Skips copying and splitting the name, place and BIC.
int bank_lookup_rule(const char *country, const char *code, bank_record_t *record);

// As bank_lookup_rule, also filling the BIC (for national codes the BIC alone): what
// the BIC of an IBAN needs.
int bank_lookup_bic(const char *country, const char *code, bank_record_t *record);

// 1 and `record` filled when the BIC (8 or 11 characters, any case) is in the BIC
// directory, else 0. With a null `record` only whether the BIC is there.
int bic_lookup(const char *bic, bank_record_t *record);

// sepa_bankid_check's lookup (same arguments and results), for the other subsystems.
int bankinfo_by_code(const char *country, const char *code, sepa_bankinfo_t **info);

// New malloc() block built from a filled record, or nullptr when allocation fails.
sepa_bankinfo_t *bankinfo_pack(const bank_record_t *record, uint16_t flags);
