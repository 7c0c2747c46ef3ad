// Searching the generated lists of the German IBAN rules. Every list is ascending by
// its search key (tools/iban_rule_tables.py sorts them, keeping the file's order among
// rows with the same key), so a search halves the list instead of walking it: the
// Commerzbank list alone has about a hundred rows and serves many bank codes.
#pragma once

#include <cstddef>
#include <cstring>
#include <span>

#include "core/convert/iban_rule_lists.h"

// The search key of a row (its first column) and that key's width: accounts 10
// digits, bank codes 8.
inline const char *row_key(const account_replacement_row &row) { return row.account; }
inline const char *row_key(const bank_code_replacement_row &row) { return row.bank_code; }
inline const char *row_key(const bank_account_replacement_row &row) { return row.bank_code; }
inline const char *row_key(const code_row &row) { return row.code; }
inline const char *row_key(const account_iban_row &row) { return row.account; }

// Rows of a list before the row with a null key that ends it.
template <typename Row>
size_t list_rows(const Row *list) {
    size_t rows = 0;
    while (row_key(list[rows]) != nullptr) ++rows;
    return rows;
}

// The rows of `List` whose key equals the first `Width` characters of `key`, in the
// list's order (empty when there is none). Keys have a fixed width, so comparing
// that many bytes is the whole-string comparison.
template <typename Row, const Row *List, size_t Width>
std::span<const Row> rows_with_key(const char *key) {
    static const size_t count = list_rows(List);
    size_t low = 0, high = count;
    while (low < high) {  // first row whose key is not below `key`
        const size_t middle = low + (high - low) / 2;
        if (std::memcmp(row_key(List[middle]), key, Width) < 0) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    size_t end = low;
    while (end < count && std::memcmp(row_key(List[end]), key, Width) == 0) ++end;
    return {List + low, end - low};
}
