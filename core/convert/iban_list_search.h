// Searching the generated lists of the German IBAN rules. Every list is ascending by
// its search key (tools/iban_rule_tables.py sorts them, keeping the file's order among
// rows with the same key), so a search halves the list instead of walking it: the
// Commerzbank list alone has about a hundred rows and serves many bank codes.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
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

// Order of two keys of `Width` (8 or 10) characters, as memcmp gives it (negative,
// zero, positive), from the first eight bytes read as one big-endian number and,
// for accounts, the last two: a few instructions instead of a library call per step.
template <size_t Width>
int key_order(const char *a, const char *b) {
    static_assert(Width == 8 || Width == 10, "bank codes and accounts");
    static_assert(std::endian::native == std::endian::little, "little-endian byte order assumed");
    uint64_t x, y;
    std::memcpy(&x, a, 8);
    std::memcpy(&y, b, 8);
    if (x != y) return __builtin_bswap64(x) < __builtin_bswap64(y) ? -1 : 1;
    if constexpr (Width == 10) {
        const int rest_a = static_cast<unsigned char>(a[8]) << 8 | static_cast<unsigned char>(a[9]);
        const int rest_b = static_cast<unsigned char>(b[8]) << 8 | static_cast<unsigned char>(b[9]);
        return rest_a - rest_b;
    }
    return 0;
}

// Rows of a list before the row with a null key that ends it.
template <typename Row>
size_t list_rows(const Row *list) {
    size_t rows = 0;
    while (row_key(list[rows]) != nullptr) ++rows;
    return rows;
}

// The rows of `List` whose key equals the first `Width` characters of `key`, in the
// list's order (empty when there is none). Keys have a fixed width, so comparing
// that many bytes is the whole-string comparison; `key` must have `Width` characters.
template <typename Row, const Row *List, size_t Width>
std::span<const Row> rows_with_key(const char *key) {
    static const size_t count = list_rows(List);
    size_t low = 0, high = count;
    while (low < high) {  // first row whose key is not below `key`
        const size_t middle = low + (high - low) / 2;
        if (key_order<Width>(row_key(List[middle]), key) < 0) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    size_t end = low;
    while (end < count && key_order<Width>(row_key(List[end]), key) == 0) ++end;
    return {List + low, end - low};
}
