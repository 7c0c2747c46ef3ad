// The check-digit methods of codes 00 to 69 that need more than a row of the method
// table: conditions on single positions, special remainders, range tests.
#include "core/bank/check_methods.h"

namespace {

// Modulus-10 cross-sum check at P8 over P7..P1, with the two positions after the
// check digit joining when P9 holds `extension_digit` (methods 61 and 65).
int crosssum_p8_with_extension(const account_digits &a, int extension_digit) {
    if (a.p[9] == extension_digit) return crosssum_mod_check(a, 10, 8, from(10, {2, 1, 0, 2, 1, 2, 1, 2, 1, 2}));
    return crosssum_mod_check(a, 10, 8, from(7, {2, 1, 2, 1, 2, 1, 2}));
}

}  // namespace

int method_08(const account_digits &a) { return account_number(a) < 60000 ? 0 : run_method(0x00, a); }

int method_11(const account_digits &a) {
    int r = math_mod(weighted_sum(a, from(9, {2, 3, 4, 5, 6, 7, 8, 9, 10})), 11);
    int expected = r == 0 ? 0 : 11 - r;
    return digit_result(a, 10, expected == 10 ? 9 : expected);
}

int method_13_first(const account_digits &a) { return crosssum_mod_check(a, 10, 8, from(7, {2, 1, 2, 1, 2, 1})); }

int method_13(const account_digits &a) {
    if (method_13_first(a) == 1) return 1;
    if (a.p[1] == 0 && a.p[2] == 0) return crosssum_mod_check(a, 10, 10, from(9, {2, 1, 2, 1, 2, 1}));
    return -1;
}

int method_16(const account_digits &a) {
    int r = math_mod(weighted_sum(a, from(9, {2, 3, 4, 5, 6, 7, 2, 3, 4})), 11);
    if (r == 1 && a.p[9] == a.p[10]) return 1;
    return digit_result(a, 10, r <= 1 ? 0 : 11 - r);
}

int method_17(const account_digits &a) {
    int r = math_mod(crosssum_sum(a, from(7, {2, 1, 2, 1, 2, 1})) - 1, 11);
    return digit_result(a, 8, (10 - r) % 10);
}

int method_21(const account_digits &a) {
    int sum = crosssum_sum(a, from(9, {2, 1, 2, 1, 2, 1, 2, 1, 2}));
    while (sum >= 10) {
        int digits = 0;
        for (; sum > 0; sum /= 10) digits += sum % 10;
        sum = digits;
    }
    if (sum <= 0) return -1;  // 10 - 0 is no digit
    return digit_result(a, 10, 10 - sum);
}

int method_22(const account_digits &a) {
    static constexpr weights w = from(9, {3, 1, 3, 1, 3, 1, 3, 1, 3});
    int sum = 0;
    for (int k = 1; k <= 9; ++k) sum += w.at[k] * a.p[k] % 10;
    return digit_result(a, 10, (10 - sum % 10) % 10);
}

int method_23(const account_digits &a) {
    int r = math_mod(weighted_sum(a, from(6, {2, 3, 4, 5, 6, 7})), 11);
    if (r == 1) return a.p[6] == a.p[7] ? 1 : -1;
    return digit_result(a, 7, r == 0 ? 0 : 11 - r);
}

int method_24(const account_digits &a) {
    int start = 1;
    if (a.p[1] >= 3 && a.p[1] <= 6) start = 2;
    else if (a.p[1] == 9) start = 4;
    while (start <= 9 && a.p[start] == 0) ++start;
    int sum = 0;
    for (int k = start, weight = 1; k <= 9; ++k, weight = weight % 3 + 1) sum += (a.p[k] + 1) * weight % 11;
    return digit_result(a, 10, sum % 10);
}

int method_25(const account_digits &a) {
    int c = (11 - math_mod(weighted_sum(a, from(9, {2, 3, 4, 5, 6, 7, 8, 9})), 11)) % 11;
    if (c == 10) return a.p[10] == 0 && a.p[2] != 8 && a.p[2] != 9 ? 1 : -1;
    return digit_result(a, 10, c);
}

int method_26(const account_digits &a) {
    if (a.p[1] == 0 && a.p[2] == 0) return weighted_mod_check(a, 11, 10, from(9, {2, 3, 4, 5, 6, 7, 2}));
    return weighted_mod_check(a, 11, 8, from(7, {2, 3, 4, 5, 6, 7, 2}));
}

int method_27(const account_digits &a) { return a.p[1] == 0 ? run_method(0x00, a) : m10h_check(a); }

int method_31(const account_digits &a) {
    int r = math_mod(weighted_sum(a, from(9, {9, 8, 7, 6, 5, 4, 3, 2, 1})), 11);
    return r == 10 ? -1 : digit_result(a, 10, r);
}

int method_41(const account_digits &a) {
    if (a.p[4] == 9) return crosssum_mod_check(a, 10, 10, from(9, {2, 1, 2, 1, 2, 1}));
    return crosssum_mod_check(a, 10, 10, from(9, {2, 1, 2, 1, 2, 1, 2, 1, 2}));
}

