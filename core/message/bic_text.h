// BICs given to a message are stored in upper case.
#pragma once

#include <cstddef>

// Room for a BIC of at most 11 characters and its NUL.
inline constexpr size_t BIC_TEXT_SIZE = 12;

// Copies `bic` upper-cased byte by byte (C locale) into `out`; false, leaving `out`
// unspecified, when `bic` is NULL or longer than 11 bytes.
bool bic_upper_copy(const char *bic, char out[BIC_TEXT_SIZE]);
