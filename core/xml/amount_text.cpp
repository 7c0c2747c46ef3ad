#include "core/xml/amount_text.h"

size_t format_amount(int64_t cents, char out[AMOUNT_TEXT_SIZE]) {
    // Digits from the end; unsigned so that the most negative value has a magnitude.
    uint64_t magnitude = cents < 0 ? 0 - static_cast<uint64_t>(cents) : static_cast<uint64_t>(cents);
    char digits[AMOUNT_TEXT_SIZE];
    size_t n = 0;
    do {
        if (n == 2) digits[n++] = '.';
        digits[n++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0 || n < 4);
    size_t length = 0;
    if (cents < 0) out[length++] = '-';
    while (n > 0) out[length++] = digits[--n];
    out[length] = '\0';
    return length;
}
