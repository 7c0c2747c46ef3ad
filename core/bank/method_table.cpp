// The method table: one row per German check-digit method code, indexed by the
// method byte (0x63 is method "63"). A row is a chain of steps (see method_steps.h);
// methods with logic of their own are a single L(function) step.
#include <array>
#include <utility>

#include "core/bank/check_methods.h"

namespace {

struct method_row {
    uint8_t code;
    uint8_t count;
    step steps[6];
};

template <typename... Steps>
constexpr method_row row(int code, Steps... steps) {
    return {uint8_t(code), uint8_t(sizeof...(Steps)), {steps...}};
}

constexpr method_row rows[] = {
    row(0x00, X(10, from(9, {2, 1, 2, 1, 2, 1, 2, 1, 2}))),
    row(0x01, W(10, from(9, {3, 7, 1, 3, 7, 1, 3, 7, 1}))),
    row(0x02, S11(from(9, {2, 3, 4, 5, 6, 7, 8, 9, 2}))),
    row(0x03, W(10, from(9, {2, 1, 2, 1, 2, 1, 2, 1, 2}))),
    row(0x04, S11(from(9, {2, 3, 4, 5, 6, 7, 2, 3, 4}))),
    row(0x05, W(10, from(9, {7, 3, 1, 7, 3, 1, 7, 3, 1}))),
    row(0x06, W(11, from(9, {2, 3, 4, 5, 6, 7, 2, 3, 4}))),
    row(0x07, S11(from(9, {2, 3, 4, 5, 6, 7, 8, 9, 10}))),
    row(0x08, L(method_08)),
    row(0x09, L([](const account_digits &) { return 0; })),
    row(0x10, W(11, from(9, {2, 3, 4, 5, 6, 7, 8, 9, 10}))),
    row(0x11, L(method_11)),
    row(0x13, L(method_13)),
    row(0x14, S11(from(9, {2, 3, 4, 5, 6, 7}))),
    row(0x15, W(11, from(9, {2, 3, 4, 5}))),
    row(0x16, L(method_16)),
    row(0x17, L(method_17)),
    row(0x18, W(10, from(9, {3, 9, 7, 1, 3, 9, 7, 1, 3}))),
    row(0x19, W(11, from(9, {2, 3, 4, 5, 6, 7, 8, 9, 1}))),
    row(0x20, W(11, from(9, {2, 3, 4, 5, 6, 7, 8, 9, 3}))),
    row(0x21, L(method_21)),
    row(0x22, L(method_22)),
    row(0x23, L(method_23)),
    row(0x24, L(method_24)),
    row(0x25, L(method_25)),
    row(0x26, L(method_26)),
    row(0x27, L(method_27)),
    row(0x28, W(11, from(7, {2, 3, 4, 5, 6, 7, 8}), 8)),
    row(0x29, L(m10h_check)),
    row(0x30, W(10, from(9, {2, 1, 2, 1, 0, 0, 0, 0, 2}))),
    row(0x31, L(method_31)),
    row(0x32, W(11, from(9, {2, 3, 4, 5, 6, 7}))),
    row(0x33, W(11, from(9, {2, 3, 4, 5, 6}))),
    row(0x34, W(11, from(7, {2, 4, 8, 5, 10, 9, 7}), 8)),
    row(0x38, W(11, from(9, {2, 4, 8, 5, 10, 9}))),
    row(0x40, W(11, from(9, {2, 4, 8, 5, 10, 9, 7, 3, 6}))),
    row(0x41, L(method_41)),
    row(0x42, W(11, from(9, {2, 3, 4, 5, 6, 7, 8, 9}))),
    row(0x43, W(10, from(9, {1, 2, 3, 4, 5, 6, 7, 8, 9}))),
    row(0x44, W(11, from(9, {2, 4, 8, 5, 10}))),
    row(0x45, L(method_45)),
    row(0x46, W(11, from(7, {2, 3, 4, 5, 6}), 8)),
    row(0x47, W(11, from(8, {2, 3, 4, 5, 6}), 9)),
    row(0x48, W(11, from(8, {2, 3, 4, 5, 6, 7}), 9)),
    row(0x49, M(0x00), M(0x01)),
    row(0x50, L(method_50)),
    row(0x51, L(method_51)),
    row(0x55, W(11, from(9, {2, 3, 4, 5, 6, 7, 8, 7, 8}))),
    row(0x56, L(method_56)),
    row(0x57, L(method_57)),
    row(0x58, L(method_58)),
    row(0x59, L(method_59)),
    row(0x60, X(10, from(9, {2, 1, 2, 1, 2, 1, 2}))),
    row(0x61, L(method_61)),
    row(0x63, L(method_63)),
    row(0x64, W(11, from(6, {2, 4, 8, 5, 10, 9}), 7)),
    row(0x65, L(method_65)),
    row(0x66, L(method_66)),
    row(0x67, X(10, from(7, {2, 1, 2, 1, 2, 1, 2}), 8)),
    row(0x68, L(method_68)),

    row(0x71, L(method_71)),
    row(0x73, L(method_73)),
    row(0x74, L(method_74)),
    row(0x75, L(method_75)),
    row(0x76, L(method_76)),
    row(0x78, L(method_78)),
    row(0x81, L(method_81)),
    row(0x84, L(method_84)),
    row(0x85, L(method_85)),
    row(0x87, L(method_87)),
    row(0x88, L(method_88)),
    row(0x90, L(method_90)),
    row(0x91, W(11, from(6, {2, 3, 4, 5, 6, 7}), 7), W(11, from(6, {7, 6, 5, 4, 3, 2}), 7),
        W(11, from(10, {2, 3, 4, 0, 5, 6, 7, 8, 9, 10}), 7), W(11, from(6, {2, 4, 8, 5, 10, 9}), 7)),
    row(0x92, W(10, from(9, {3, 7, 1, 3, 7, 1}))),
    row(0x93, L(method_93)),
    row(0x94, X(10, from(9, {1, 2, 1, 2, 1, 2, 1, 2, 1}))),
    row(0x95, L(method_95)),
    row(0x96, L(method_96)),
    row(0x98, W(10, from(9, {3, 1, 7, 3, 1, 7, 3})), M(0x32)),
    row(0x99, L(method_99)),
    row(0xA1, L(method_a1)),
    row(0xA2, M(0x00), M(0x04)),
    row(0xA3, M(0x00), M(0x10)),
    row(0xA4, L(method_a4)),
    row(0xA5, L(method_a5)),
    row(0xA6, L(method_a6)),
    row(0xA7, M(0x00), M(0x03)),
    row(0xA8, L(method_a8)),
    row(0xA9, M(0x01), M(0x06)),
    row(0xB1, M(0x05), M(0x01), M(0x00)),
    row(0xB2, L(method_b2)),
    row(0xB3, L(method_b3)),
    row(0xB5, L(method_b5)),
    row(0xB7, L(method_b7)),
    row(0xB8, L(method_b8)),
    row(0xB9, L(method_b9)),
    row(0xC1, L(method_c1)),
    row(0xC2, M(0x22), M(0x00), M(0x04)),
    row(0xC3, L(method_c3)),
    row(0xC4, L(method_c4)),
    row(0xC5, L(method_c5)),
    row(0xC6, L(method_c6)),
    row(0xC7, L(method_c7)),
    row(0xC8, M(0x00), M(0x04), M(0x07)),
    row(0xC9, M(0x00), M(0x07)),
    row(0xD0, L(method_d0)),
    row(0xD1, L(method_d1)),
    row(0xD2, M(0x95), M(0x00), M(0x68)),
    row(0xD3, M(0x00), M(0x27)),
    row(0xD4, L(method_d4)),
    row(0xD5, L(method_d5)),
    row(0xD6, M(0x07), M(0x03), M(0x00)),
    row(0xD7, L(method_d7)),
    row(0xD8, L(method_d8)),
    row(0xD9, M(0x00), M(0x10), M(0x18)),
    row(0xE0, L(method_e0)),
    row(0xE1, L(method_e1)),
    row(0xE2, L(method_e2)),
    row(0xE3, M(0x00), M(0x21)),
    row(0xE4, M(0x02), M(0x00)),
};

constexpr size_t row_count = sizeof(rows) / sizeof(rows[0]);
static_assert(row_count == 120, "120 methods without the bank code");

constexpr size_t row_of(int code) {
    for (size_t i = 0; i < row_count; ++i)
        if (rows[i].code == code) return i;
    return row_count;
}

template <size_t Row>
int run_row(const account_digits &a);

// One step of a row, compiled with everything known (see run_step); another method
// of the table is called directly rather than through the table.
template <size_t Row, size_t Step>
inline int run_row_step(const account_digits &a) {
    constexpr const step &s = rows[Row].steps[Step];
    if constexpr (s.kind == step_kind::method) {
        static_assert(row_of(s.code) < row_count, "a chain names a method that is not in the table");
        return run_row<row_of(s.code)>(a);
    } else {
        struct row_step {
            static constexpr const step &get() { return rows[Row].steps[Step]; }
        };
        return run_step<row_step>(a);
    }
}

template <size_t Row>
int run_row(const account_digits &a) {
    return first_not_rejected<rows[Row].count>(
        [&]<size_t Step>(std::integral_constant<size_t, Step>) { return run_row_step<Row, Step>(a); });
}

template <size_t... Row>
constexpr std::array<check_method, 256> make_method_table(std::index_sequence<Row...>) {
    std::array<check_method, 256> table{};
    table.fill([](const account_digits &) { return 0; });  // codes without a method: no check
    ((table[rows[Row].code] = &run_row<Row>), ...);
    return table;
}

}  // namespace

// Declared extern in method_steps.h, so this constant has external linkage.
constexpr std::array<check_method, 256> method_table = make_method_table(std::make_index_sequence<row_count>());
