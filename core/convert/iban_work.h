// The working record of one German account-to-IBAN conversion and the building
// blocks that the IBAN rules share. Everything here works on the caller's record
// and constant tables only, so conversions may run on any number of threads.
#pragma once

#include <cstdint>
#include <cstring>

#include "core/bank/bank_record.h"
#include "core/convert/iban_list_search.h"
#include "core/convert/iban_rule_lists.h"
#include "sepa.h"

struct iban_work_t {
    char iban[35];          // IBAN being built: all zero at the start, then 22 characters and zeros
    char orig_account[11];  // caller's account, right-aligned in 10 digits, never changed
    char account[11];       // working account, 10 characters and NUL; rules may change it
    char blz[9];            // working bank code, 8 characters and NUL
    uint8_t method;         // check-digit method byte of the current bank
    int8_t check_result;    // account check result (-1 invalid); rules may override it
    uint8_t status;         // status collected so far: 0, or 12 / 50 from a rule, 13 after a successor
};

// A rule returns 1 when `iban` holds the complete IBAN text, -1 when it refuses.
using iban_rule_fn = int (*)(iban_work_t *work);

// Entry i serves the rule codes i * 100 to i * 100 + 99 (the last two digits are
// the rule's version). Entry 0 is the standard rule.
inline constexpr int iban_rule_count = 58;
extern const iban_rule_fn iban_rule_table[iban_rule_count];

// The rule function of a record's rule code (code / 100) run on the working record:
// 1 or -1 from the rule, 0 when the code has no entry in the table.
int iban_apply_rule(int32_t iban_rule, iban_work_t *work);

// The compiled-in directory has successor chains of length one. Other data might
// hold longer chains or a cycle; after this many passes the conversion gives up and
// reports the bank code as not found (-3, status 10), as no final bank was reached.
inline constexpr int iban_max_passes = 8;

using bank_lookup_fn = int (*)(const char *country, const char *code, bank_record_t *record);

struct iban_outcome {
    int result;      // as sepa_iban_convert returns it
    uint8_t status;  // status byte to report
};

// The conversion proper on a prepared working record (orig_account, account and
// blz set, status 0): the passes over the bank and its successors found through
// `lookup`, the status decision and the check digits. `bank_code` is the caller's.
iban_outcome iban_convert_work(iban_work_t *work, const char *bank_code, bank_lookup_fn lookup);

// "DE", "00", blz, account into the first 22 characters of `iban`; returns 1.
int iban_build(iban_work_t *work);

// First row of `List` whose account equals the working account and whose bank code
// is null or equals the working bank code: copies its new account into `account`
// and answers true.
template <const account_replacement_row *List>
bool account_list_replace(iban_work_t *work) {
    for (const account_replacement_row &row : rows_with_key<account_replacement_row, List, 10>(work->account)) {
        if (row.bank_code != nullptr && std::memcmp(row.bank_code, work->blz, 8) != 0) continue;
        std::memcpy(work->account, row.new_account, 11);
        return true;
    }
    return false;
}

// Sets `check_result` to the account check of the (replaced) account by `method`.
void recheck_account(iban_work_t *work);
// As recheck_account, but a failed check counts as "not checked" (0), never -1.
void recheck_account_lenient(iban_work_t *work);

// `account` without its first two digits, followed by "00", into `out` (11 bytes).
void shift2(const char *account, char *out);

// New bank code from the account range table for the account's value, or nullptr.
const char *range_bank_code(const char *account);

// Copies an 8-digit bank code (and its NUL) into `blz`.
void set_bank_code(iban_work_t *work, const char *bank_code);

// Replaces positions 3 and 4 of a NUL-terminated IBAN text by its ISO 13616 check
// digits. False (text unchanged) when a character is neither a digit nor a letter
// or the text is shorter than 5 characters.
bool iban_set_check_digits(char *iban);
// The same for a text of `length` characters (iban[length] is its NUL).
bool iban_set_check_digits(char *iban, size_t length);

// True when the 10-digit account starts with the literal `prefix` (at most 10
// characters). Fixed widths make these byte comparisons, which the compiler inlines.
template <size_t N>
bool account_starts_with(const char *account, const char (&prefix)[N]) {
    static_assert(N >= 2 && N <= 11, "a prefix of one to ten digits");
    return std::memcmp(account, prefix, N - 1) == 0;
}

// True when the working bank code is `bank_code` (8 digits).
inline bool bank_code_is(const iban_work_t *work, const char (&bank_code)[9]) {
    return std::memcmp(work->blz, bank_code, 8) == 0;
}

// True when the working account is `account` (10 digits).
inline bool account_is(const iban_work_t *work, const char (&account)[11]) {
    return std::memcmp(work->account, account, 10) == 0;
}
