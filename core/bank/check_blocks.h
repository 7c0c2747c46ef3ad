// The building blocks the German check-digit methods are made of. Each block looks
// at the ten account positions (and its parameters) and returns 1 (check digit
// right), -1 (wrong) or 0 (no check).
#pragma once

#include <cstring>
#include <initializer_list>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "core/bank/account_digits.h"

// Weight of every position P1..P10 (at[k] for Pk; at[0] unused, 0 where unnamed).
struct weights {
    int8_t at[11];
};

// "a,b,c from Pk": Pk x a, P(k-1) x b, and so on leftwards.
consteval weights from(int k, std::initializer_list<int> list) {
    weights w{};
    for (int value : list) w.at[k--] = static_cast<int8_t>(value);
    return w;
}

// Cross sum of a product: x div 10 + x mod 10 (x itself below 10). Written without
// a branch; products of digits and weights are never negative.
constexpr int cross_sum(int x) { return x - 9 * (x / 10); }

#if defined(__SSE2__)
// The sixteen digit bytes widened to 16-bit lanes: P0..P7 and P8..P15.
inline void widen_digits(const account_digits &a, __m128i &low, __m128i &high) {
    const __m128i bytes = _mm_load_si128(reinterpret_cast<const __m128i *>(a.p));
    low = _mm_unpacklo_epi8(bytes, _mm_setzero_si128());
    high = _mm_unpackhi_epi8(bytes, _mm_setzero_si128());
}

inline __m128i low_weights(const weights &w) {
    return _mm_setr_epi16(0, w.at[1], w.at[2], w.at[3], w.at[4], w.at[5], w.at[6], w.at[7]);
}

inline __m128i high_weights(const weights &w) { return _mm_setr_epi16(w.at[8], w.at[9], w.at[10], 0, 0, 0, 0, 0); }

// 0xFF in the bytes of the positions whose weight is least..most, else 0.
inline __m128i byte_mask(const weights &w, int least, int most) {
    auto in = [&](int k) { return static_cast<char>(w.at[k] >= least && w.at[k] <= most ? -1 : 0); };
    return _mm_setr_epi8(0, in(1), in(2), in(3), in(4), in(5), in(6), in(7), in(8), in(9), in(10), 0, 0, 0, 0, 0);
}

// Sum of the four 32-bit lanes.
inline int horizontal_sum(__m128i sums) {
    sums = _mm_add_epi32(sums, _mm_shuffle_epi32(sums, _MM_SHUFFLE(1, 0, 3, 2)));
    sums = _mm_add_epi32(sums, _mm_shuffle_epi32(sums, _MM_SHUFFLE(2, 3, 0, 1)));
    return _mm_cvtsi128_si32(sums);
}
#endif

// Sum of weight x value over the ten positions. Weights and digits are never
// negative, so neither are the sums of these blocks (their remainders: `remainder`).
inline int weighted_sum(const account_digits &a, const weights &w) {
#if defined(__SSE2__)
    // P0..P15 in two vectors of eight 16-bit lanes, multiplied by their weights and
    // added in pairs by pmaddwd, then across (P0 and P11..P15 hold 0, their weights
    // too). The weights are constants wherever a row is compiled, so each weight
    // vector is one constant.
    __m128i low, high;
    widen_digits(a, low, high);
    __m128i sums = _mm_add_epi32(_mm_madd_epi16(low, low_weights(w)), _mm_madd_epi16(high, high_weights(w)));
    return horizontal_sum(sums);
#else
    int sum = 0;
    for (int k = 1; k <= 10; ++k) sum += w.at[k] * a.p[k];
    return sum;
#endif
}

