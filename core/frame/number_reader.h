// Locale-independent readers of decimal numbers: amounts of payment orders, and the
// numbers of MT940 statements. The process locale never changes what it accepts (a caller's
// setlocale(LC_NUMERIC, "de_DE") would make strtod expect a comma).
#pragma once

#include <cstdint>

// Reads optional leading white space, an optional sign, a mantissa of digits with at
// most one '.', holding at least one digit, then optionally 'e'/'E', an optional
// sign and digits (an exponent without digits counts as 0). Only the first 18
// significant mantissa digits (leading zeros do not count) are used; later ones
// are dropped while the magnitude stays right.
// Returns the position after the number (== text when there is no number at all),
// stores the value in *value and sets *out_of_range when the exponent, after moving
// the decimal point, exceeds 511 in magnitude or the value is not finite.
const char *scan_decimal(const char *text, double *value, bool *out_of_range);

// Reading an amount of money in the one form payment orders take: one or more
// digits, then optionally a full stop and at most two decimals ("60", "60.5",
// "60.50", "60."). No blanks, signs, exponents or decimal commas: a value that
// does not say plainly what it is worth is refused rather than guessed at.
enum class cents_result { ok, malformed, too_large };

// Reads `text` as above into *cents (exact, no binary fractions on the way). Values
// above `max_cents` give too_large (*cents is then left alone). NULL is malformed.
cents_result read_cents(const char *text, int64_t max_cents, int64_t *cents);
