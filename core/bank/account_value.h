// Shared by the check-digit methods and the IBAN rules.
#pragma once

#include <cstdint>

// `length` characters of `account` from `offset` read as a decimal number; reading
// stops at the first character that is not a digit.
uint64_t account_value(const char *account, int offset, int length);
