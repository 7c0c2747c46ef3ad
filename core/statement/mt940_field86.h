// Field 86 (information to the account owner) in the structured German form:
// a three-digit business transaction code, then subfields "?NN" with the posting
// text, journal number, purpose lines carrying the SEPA keywords, and the
// counterparty's bank, account and name.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "sepa.h"

namespace mt940 {

struct keyword_run {
    int target;
    size_t start, end;
};

// Working memory reused across fields: the field is copied here so that its
// values can be laid out again in place in any order.
struct field86_scratch {
    char *bytes = nullptr;
    size_t capacity = 0;
    std::string joined;             // the purpose lines joined
    std::vector<keyword_run> runs;  // where each keyword's text lies in `joined`
    ~field86_scratch();
};

// Applies the joined field text [field, field + length) to `tx`. The values are
// written back into the same range (which must be followed by one writable byte,
// field[length]), NUL-terminated, and the transaction's pointers point there.
// Returns false only when the scratch memory cannot be allocated.
bool apply_field86(sepa_stmt_tx_t *tx, char *field, size_t length, field86_scratch *scratch);

}  // namespace mt940
