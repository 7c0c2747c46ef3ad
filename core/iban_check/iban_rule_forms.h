// Whether a bank's IBAN rule itself forms a German IBAN whose account number fails
// the bank's check-digit method. Some rules accept listed accounts with a wrong
// check digit, and one rotates the account so that the method no longer fits it;
// the IBANs they form are real, so the IBAN check must not refuse them.
#pragma once

// True when converting `account` (10 digits), or the account that the rotation of
// the cooperative banks' rule turns into it, at `bank_code` (8 digits) gives exactly
// the IBAN holding this bank code and account.
bool iban_rule_forms(const char *bank_code, const char *account);
