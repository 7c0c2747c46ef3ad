// The check-digit methods of codes 71 to E4 that need more than a row of the method
// table: conditions on single positions, range tests, prefixes, special variants.
#include "core/bank/check_methods.h"

namespace {

bool in_range(uint64_t value, uint64_t low, uint64_t high) { return value >= low && value <= high; }

// Prefix tables of methods C6, D1 and E2: the seven-digit prefix chosen by P1
// (nullptr: accounts with that first digit are not allowed).
using prefix_table = const char *const[10];
constexpr prefix_table c6_prefixes = {"4451970", "4451981", "4451992", "4451993", "4344992",
                                      "4344990", "4344991", "5499570", "4451994", "5499579"};
constexpr prefix_table d1_prefixes = {"4363380", "4363381", "4363382", "4363383", "4363384",
                                      "4363385", "4363386", "4363387", nullptr,   "4363389"};
constexpr prefix_table e2_prefixes = {"4383200", "4383201", "4383202", "4383203", "4383204",
                                      "4383205", nullptr,   nullptr,   nullptr,   nullptr};

// The prefix of P1 before P2..P9, as its share of the sum (-1: none).
using prefix_sums = std::array<int, 10>;
constexpr prefix_sums sums_of(const prefix_table &table) {
    prefix_sums sums{};
    for (int i = 0; i < 10; ++i) sums[i] = table[i] ? prefix_luhn_sum(table[i], 2) : -1;
    return sums;
}

constexpr prefix_sums c6_sums = sums_of(c6_prefixes);
constexpr prefix_sums d1_sums = sums_of(d1_prefixes);
constexpr prefix_sums e2_sums = sums_of(e2_prefixes);
constexpr int d4_sum = prefix_luhn_sum("428259", 1);  // method D4: fixed prefix before P1..P9

int prefixed_by_first_digit(const account_digits &a, const prefix_sums &sums) {
    if (sums[a.p[1]] < 0) return -1;
    return prefix_luhn_check(a, sums[a.p[1]], 2);
}

// Variant A of method 87: a walk over P4..P9 from the first digit that is not 0,
// each digit transformed (0 to 5, 1 to 6, 5 to 10, 6 to 1) and added or subtracted
// as two flags c2 and d2 say, which the digit in turn changes. Kept as e = (c2 ==
// d2) and written as arithmetic: the digits are random, and the branches of the
// described walk cost several mispredictions per account.
int method_87_variant_a(const account_digits &a) {
    static constexpr int transformed[10] = {5, 6, 2, 3, 4, 10, 1, 7, 8, 9};
    static constexpr int expected[2][5] = {{0, 4, 3, 2, 6}, {7, 1, 5, 9, 8}};  // by d2, then sum
    int first = 10;  // the first of P4..P9 that is not 0 (10: none)
    for (int i = 9; i >= 4; --i) first = a.p[i] != 0 ? i : first;
    int c2 = first % 2;
    int e = 1 - c2;  // c2 == d2, d2 starting at 0
    int sum = 0;
    for (int i = 4; i <= 9; ++i) {
        const int active = i >= first;
        const int v = transformed[a.p[i]];
        const int big = v > 5;
        // Above 5 with c2 = 0 the digit counts as 12 - v; e says add, else subtract.
        const int term = v + (big & (1 - c2)) * (12 - 2 * v);
        sum += active * (2 * e - 1) * term;
        c2 ^= active;             // every digit turns c2 over,
        e ^= active & (1 - big);  // and d2 too from 6 on, keeping e
    }
    const int d2 = c2 ^ (1 - e);
    const int p = expected[d2][math_mod(sum, 5)];
    const int alternative = p > 4 ? p - 5 : p + 5;  // where P4 is 0
    const int right = (p == a.p[10]) | ((a.p[4] == 0) & (alternative == a.p[10]));
    return 2 * right - 1;
}

// Third step of method 85's chain.
int method_85_last(const account_digits &a) {
    if (a.p[10] >= 7) return -1;
    return weighted_mod_check(a, 7, 10, from(9, {2, 3, 4, 5, 6}));
}

}  // namespace

int method_71(const account_digits &a) {
    int r = math_mod(weighted_sum(a, from(7, {1, 2, 3, 4, 5, 6})), 11);
    return digit_result(a, 10, r <= 1 ? r : 11 - r);
}

