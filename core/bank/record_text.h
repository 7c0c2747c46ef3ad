// Emptying a caller's bank_record_t before a lookup fills it.
#pragma once

#include "core/bank/bank_record.h"

// Empties the record: null pointers, zero numbers, empty text. Cheaper than
// assigning a value-initialised record, which zeroes the whole text buffer.
void clear_record(bank_record_t *record);
