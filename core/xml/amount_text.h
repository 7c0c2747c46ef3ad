// Decimal rendering of euro amounts: two decimals, "." as separator, no grouping.
#pragma once

#include <cstddef>
#include <cstdint>

inline constexpr size_t AMOUNT_TEXT_SIZE = 32;

// Writes an amount of `cents` as euro with two decimals into `out`
// (AMOUNT_TEXT_SIZE bytes), e.g. 1234 -> "12.34", 50 -> "0.50", -150 -> "-1.50".
// Returns the text length.
size_t format_amount(int64_t cents, char out[AMOUNT_TEXT_SIZE]);