int method_73(const account_digits &a) {
    static constexpr step chain[] = {
        X(10, from(9, {2, 1, 2, 1, 2, 1})),
        X(10, from(9, {2, 1, 2, 1, 2})),
        X(7, from(9, {2, 1, 2, 1, 2})),
    };
    return a.p[3] == 9 ? third_digit_nine_check(a) : run_chain<chain>(a);
}

int method_74(const account_digits &a) {
    if (run_method(0x00, a) == 1) return 1;
    if (all_zero(a, 1, 4) && a.p[5] != 0) {
        // six-digit account: the distance to the next number ending in 5 also counts
        int sum = crosssum_sum(a, from(9, {2, 1, 2, 1, 2}));
        if (a.p[10] == (15 - math_mod(sum, 10)) % 10) return 1;
    }
    return run_method(0x04, a);
}

int method_75(const account_digits &a) {
    if (a.p[1] != 0) return -1;
    if (a.p[2] == 0 && a.p[3] == 0) return crosssum_mod_check(a, 10, 10, from(9, {2, 1, 2, 1, 2}));
    if (a.p[2] == 9) return crosssum_mod_check(a, 10, 8, from(7, {2, 1, 2, 1, 2}));
    return crosssum_mod_check(a, 10, 7, from(6, {2, 1, 2, 1, 2}));
}

int method_76(const account_digits &a) {
    auto excluded_kind = [](int digit) { return digit == 1 || digit == 2 || digit == 3 || digit == 5; };
    if (excluded_kind(a.p[1]) || all_zero(a, 2, 4)) return -1;
    int r = math_mod(weighted_sum(a, from(7, {2, 3, 4, 5, 6, 7})), 11);
    if (r == 10) return 0;
    if (r == a.p[8]) return 1;
    // Second variant: the account extended by two digits.
    if (a.p[1] != 0 || a.p[2] != 0) return -1;
    if (excluded_kind(a.p[3]) || all_zero(a, 4, 6)) return -1;
    r = math_mod(weighted_sum(a, from(9, {2, 3, 4, 5, 6, 7})), 11);
    if (r == 10) return 0;
    return r == a.p[10] ? 2 : -1;
}

int method_78(const account_digits &a) { return a.p[1] == 0 && a.p[2] == 0 && a.p[3] != 0 ? 0 : run_method(0x00, a); }

int method_81(const account_digits &a) { return a.p[3] == 9 ? third_digit_nine_check(a) : run_method(0x32, a); }

int method_84(const account_digits &a) {
    static constexpr step chain[] = {
        W(11, from(9, {2, 3, 4, 5, 6})),
        W(7, from(9, {2, 3, 4, 5, 6})),
        W(10, from(9, {2, 1, 2, 1, 2})),
    };
    return a.p[3] == 9 ? third_digit_nine_check(a) : run_chain<chain>(a);
}

int method_85(const account_digits &a) {
    static constexpr step chain[] = {
        W(11, from(9, {2, 3, 4, 5, 6, 7})),
        M(0x33),
        L(method_85_last),
    };
    if (a.p[3] == 9 && a.p[4] == 9) return mod11_strict_check(a, 10, from(9, {2, 3, 4, 5, 6, 7, 8}));
    return run_chain<chain>(a);
}

int method_87(const account_digits &a) {
    static constexpr step chain[] = {
        L(method_87_variant_a),
        M(0x33),
        W(7, from(9, {2, 3, 4, 5, 6})),
        W(11, from(9, {2, 3, 4, 5, 6, 7})),
    };
    return a.p[3] == 9 ? third_digit_nine_check(a) : run_chain<chain>(a);
}

int method_88(const account_digits &a) {
    if (a.p[3] == 9) return weighted_mod_check(a, 11, 10, from(9, {2, 3, 4, 5, 6, 7, 8}));
    return weighted_mod_check(a, 11, 10, from(9, {2, 3, 4, 5, 6, 7}));
}

int method_90(const account_digits &a) {
    static constexpr step chain[] = {
        W(11, from(9, {2, 3, 4, 5, 6, 7})), W(11, from(9, {2, 3, 4, 5, 6})), W(7, from(9, {2, 3, 4, 5, 6})),
        W(9, from(9, {2, 3, 4, 5, 6})),     W(10, from(9, {2, 1, 2, 1, 2})), W(7, from(9, {2, 1, 2, 1, 2, 1})),
    };
    if (a.p[3] == 9) return weighted_mod_check(a, 11, 10, from(9, {2, 3, 4, 5, 6, 7, 8}));
    return run_chain<chain>(a);
}

