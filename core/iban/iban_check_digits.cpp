#include "core/iban/iban_check_digits.h"

#include <cstdint>

namespace {

// Value of an IBAN character in the mod-97 walk: digits 0-9, letters 10-35, -1 else.
int iban_char_value(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
    if (c >= 'a' && c <= 'z') return c - 'a' + 10;
    return -1;
}

}  // namespace

int iban_mod97(const char *iban, size_t length) {
    // The remainder is taken only when the running value grows large, which keeps
    // divisions out of the loop.
    uint64_t value = 0;
    auto feed = [&value](const char *from, const char *to) {
        for (const char *c = from; c < to; ++c) {
            const int v = iban_char_value(*c);
            if (v < 0) return false;
            value = v < 10 ? value * 10 + static_cast<uint64_t>(v) : value * 100 + static_cast<uint64_t>(v);
            if (value >= 1'000'000'000'000'000ULL) value %= 97;
        }
        return true;
    };
    const size_t split = length < 4 ? length : 4;
    if (!feed(iban + split, iban + length) || !feed(iban, iban + split)) return -1;
    return static_cast<int>(value % 97);
}
