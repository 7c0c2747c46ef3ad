#include "core/iban_check/iban_validate.h"

#include <cstring>

#include "core/bank/account_check.h"
#include "core/bank/bank_record.h"
#include "core/iban/iban_bank_code.h"
#include "core/iban/iban_structure.h"
#include "core/iban_check/iban_rule_forms.h"
#include "sepa.h"

namespace {

// German IBANs: bank code (positions 4-11) must be in the directory and the
// account number (12-21) must pass the bank's check-digit method, unless the
// bank's IBAN rule itself forms this IBAN (accepted-account lists, rotation).
const char *german_account_error(const char *iban) {
    char bank_code[9];
    iban_bank_code(iban, bank_code);
    char account[11];
    std::memcpy(account, iban + 12, 10);
    account[10] = '\0';
    bank_record_t record;
    if (bank_lookup("DE", bank_code, &record) != 1) return "Invalid bank ID (BLZ) in IBAN";
    if (account_check_internal(account, bank_code, record.method) == -1 && !iban_rule_forms(bank_code, account)) {
        return "Invalid account number in IBAN";
    }
    return nullptr;
}

const char *iban_error(const char *iban) {
    if (const char *reason = iban_structure_error(iban)) return reason;
    // The layout admits only an upper-case country code, so this compare is exact.
    if (std::strncmp(iban, "DE", 2) == 0) return german_account_error(iban);
    return nullptr;
}

}  // namespace

int iban_validate(const char *iban, const char **error) {
    const char *reason = iban_error(iban);
    if (reason == nullptr) return 1;
    if (error != nullptr) *error = reason;
    return 0;
}

extern "C" SEPA_API int sepa_iban_check(const char *iban) { return iban_validate(iban, nullptr) == 1 ? 1 : -1; }
