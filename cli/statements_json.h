// The statements of a loaded file as JSON, written while walking the records.
#pragma once

#include <cstddef>
#include <ostream>

#include "sepa.h"

// Writes the statements from `first` on as a pretty-printed JSON array, one statement
// and one line at a time (memory stays constant whatever the number of lines), and
// returns how many there were. Amounts are exact two-decimal numbers from the
// records' cents; every line names its currency; absent dates are null.
size_t write_statements_json(std::ostream &out, const sepa_stmt_t *first);
