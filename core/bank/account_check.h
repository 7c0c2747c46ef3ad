// The German account check for callers inside the library (IBAN checks, conversion).
#pragma once

// Result of the check-digit method `method` (its low byte, 0x63 is "63") on `account`
// (1-10 digits): 1 right, 2 right by the second variant of "76", -1 wrong or not an
// account, 0 no check. `bank_code` is what methods 52, 53, B6 and C0 need: with a
// null bank code they give 0 (as sepa_account_check); otherwise a bank code that is
// not exactly 8 digits gives -1 (as sepa_account_check2).
int account_check_internal(const char *account, const char *bank_code, int method);

// The first calculation of method 13 alone (P7..P2, check digit at P8) on `account`,
// which some IBAN rules run on its own: 1 right, -1 wrong or not an account.
int account_check_13_first(const char *account);
