// The one IBAN check of the library, used by sepa_iban_check, sepa_setIBAN and the
// "iban" / "old_iban" keys of sepa_add: the structure check of core/iban, the SEPA
// area and, for German IBANs, the bank code and the account check.
#pragma once

#include "core/bank/bank_record.h"

// 1 when valid; 0 otherwise, with a constant reason through `error` when not NULL.
int iban_validate(const char *iban, const char **error);

// For a German IBAN of the right layout and check digits: SEPA_IBAN_REASON_BANK_CODE
// when its bank code (positions 4-11) is not in the directory, SEPA_IBAN_REASON_ACCOUNT
// when the account (12-21) fails the bank's check-digit method and the bank's IBAN
// rule does not itself form this IBAN, else SEPA_IBAN_REASON_NONE. `record` receives
// the bank when found.
int german_account_reason(const char *iban, bank_record_t *record);
