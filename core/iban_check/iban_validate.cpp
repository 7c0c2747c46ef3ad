#include "core/iban_check/iban_validate.h"

#include <cstring>

#include "core/bank/account_check.h"
#include "core/iban/iban_bank_code.h"
#include "core/iban/iban_structure.h"
#include "core/iban_check/iban_rule_forms.h"
#include "sepa.h"

namespace {

bool is_german(const iban_country_t &row) { return row.code[0] == 'D' && row.code[1] == 'E'; }

const char *iban_error(const char *iban) {
    if (iban == nullptr) return "Invalid IBAN (NULL)";
    const iban_country_t *row = iban_country_of(iban);
    if (row == nullptr) return iban_reason_text(SEPA_IBAN_REASON_COUNTRY);
    if ((row->flags & iban_for_payments) == 0) return "IBAN country not in SEPA";
    int reason = iban_layout_check(iban, *row);
    if (reason == SEPA_IBAN_REASON_NONE && is_german(*row)) {
        bank_record_t record;
        reason = german_account_reason(iban, &record);
    }
    return iban_reason_text(reason);
}

}  // namespace

int german_account_reason(const char *iban, bank_record_t *record) {
    // Some banks' IBAN rules accept listed accounts with a wrong check digit or
    // rotate the account so that the method no longer fits it; the IBANs they form
    // are real.
    char bank_code[9];
    iban_bank_code(iban, bank_code);
    char account[11];
    std::memcpy(account, iban + 12, 10);
    account[10] = '\0';
    if (bank_lookup("DE", bank_code, record) != 1) return SEPA_IBAN_REASON_BANK_CODE;
    if (account_check_internal(account, bank_code, record->method) == -1 && !iban_rule_forms(bank_code, account)) {
        return SEPA_IBAN_REASON_ACCOUNT;
    }
    return SEPA_IBAN_REASON_NONE;
}

int iban_validate(const char *iban, const char **error) {
    const char *reason = iban_error(iban);
    if (reason == nullptr) return 1;
    if (error != nullptr) *error = reason;
    return 0;
}

extern "C" SEPA_API int sepa_iban_check(const char *iban) {
    return iban_validate(iban, nullptr) == 1 ? SEPA_IBAN_OK : SEPA_IBAN_ERR_INVALID;
}
