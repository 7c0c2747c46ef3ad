// German IBANs whose account number fails the bank's check-digit method although
// the bank's IBAN rule forms them: rules that accept listed exception accounts
// (entries 26 and 27), rules that keep accounts the method refuses after a
// replacement, and the account rotation of entry 49. The IBAN check asks here
// before it refuses such an IBAN, so that every IBAN sepa_iban_convert hands out
// passes sepa_iban_check.
#pragma once

// True when `iban` (22 characters, "DE", layout and check digits verified) is the
// IBAN that the conversion forms from its own bank code and account number, or, for
// a bank of rule entry 49, from the account rotated back.
bool iban_formed_by_rule(const char *iban);