int method_45(const account_digits &a) {
    if (a.p[1] == 0 || a.p[5] == 1 || (a.p[1] == 4 && a.p[2] == 8)) return 0;
    return run_method(0x00, a);
}

int method_50(const account_digits &a) {
    if (weighted_mod_check(a, 11, 7, from(6, {2, 3, 4, 5, 6, 7})) == 1) return 1;
    if (all_zero(a, 1, 3)) return weighted_mod_check(a, 11, 10, from(9, {2, 3, 4, 5, 6, 7}));
    return -1;
}

int method_51(const account_digits &a) {
    static constexpr step chain[] = {
        W(11, from(9, {2, 3, 4, 5, 6, 7})),
        W(11, from(9, {2, 3, 4, 5, 6})),
        X(10, from(9, {2, 1, 2, 1, 2, 1})),
        W(7, from(9, {2, 3, 4, 5, 6})),
    };
    return a.p[3] == 9 ? third_digit_nine_check(a) : run_chain<chain>(a);
}

int method_52(const account_digits &a, const char *bank_code) {
    if (a.p[1] == 9) return run_method(0x20, a);
    return eser_check(a, bank_code, eser_layout::method_52);
}

// The old numbers behind method 53 have nine digits: a ten-digit account not starting
// with 9 has no place for its first digit and is not allowed (it would be checked
// without it and pass with any first digit).
int method_53(const account_digits &a, const char *bank_code) {
    if (a.p[1] == 9) return run_method(0x20, a);
    if (a.p[1] != 0) return -1;
    return eser_check(a, bank_code, eser_layout::method_53);
}

int method_56(const account_digits &a) {
    int r = math_mod(weighted_sum(a, from(9, {2, 3, 4, 5, 6, 7, 2, 3, 4})), 11);
    return r <= 1 ? -1 : digit_result(a, 10, 11 - r);
}

int method_57(const account_digits &a) {
    // Rule of each value of P1P2: R reject, A alternating from P9 (with the
    // 777777/888888 exception), B check digit at P3, N no check, D date-like numbers.
    // Forty values per line, ten per string.
    // clang-format off
    static constexpr char rule_of[101] =
        "RDDDDDDDDD" "DDDDDDDDDD" "DDDDDDDDDD" "DDBBBBBBBB"   // 00-39
        "NBBBBBBBBB" "NABBBABBBB" "BABBAAABBB" "ABBAAAAAAA"   // 40-79
        "AAABBBBBAB" "BNBBAABBBN";                            // 80-99
    // clang-format on
    int x = number_at(a, 1, 2);
    if (x < 0 || x > 99) return -1;
    switch (rule_of[x]) {
    case 'A':
        if (number_at(a, 1, 6) == 777777 || number_at(a, 1, 6) == 888888) return 0;
        return crosssum_mod_check(a, 10, 10, from(9, {1, 2, 1, 2, 1, 2, 1, 2, 1}));
    case 'B': return crosssum_mod_check(a, 10, 3, from(10, {1, 2, 1, 2, 1, 2, 1, 0, 2, 1}));
    case 'N': return 0;
    case 'D': {
        if (account_number(a) == 185125434) return 1;
        int month = number_at(a, 3, 4);
        return month >= 1 && month <= 12 && number_at(a, 7, 9) < 500 ? 1 : -1;
    }
    default: return -1;
    }
}

// Accounts of method 58 have at least six digits; shorter ones are not allowed.
int method_58(const account_digits &a) {
    return all_zero(a, 1, 5) ? -1 : mod11_strict_check(a, 10, from(9, {2, 3, 4, 5, 6}));
}

int method_59(const account_digits &a) { return a.p[1] == 0 && a.p[2] == 0 ? 0 : run_method(0x00, a); }

int method_61(const account_digits &a) { return crosssum_p8_with_extension(a, 8); }

int method_63(const account_digits &a) {
    if (a.p[1] != 0) return -1;
    if (crosssum_mod_check(a, 10, 8, from(7, {2, 1, 2, 1, 2, 1})) == 1) return 1;
    if (all_zero(a, 1, 3)) return crosssum_mod_check(a, 10, 10, from(9, {2, 1, 2, 1, 2, 1}));
    return -1;
}

int method_65(const account_digits &a) { return crosssum_p8_with_extension(a, 9); }

int method_66(const account_digits &a) {
    if (a.p[1] != 0) return -1;
    if (a.p[2] == 9) return 0;
    int r = math_mod(weighted_sum(a, from(9, {2, 3, 4, 5, 6, 0, 0, 7})), 11);
    return digit_result(a, 10, r == 0 ? 1 : r == 1 ? 0 : 11 - r);
}

int method_68(const account_digits &a) {
    static constexpr step nine_digits[] = {
        X(10, from(9, {2, 1, 2, 1, 2, 1, 2, 1})),
        X(10, from(9, {2, 1, 2, 1, 2, 0, 0, 1})),
    };
    if (a.p[1] != 0) return a.p[4] == 9 ? crosssum_mod_check(a, 10, 10, from(9, {2, 1, 2, 1, 2, 1})) : -1;
    if (a.p[2] == 4) return 0;
    if (all_zero(a, 1, 5)) return -1;
    return run_chain<nine_digits>(a);
}
