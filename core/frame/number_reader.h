// Locale-independent decimal number reader shared by the amount key of sepa_add and
// the MT940 parser. The process locale never changes what it accepts (a caller's
// setlocale(LC_NUMERIC, "de_DE") would make strtod expect a comma).
#pragma once

// Reads optional leading white space, an optional sign, a mantissa of digits with at
// most one '.', holding at least one digit, then optionally 'e'/'E', an optional
// sign and digits (an exponent without digits counts as 0). Only the first 18
// significant mantissa digits (leading zeros do not count) are used; later ones
// are dropped while the magnitude stays right.
// Returns the position after the number (== text when there is no number at all),
// stores the value in *value and sets *out_of_range when the exponent, after moving
// the decimal point, exceeds 511 in magnitude or the value is not finite.
const char *scan_decimal(const char *text, double *value, bool *out_of_range);

// True when the whole of `text` is one number in range (an empty text reads as 0).
bool read_decimal(const char *text, double *value);

// floor(x) + 1 when the fraction of x is 0.5 or more, else floor(x). A fraction
// within a few units in the last place below 0.5 counts as 0.5, so that decimal
// halves that doubles cannot hold exactly (1.005 * 100) round up.
double round_half_up(double x);
