// The national bank code inside an IBAN.
#pragma once

#include <cstddef>

// Copies the bank code of `iban` into `bank_code` (9 bytes, NUL-terminated): it
// starts at the fifth character and is as wide as the bank directory's codes of the
// country named by the first two characters (exact case). Returns that width, or 0
// (and an empty `bank_code`) when the directory has no bank codes of the country.
// Stops early at the end of a shorter text, so callers check the length themselves.
size_t iban_bank_code(const char *iban, char *bank_code);
