// Check-digit methods as data: a method is a chain of up to six steps, each a
// building block with its modulus, check position and weights, another method by
// its code, or a function for the methods with logic of their own.
#pragma once

#include <array>
#include <cstddef>
#include <type_traits>
#include <utility>

#include "core/bank/check_blocks.h"

using check_method = int (*)(const account_digits &);

enum class step_kind : uint8_t {
    weighted,  // weighted_mod_check
    crosssum,  // crosssum_mod_check
    strict11,  // mod11_strict_check
    method,    // the method with code `code`
    logic,     // the function `logic`
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
constexpr step S11(weights w, int check = 10) { return {step_kind::strict11, 11, uint8_t(check), 0, w, nullptr}; }
constexpr step M(int code) { return {step_kind::method, 0, 10, uint8_t(code), {}, nullptr}; }
constexpr step L(check_method f) { return {step_kind::logic, 0, 10, 0, {}, f}; }

// The methods by code (a function returning 0 where no method has the code); filled
// at compile time in method_table.cpp. Methods 52, 53, B6 and C0 need the bank code
// and are not here.
extern const std::array<check_method, 256> method_table;

// Result of the method with this code (0 when no method has the code).
inline int run_method(int code, const account_digits &a) { return method_table[code & 0xFF](a); }

// One step with everything known at compile time: the block, modulus, positions and
// weights become constants and the step compiles into straight-line code. The step
// comes from `Source::get()`, a constexpr function returning a reference to it:
// clang does not take an array element or member as a reference template argument.
template <typename Source>
inline int run_step(const account_digits &a) {
    constexpr const step &S = Source::get();
    if constexpr (S.kind == step_kind::weighted) {
        return weighted_mod_check(a, S.modulus, S.check, S.w);
    } else if constexpr (S.kind == step_kind::crosssum) {
        return crosssum_mod_check(a, S.modulus, S.check, S.w);
    } else if constexpr (S.kind == step_kind::strict11) {
        return mod11_strict_check(a, S.check, S.w);
    } else if constexpr (S.kind == step_kind::method) {
        return run_method(S.code, a);
    } else {
        return S.logic(a);
    }
}

// "A, then B, then C": runs step_at(0), step_at(1), ... (each index a compile-time
// std::integral_constant) and returns the first result that is not -1, else the last
// one. The chains below and the rows of the method table both run through here.
template <size_t Count, typename StepAt>
inline int first_not_rejected(StepAt step_at) {
    static_assert(Count > 0, "a chain has at least one step");
    int result = -1;
    [&]<size_t... Index>(std::index_sequence<Index...>) {
        // || stops at the first step that accepts or does not check.
        static_cast<void>(((result = step_at(std::integral_constant<size_t, Index>{}), result >= 0) || ...));
    }
    (std::make_index_sequence<Count>{});
    return result;
}

// A constant array of steps as a chain. Used as run_chain<chain>(a) with a static
// constexpr chain.
template <const auto &Chain>
inline int run_chain(const account_digits &a) {
    constexpr size_t count = sizeof(Chain) / sizeof(Chain[0]);
    return first_not_rejected<count>([&]<size_t Index>(std::integral_constant<size_t, Index>) {
        struct chain_step {
            static constexpr const step &get() { return Chain[Index]; }
        };
        return run_step<chain_step>(a);
    });
}
