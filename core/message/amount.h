// The "amount" of a transaction: euro in the one documented form (digits, optionally
// a full stop and at most two decimals), kept as exact integer cents.
#pragma once

#include <cstddef>
#include <cstdint>

// Largest amount the pain schemas accept for one transaction, in cents.
inline constexpr int64_t MAX_AMOUNT_CENTS = 99999999999;  // 999 999 999.99

// Largest control sum the schemas can write (18 digits, two of them decimals).
inline constexpr int64_t MAX_CONTROL_SUM_CENTS = 999999999999999999;

// Reads `value` into *cents. Returns nullptr when accepted, else the failure text,
// formatted into `error_buf` (of `error_size` bytes) where it names the value.
// An empty value and zero give "Empty amount not allowed", a negative amount
// "Negative or zero amount not allowed".
const char *read_amount(const char *value, int64_t *cents, char *error_buf, size_t error_size);

// Adds an amount to a control sum, staying at MAX_CONTROL_SUM_CENTS + 1 once past
// it (so that no number of transactions can overflow the sum).
inline int64_t add_to_control_sum(int64_t sum, int64_t cents) {
    return sum > MAX_CONTROL_SUM_CENTS - cents ? MAX_CONTROL_SUM_CENTS + 1 : sum + cents;
}
