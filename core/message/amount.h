// The "amount" of a transaction: a locale-independent decimal number of euro,
// rounded half up to cents.
#pragma once

// Largest amount the pain schemas accept for one transaction, in cents.
inline constexpr double MAX_AMOUNT_CENTS = 99999999999.0;  // 999 999 999.99

// Validates `value` and stores it in *amount (rounded to cents). Returns nullptr when accepted,
// else the failure text. A value that rounds to 0 cents is accepted as 0; the
// transaction's completeness check refuses it.
const char *validate_amount(const char *value, double *amount);
