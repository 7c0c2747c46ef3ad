// sepa_iban_convert: German bank code and account number to the IBAN the bank
// would give, by the bank's IBAN rule, following successor bank codes.
#include <cstring>

#include "core/convert/iban_convert.h"

#include "core/bank/account_check.h"
#include "core/bank/bank_record.h"
#include "core/convert/iban_work.h"
#include "sepa.h"

namespace {

bool all_digits(const char *text, size_t length) {
    for (size_t i = 0; i < length; ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
    }
    return true;
}

uint8_t decide_status(const iban_work_t &work, const char *bank_code) {
    if (work.status != 0) return work.status;
    if (work.check_result == -1) return SEPA_IBAN_STATUS_ACCOUNT_INVALID;
    // account (10 digits) and bank codes (8 digits) have fixed widths: their bytes
    // compare as the whole strings do
    if (std::memcmp(work.account, work.orig_account, 10) != 0) return SEPA_IBAN_STATUS_ACCOUNT_REPLACED;
    if (std::memcmp(work.blz, bank_code, 8) != 0) return SEPA_IBAN_STATUS_BANK_REPLACED;
    return SEPA_IBAN_STATUS_PLAIN;
}

// True when `successor` names a bank code: exactly eight characters (the directory
// stores eight digits or nothing).
bool names_successor(const char *successor) {
    if (successor == nullptr) return false;
    for (size_t i = 0; i < 8; ++i)
        if (successor[i] == '\0') return false;
    return successor[8] == '\0';
}

}  // namespace

static_assert(sizeof(iban_work_t{}.iban) == SEPA_IBAN_BUFSIZE, "the working IBAN fills the caller's buffer");

iban_outcome iban_convert_work(iban_work_t *work, const char *bank_code, bank_lookup_fn lookup) {
    bank_record_t record;
    if (!lookup("DE", work->blz, &record)) return {SEPA_CONVERT_ERR_UNKNOWN, SEPA_IBAN_STATUS_BANK_UNKNOWN};
    int rule_result = 0;
    for (int pass = 0;; ++pass) {
        work->method = record.method;
        work->check_result = static_cast<int8_t>(account_check_internal(work->account, work->blz, work->method));
        rule_result = iban_apply_rule(record.iban_rule, work);

        const char *successor = record.successor;
        if (!names_successor(successor)) break;
        // The pass for the successor replaces this one: its rule result and IBAN
        // text are dropped, changes to the account stay.
        if (pass + 1 >= iban_max_passes) return {SEPA_CONVERT_ERR_UNKNOWN, SEPA_IBAN_STATUS_BANK_UNKNOWN};
        std::memcpy(work->blz, successor, 9);
        work->status = SEPA_IBAN_STATUS_SUCCESSOR;
        if (!lookup("DE", work->blz, &record)) return {SEPA_CONVERT_ERR_UNKNOWN, SEPA_IBAN_STATUS_BANK_UNKNOWN};
    }

    uint8_t status = decide_status(*work, bank_code);
    if (rule_result != 1) return {rule_result, status};
    if (work->check_result == -1) return {-1, status};
    // every rule that answers 1 has written a 22-character IBAN
    if (!iban_set_check_digits(work->iban, 22)) return {-3, status};
    return {1, status};
}

int iban_apply_rule(int32_t iban_rule, iban_work_t *work) {
    int32_t entry = iban_rule / 100;
    return entry >= 0 && entry < iban_rule_count ? iban_rule_table[entry](work) : 0;
}

int iban_convert(const char *country, const char *account, const char *bank_code, char *iban, char *status) {
    if (iban != nullptr) iban[0] = '\0';
    if (status != nullptr) *status = 0;
    if (country == nullptr) return SEPA_CONVERT_ERR_INVALID;
    if (country[0] != 'D' || country[1] != 'E' || country[2] != '\0') return SEPA_CONVERT_UNSUPPORTED;
    if (bank_code == nullptr || account == nullptr) return SEPA_CONVERT_ERR_INVALID;
    // A German IBAN holds digits only: letters or other characters in the account or
    // bank code are malformed input, not data for the check digits. The account is
    // read no further than its eleventh character (one too many is enough to refuse).
    size_t account_length = 0;
    while (account_length <= 10 && account[account_length] != '\0') ++account_length;
    if (account_length == 0 || account_length > 10 || !all_digits(account, account_length))
        return SEPA_CONVERT_ERR_INVALID;
    if (!all_digits(bank_code, 8) || bank_code[8] != '\0') return SEPA_CONVERT_ERR_INVALID;

    iban_work_t work{};
    // Both copies of the account straight from the caller's text, right-aligned in ten
    // digits (not one from the other: reading back bytes just stored one by one would
    // stall the processor until the stores complete).
    const size_t padding = 10 - account_length;
    for (size_t i = 0; i < 10; ++i) {
        const char c = i < padding ? '0' : account[i - padding];
        work.orig_account[i] = c;
        work.account[i] = c;
    }
    std::memcpy(work.blz, bank_code, 9);
    work.status = SEPA_IBAN_STATUS_PLAIN;

    // The conversion reads method, rule and successor only: the lean lookup.
    iban_outcome outcome = iban_convert_work(&work, bank_code, bank_lookup_rule);
    if (status != nullptr) *status = static_cast<char>(outcome.status);
    if (outcome.result != SEPA_CONVERT_OK) return outcome.result;
    // The IBAN and NUL padding to the end of the caller's buffer: the working text
    // starts all zero and holds one 22-character IBAN.
    if (iban != nullptr) std::memcpy(iban, work.iban, SEPA_IBAN_BUFSIZE);
    return SEPA_CONVERT_OK;
}

extern "C" SEPA_API int sepa_iban_convert(const char *country, const char *account, const char *bank_code, char *iban,
                                          char *status) {
    return iban_convert(country, account, bank_code, iban, status);
}