int method_93(const account_digits &a) {
    static constexpr step short_account[] = {
        W(11, from(9, {2, 3, 4, 5, 6})),
        W(7, from(9, {2, 3, 4, 5, 6})),
    };
    static constexpr step long_account[] = {
        W(11, from(5, {2, 3, 4, 5, 6}), 6),
        W(7, from(5, {2, 3, 4, 5, 6}), 6),
    };
    return all_zero(a, 1, 4) ? run_chain<short_account>(a) : run_chain<long_account>(a);
}

int method_95(const account_digits &a) {
    uint64_t v = account_number(a);
    if (in_range(v, 1, 1999999) || in_range(v, 9000000, 25999999) || in_range(v, 396000000, 499999999) ||
        in_range(v, 700000000, 799999999) || in_range(v, 910000000, 989999999))
        return 1;
    return run_method(0x06, a);
}

int method_96(const account_digits &a) {
    static constexpr step chain[] = {M(0x19), M(0x00)};
    int result = run_chain<chain>(a);
    if (result != -1) return result;
    return in_range(account_number(a), 1300000, 99399999) ? 0 : -1;
}

int method_99(const account_digits &a) {
    return in_range(account_number(a), 396000000, 499999999) ? 0 : run_method(0x06, a);
}

int method_a1(const account_digits &a) {
    bool ten_digits = a.p[1] != 0;
    bool eight_digits = a.p[1] == 0 && a.p[2] == 0 && a.p[3] != 0;
    if (!ten_digits && !eight_digits) return -1;
    return crosssum_mod_check(a, 10, 10, from(9, {2, 1, 2, 1, 2, 1, 2}));
}

int method_a4(const account_digits &a) {
    static constexpr step p3_p4_nine[] = {W(11, from(9, {2, 3, 4, 5, 6})), M(0x93)};
    static constexpr step others[] = {
        W(11, from(9, {2, 3, 4, 5, 6, 7})),
        W(7, from(9, {2, 3, 4, 5, 6, 7})),
        M(0x93),
    };
    return a.p[3] == 9 && a.p[4] == 9 ? run_chain<p3_p4_nine>(a) : run_chain<others>(a);
}

int method_a5(const account_digits &a) {
    int result = run_method(0x00, a);
    if (result != -1) return result;
    return a.p[1] == 9 ? -1 : run_method(0x10, a);
}

int method_a6(const account_digits &a) { return run_method(a.p[2] == 8 ? 0x00 : 0x01, a); }

int method_a8(const account_digits &a) {
    static constexpr step chain[] = {
        W(11, from(9, {2, 3, 4, 5, 6, 7})),
        X(10, from(9, {2, 1, 2, 1, 2, 1})),
    };
    return a.p[3] == 9 ? third_digit_nine_check(a) : run_chain<chain>(a);
}

int method_b2(const account_digits &a) { return run_method(a.p[1] == 8 || a.p[1] == 9 ? 0x00 : 0x02, a); }

int method_b3(const account_digits &a) { return run_method(a.p[1] == 9 ? 0x06 : 0x32, a); }

int method_b5(const account_digits &a) {
    int result = run_method(0x05, a);
    if (result != -1) return result;
    return a.p[1] == 8 || a.p[1] == 9 ? -1 : run_method(0x00, a);
}

int method_b6(const account_digits &a, const char *bank_code) {
    bool starts_0269 = a.p[1] == 0 && a.p[2] == 2 && a.p[3] == 6 && a.p[4] == 9;
    if (a.p[1] != 0 || (starts_0269 && a.p[5] > 0)) return run_method(0x20, a);
    return method_53(a, bank_code);
}

int method_b7(const account_digits &a) {
    uint64_t v = account_number(a);
    if (in_range(v, 1000000, 5999999) || in_range(v, 700000000, 899999999)) return run_method(0x01, a);
    return 0;
}

int method_b8(const account_digits &a) {
    static constexpr step chain[] = {M(0x20), M(0x29)};
    int result = run_chain<chain>(a);
    if (result != -1) return result;
    bool unchecked_5 = a.p[1] == 5 && a.p[2] != 0;
    bool unchecked_9 = a.p[1] == 9 && ((a.p[2] == 0 && a.p[3] != 0) || (a.p[2] == 1 && a.p[3] == 0));
    return unchecked_5 || unchecked_9 ? 0 : -1;
}

