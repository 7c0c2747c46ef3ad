// ISO 7064 mod 97-10, the check digits of IBANs and creditor identifiers.
#pragma once

#include <cstddef>

// Remainder of ISO 7064 mod 97-10 over the first `length` characters of `iban`
// moved by four (BBAN first, then country code and check digits): digits count
// 0-9, letters of either case 10-35. -1 when another character occurs. A valid
// IBAN gives 1; with "00" as check digits, 98 minus the remainder are its digits.
int iban_mod97(const char *iban, size_t length);
