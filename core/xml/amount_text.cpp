#include "core/xml/amount_text.h"

#include <cstdint>
#include <cstring>

#include "core/frame/number_reader.h"

size_t format_amount(double value, char out[AMOUNT_TEXT_SIZE]) {
    const double rounded = round_half_up(value * 100.0);
    // Outside +-2^63 (or NaN) the conversion would be undefined behaviour.
    if (!(rounded > -9.2e18 && rounded < 9.2e18)) {
        memcpy(out, "0.00", 5);
        return 4;
    }
    int64_t cents = static_cast<int64_t>(rounded);
    size_t n = 0;
    if (cents < 0) {
        out[n++] = '-';
        cents = -cents;
    }
    int64_t divisor = 10;
    if (cents >= 100) {
        divisor = 100;
        while (divisor <= cents / 10) divisor *= 10;
    } else {
        out[n++] = '0';
        out[n++] = '.';
    }
    while (divisor >= 1 && n < AMOUNT_TEXT_SIZE - 1) {
        out[n++] = static_cast<char>('0' + cents / divisor);
        cents %= divisor;
        divisor /= 10;
        if (divisor == 10 && n < AMOUNT_TEXT_SIZE - 1) out[n++] = '.';
    }
    out[n] = '\0';
    return n;
}
