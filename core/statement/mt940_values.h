// Small readers for the values of MT940 lines. Every reader works on a bounded
// range [p, end) and never looks at a byte outside it.
#pragma once

#include <cstdint>
#include <ctime>

namespace mt940 {

inline bool is_digit(char c) { return c >= '0' && c <= '9'; }

// True when the range holds at least `count` bytes and the first `count` are digits.
bool digits_at(const char *p, const char *end, int count);

// Value of `count` digits at p (the caller has checked them with digits_at).
int digits_value(const char *p, int count);

// Broken-down date from day, month 1-12 and a two-digit year (00-79 are 2000-2079,
// 80-99 are 1980-1999); only day, month and year are set, everything else is 0.
struct tm make_date(int year_2digit, int month, int day);

// Reads YYMMDD at p (6 digits required) into *date. False when they are not there.
bool read_yymmdd(const char *p, const char *end, struct tm *date);

// Reads an unsigned decimal number at p (at least one digit, at most 4294967295)
// into *value; returns the position after it, or nullptr when there is none.
const char *read_unsigned(const char *p, const char *end, uint32_t *value);

// Reads a number with at most `width` digits after optional blanks, as "%03d" does
// for the three-digit codes of field 86; 0 when there are no digits.
int read_code(const char *p, const char *end, int width);

// MT940 amount with a decimal comma: the first ',' in [p, comma_end) becomes '.'
// in place, then the number is read by the shared locale-independent reader,
// which stops at the first byte that does not belong to it. The text must be
// NUL-terminated at or before `end`. A value out of range reads as 0.
double parse_comma_amount(char *p, const char *comma_end);

}  // namespace mt940
