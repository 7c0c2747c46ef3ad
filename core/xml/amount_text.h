// Decimal rendering of euro amounts: two decimals, "." as separator, no grouping.
#pragma once

#include <cstddef>

inline constexpr size_t AMOUNT_TEXT_SIZE = 128;

// Writes `value` rounded half up to cents into `out` (AMOUNT_TEXT_SIZE bytes), e.g.
// 12.34 -> "12.34", 0.5 -> "0.50", -1.5 -> "-1.50". Returns the text length.
// Values whose cents do not fit a signed 64-bit number are not rendered (the writers
// refuse such amounts before they get here); the text is then "0.00".
size_t format_amount(double value, char out[AMOUNT_TEXT_SIZE]);
