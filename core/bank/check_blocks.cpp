#include "core/bank/check_blocks.h"

int third_digit_nine_check(const account_digits &a) {
    int r = math_mod(weighted_sum(a, from(9, {2, 3, 4, 5, 6, 7, 8})), 11);
    if (a.p[10] == (r <= 1 ? 0 : 11 - r)) return 1;
    r = math_mod(weighted_sum(a, from(9, {2, 3, 4, 5, 6, 7, 8, 9, 10})), 11);
    return digit_result(a, 10, r <= 1 ? 0 : 11 - r);
}

int m10h_check(const account_digits &a) {
    static constexpr int8_t transform[4][10] = {
        {0, 1, 5, 9, 3, 7, 4, 8, 2, 6},
        {0, 1, 7, 6, 9, 8, 3, 2, 5, 4},
        {0, 1, 8, 4, 6, 2, 9, 5, 7, 3},
        {0, 1, 2, 3, 4, 5, 6, 7, 8, 9},
    };
    int sum = 0;
    for (int i = 0; i <= 8; ++i) {
        sum += transform[i % 4][a.p[9 - i]];
    }
    return digit_result(a, 10, (10 - sum % 10) % 10);
}

int eser_check(const account_digits &a, const char *bank_code, eser_layout layout) {
    static constexpr int eser_weights[12] = {2, 4, 8, 5, 10, 9, 7, 3, 6, 1, 2, 4};
    int number[12];  // the reconstructed number, most significant digit first
    int length = 0;
    int rest = 0;  // first account position of the digits after the check digit
    auto bank = [&](int k) { return static_cast<unsigned char>(bank_code[k - 1]) - 48; };
    if (layout == eser_layout::method_52) {
        for (int k = 5; k <= 8; ++k) number[length++] = bank(k);
        int first = 1;
        while (first <= 10 && a.p[first] == 0) ++first;
        if (first > 9) return -1;  // no significant digit followed by a check digit
        number[length++] = a.p[first];
        number[length++] = a.p[first + 1];
        rest = first + 2;
    } else {
        number[length++] = bank(5);
        number[length++] = bank(6);
        number[length++] = a.p[3];
        number[length++] = bank(8);
        number[length++] = a.p[2];
        number[length++] = a.p[4];
        rest = 5;
    }
    while (rest <= 10 && a.p[rest] == 0) ++rest;
    if (10 - rest + 1 > 6) return -1;  // more than six digits after the check digit
    for (int k = rest; k <= 10; ++k) number[length++] = a.p[k];

    int check_digit = number[5];
    number[5] = 0;
    int sum = 0;
    for (int i = 0; i < length; ++i) sum += number[length - 1 - i] * eser_weights[i];
    int r = math_mod(sum, 11);
    int g = eser_weights[length - 6];
    for (int j = 0; j <= 9; ++j)
        if ((r + j * g) % 11 == 10) return j == check_digit ? 1 : -1;
    return -1;
}
