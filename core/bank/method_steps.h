// Check-digit methods as data: a method is a chain of up to six steps, each a
// building block with its modulus, check position and weights, another method by
// its code, or a function for the methods with logic of their own.
#pragma once

#include <cstddef>

#include "core/bank/check_blocks.h"

using check_method = int (*)(const account_digits &);

enum class step_kind : uint8_t {
    weighted,   // weighted_mod_check
    crosssum,   // crosssum_mod_check
    strict11,   // mod11_strict_check
    method,     // the method with code `code`
    logic,      // the function `logic`
};

struct step {
    step_kind kind;
    uint8_t modulus;
    uint8_t check;  // check position, 1..10
    uint8_t code;
    weights w;
    check_method logic;
};

// Notation of the method rows: W11 is W(11, ...), X10 is X(10, ...), "check P8" is
// the last argument, "method 00" is M(0x00).
constexpr step W(int m, weights w, int check = 10) {
    return {step_kind::weighted, uint8_t(m), uint8_t(check), 0, w, nullptr};
}
constexpr step X(int m, weights w, int check = 10) {
    return {step_kind::crosssum, uint8_t(m), uint8_t(check), 0, w, nullptr};
}
constexpr step S11(weights w, int check = 10) {
    return {step_kind::strict11, 11, uint8_t(check), 0, w, nullptr};
}
constexpr step M(int code) {
    return {step_kind::method, 0, 10, uint8_t(code), {}, nullptr};
}
constexpr step L(check_method f) {
    return {step_kind::logic, 0, 10, 0, {}, f};
}

// Result of the method with this code (0 when no method has the code). Methods 52,
// 53, B6 and C0 need the bank code and are not reached this way.
int run_method(int code, const account_digits &a);

inline int run_step(const step &s, const account_digits &a) {
    switch (s.kind) {
    case step_kind::weighted: return weighted_mod_check(a, s.modulus, s.check, s.w);
    case step_kind::crosssum: return crosssum_mod_check(a, s.modulus, s.check, s.w);
    case step_kind::strict11: return mod11_strict_check(a, s.check, s.w);
    case step_kind::method: return run_method(s.code, a);
    case step_kind::logic: return s.logic(a);
    }
    return -1;
}

// "A, then B, then C": the first result that is not -1, else the last one.
inline int run_chain(const step *steps, size_t count, const account_digits &a) {
    int result = -1;
    for (size_t i = 0; i < count; ++i) {
        result = run_step(steps[i], a);
        if (result >= 0) return result;
    }
    return result;
}

template <size_t N>
int run_chain(const step (&steps)[N], const account_digits &a) {
    return run_chain(steps, N, a);
}
