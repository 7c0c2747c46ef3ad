// The one IBAN check of the library, used by sepa_iban_check, sepa_setIBAN and the
// "iban" / "old_iban" keys of sepa_add: the structure check of core/iban and, for
// German IBANs, the bank code and the account check.
#pragma once

// 1 when valid; 0 otherwise, with a constant reason through `error` when not NULL.
int iban_validate(const char *iban, const char **error);