// Sum of the cross sums of weight x value over the ten positions. With weight 1 or 2
// the product is at most 18, and its cross sum is the product less 9 from 10 on.
inline int crosssum_sum(const account_digits &a, const weights &w) {
    // A constant wherever the weights are (written out: the compiler folds this, not a loop).
    const bool small_weights = (w.at[1] <= 2) & (w.at[2] <= 2) & (w.at[3] <= 2) & (w.at[4] <= 2) & (w.at[5] <= 2) &
                               (w.at[6] <= 2) & (w.at[7] <= 2) & (w.at[8] <= 2) & (w.at[9] <= 2) & (w.at[10] <= 2);
#if defined(__SSE2__)
    if (small_weights) {
        // Each cross sum (0..9) fits its digit's byte, so one psadbw adds them all:
        // the digit where the weight is 1 or 2, once more where it is 2, less 9
        // where it is 2 and the digit 5 or more. Constant masks wherever the weights are.
        const __m128i digits = _mm_load_si128(reinterpret_cast<const __m128i *>(a.p));
        const __m128i weighted = byte_mask(w, 1, 2), doubled = byte_mask(w, 2, 2);
        __m128i cross = _mm_add_epi8(_mm_and_si128(digits, weighted), _mm_and_si128(digits, doubled));
        const __m128i over_four = _mm_cmpgt_epi8(digits, _mm_set1_epi8(4));
        cross = _mm_sub_epi8(cross, _mm_and_si128(over_four, _mm_and_si128(doubled, _mm_set1_epi8(9))));
        const __m128i sums = _mm_sad_epu8(cross, _mm_setzero_si128());  // bytes 0-7 and 8-15
        return _mm_cvtsi128_si32(_mm_add_epi32(sums, _mm_unpackhi_epi64(sums, sums)));
    }
#endif
    int sum = 0;
    for (int k = 1; k <= 10; ++k) {
        int x = w.at[k] * a.p[k];
        sum += small_weights ? x - (x >= 10 ? 9 : 0) : cross_sum(x);
    }
    return sum;
}

// Remainder of a sum that is never negative (unsigned: no sign fix-up in the code).
constexpr int remainder(int sum, int m) {
    return static_cast<int>(static_cast<unsigned>(sum) % static_cast<unsigned>(m));
}

inline int digit_result(const account_digits &a, int check, int expected) { return a.p[check] == expected ? 1 : -1; }

// The digit that completes `sum` to a multiple of m (at most 11): (-sum) mod m,
// taken as ((m - 1) x sum) mod m since m - 1 is -1 modulo m, and 10 (modulus 11
// only) counts as 0. Arithmetic, not branches: the sum of an account is as good as
// random, and a branch on it would be mispredicted in about one check in ten.
constexpr int complement_of_sum(int sum, int m) {
    const int t = remainder((m - 1) * sum, m);
    return m == 11 ? t * static_cast<int>(t != 10) : t;
}

// Expected digit 0 for remainder 0, else (m - r) mod 10, at position `check`.
inline int crosssum_mod_check(const account_digits &a, int m, int check, const weights &w) {
    return digit_result(a, check, complement_of_sum(crosssum_sum(a, w), m));
}

// As crosssum_mod_check with plain products: modulus 11 turns remainder 1 into 0.
inline int weighted_mod_check(const account_digits &a, int m, int check, const weights &w) {
    return digit_result(a, check, complement_of_sum(weighted_sum(a, w), m));
}

// Modulus 11 where remainder 1 rejects the account whatever digit it holds: its
// complement 10 is no digit, so the comparison itself rejects it.
inline int mod11_strict_check(const account_digits &a, int check, const weights &w) {
    return digit_result(a, check, remainder(10 * weighted_sum(a, w), 11));
}

// Accounts whose third digit is 9 (two modulus-11 variants).
int third_digit_nine_check(const account_digits &a);

// Iterated transformation over P9..P1, check digit at P10.
int m10h_check(const account_digits &a);

// Alternating cross-sum rule over a prefix followed by P(first)..P9, check digit P10:
// weights 2, 1, 2, ... from P9 leftwards, on through the prefix. The prefix's share
// of the sum is a constant, taken once at compile time by prefix_luhn_sum.
constexpr int prefix_luhn_sum(const char *prefix, int first) {
    int length = 0;
    while (prefix[length] != '\0') ++length;
    int weight = (10 - first) % 2 == 0 ? 2 : 1;  // the weight after P9..P(first)
    int sum = 0;
    for (int i = length - 1; i >= 0; --i, weight = 3 - weight) sum += cross_sum(weight * (prefix[i] - '0'));
    return sum;
}

inline int prefix_luhn_check(const account_digits &a, int prefix_sum, int first) {
    int sum = prefix_sum;
    int weight = 2;
    for (int k = 9; k >= first; --k, weight = 3 - weight) sum += cross_sum(weight * a.p[k]);
    return digit_result(a, 10, complement_of_sum(sum, 10));
}

// Reconstruction of the older 12-digit account number from the bank code.
enum class eser_layout { method_52, method_53 };
int eser_check(const account_digits &a, const char *bank_code, eser_layout layout);
