// The one IBAN check of the library, used by sepa_iban_check, sepa_setIBAN and the
// "iban" / "old_iban" keys of sepa_add.
#pragma once

#include <cstddef>

// 1 when valid; 0 otherwise, with a constant reason through `error` when not NULL.
int iban_validate(const char *iban, const char **error);

// Remainder of ISO 7064 mod 97-10 over the first `length` characters of `iban`
// moved by four (BBAN first, then country code and check digits): digits count
// 0-9, letters of either case 10-35. -1 when another character occurs. A valid
// IBAN gives 1; with "00" as check digits, 98 minus the remainder are its digits.
int iban_mod97(const char *iban, size_t length);