int method_b9(const account_digits &a) {
    if (a.p[1] != 0 || a.p[2] != 0) return -1;
    if (a.p[3] == 0 && a.p[4] == 0) return -1;
    int sum = 0;
    if (a.p[3] != 0) {
        static constexpr weights w = from(9, {1, 3, 2, 1, 3, 2, 1});
        for (int k = 3; k <= 9; ++k) sum += (a.p[k] + 1) * w.at[k] % 11;
    } else {
        sum = math_mod(weighted_sum(a, from(9, {1, 2, 3, 4, 5, 6})), 11);
    }
    if (a.p[10] == sum % 10) return 1;
    return digit_result(a, 10, (sum + 5) % 10);
}

int method_c0(const account_digits &a, const char *bank_code) {
    if (a.p[1] == 0 && a.p[2] == 0 && a.p[3] != 0) {
        int result = method_52(a, bank_code);
        if (result != -1) return result;
    }
    return run_method(0x20, a);
}

int method_c1(const account_digits &a) {
    if (a.p[1] != 5) return run_method(0x17, a);
    int r = math_mod(crosssum_sum(a, from(9, {1, 2, 1, 2, 1, 2, 1, 2, 1})) - 1, 11);
    return digit_result(a, 10, (10 - r) % 10);
}

int method_c3(const account_digits &a) { return run_method(a.p[1] == 9 ? 0x58 : 0x00, a); }

int method_c4(const account_digits &a) { return run_method(a.p[1] == 9 ? 0x58 : 0x15, a); }

int method_c5(const account_digits &a) {
    uint64_t v = account_number(a);
    if (in_range(v, 100000, 899999) || in_range(v, 100000000, 899999999)) return run_method(0x75, a);
    if (in_range(v, 1000000000, 1999999999) || in_range(v, 4000000000, 6999999999) ||
        in_range(v, 9000000000, 9999999999))
        return m10h_check(a);
    if (in_range(v, 3000000000, 3999999999)) return run_method(0x00, a);
    if (in_range(v, 30000000, 59999999) || in_range(v, 7000000000, 7099999999) || in_range(v, 8500000000, 8599999999))
        return 0;
    return -1;
}

int method_c6(const account_digits &a) { return prefixed_by_first_digit(a, c6_sums); }

int method_c7(const account_digits &a) {
    int result = run_method(0x63, a);
    if (result != -1) return result;
    if (all_zero(a, 1, 3)) {
        // the account shifted left by two places: P3..P10 followed by "00"
        account_digits shifted{};
        for (int k = 1; k <= 8; ++k) shifted.p[k] = a.p[k + 2];
        result = run_method(0x63, shifted);
        if (result != -1) return result;
    }
    return run_method(0x06, a);
}

int method_d0(const account_digits &a) { return a.p[1] == 5 && a.p[2] == 7 ? 0 : run_method(0x20, a); }

int method_d1(const account_digits &a) { return prefixed_by_first_digit(a, d1_sums); }

int method_d4(const account_digits &a) { return a.p[1] == 0 ? -1 : prefix_luhn_check(a, d4_sum, 1); }

int method_d5(const account_digits &a) {
    static constexpr step chain[] = {
        W(11, from(9, {2, 3, 4, 5, 6, 7})),
        W(7, from(9, {2, 3, 4, 5, 6, 7})),
        W(10, from(9, {2, 3, 4, 5, 6, 7})),
    };
    if (a.p[3] == 9 && a.p[4] == 9) return weighted_mod_check(a, 11, 10, from(9, {2, 3, 4, 5, 6, 7, 8}));
    return run_chain<chain>(a);
}

int method_d7(const account_digits &a) {
    return digit_result(a, 10, math_mod(crosssum_sum(a, from(9, {2, 1, 2, 1, 2, 1, 2, 1, 2})), 10));
}

int method_d8(const account_digits &a) {
    if (a.p[1] != 0) return run_method(0x00, a);
    return a.p[2] == 0 && a.p[3] != 0 ? 0 : -1;
}

int method_e0(const account_digits &a) {
    int sum = crosssum_sum(a, from(9, {2, 1, 2, 1, 2, 1, 2, 1, 2})) + 7;
    return digit_result(a, 10, (10 - math_mod(sum, 10)) % 10);
}

int method_e1(const account_digits &a) {
    static constexpr weights w = from(9, {1, 2, 3, 4, 5, 6, 11, 10, 9});
    int sum = 0;
    for (int k = 1; k <= 9; ++k) sum += w.at[k] * (a.p[k] + 48);  // character codes
    int r = sum % 11;
    return r == 10 ? -1 : digit_result(a, 10, r);
}

int method_e2(const account_digits &a) { return prefixed_by_first_digit(a, e2_sums); }
