// Working copies of stored record texts inside a caller's bank_record_t.
#pragma once

#include <string_view>

#include "core/bank/bank_record.h"

// Empties the record: null pointers, zero numbers, empty text. Cheaper than
// assigning a value-initialised record, which zeroes the whole text buffer.
void clear_record(bank_record_t *record);

// Copies `text` (cut to what the working copy holds) into record->text, NUL-terminated,
// and returns the copy.
char *copy_record_text(bank_record_t *record, std::string_view text);
