// The German account checks as the other subsystems call them (the exported
// sepa_account_check and sepa_account_check2 are thin wrappers).
#pragma once

// Result of check-digit method `method` (low byte) on `account` (1 to 10 digits):
// -1 invalid or malformed, 0 when the method cannot check it, 1 or 2 valid.
int account_check(const char *account, int method);

// As account_check, with the 8-digit bank code that methods 52, 53, B6 and C0 need;
// -1 also for a malformed bank code.
int account_check_at_bank(const char *account, const char *bank_code, int method);

// The first calculation of method 13 alone on a 10-digit account: 1 valid, -1 not.
int account_check_13_first(const char *account);
