#include "core/iban/iban_check_digits.h"

int iban_mod97(const char *iban, size_t length) {
    uint64_t value = 0;
    auto feed = [&value](const char *from, const char *to) {
        for (const char *c = from; c < to; ++c) {
            const uint8_t byte = static_cast<uint8_t>(*c);
            if (mod97_steps[byte].factor == 0) return false;
            value = mod97_feed(value, byte);
        }
        return true;
    };
    const size_t split = length < 4 ? length : 4;
    if (!feed(iban + split, iban + length) || !feed(iban, iban + split)) return -1;
    return static_cast<int>(value % 97);
}
