// The ten positions of a German account number as the check-digit methods see them.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>

// P1 (leftmost) to P10 (rightmost) of the account, right-aligned and padded with
// "0". p[k] is the value 0-9 of position Pk (character code minus 48); p[0] is
// unused so that the code reads like the method descriptions.
struct account_digits {
    uint8_t p[11];
};

// True when positions first..last all hold 0.
inline bool all_zero(const account_digits &a, int first, int last) {
    for (int k = first; k <= last; ++k)
        if (a.p[k] != 0) return false;
    return true;
}

// Number formed by the positions first..last.
inline int number_at(const account_digits &a, int first, int last) {
    int n = 0;
    for (int k = first; k <= last; ++k) n = n * 10 + a.p[k];
    return n;
}

// The whole account as a number (up to 9 999 999 999, so 64 bits).
inline uint64_t account_number(const account_digits &a) {
    uint64_t n = 0;
    for (int k = 1; k <= 10; ++k) n = n * 10 + a.p[k];
    return n;
}

// True at the character codes of "0".."9": one lookup per character is cheaper than
// a range test.
inline constexpr std::array<bool, 256> is_digit_char = [] {
    std::array<bool, 256> table{};
    for (int c = '0'; c <= '9'; ++c) table[c] = true;
    return table;
}();

// Fills `out` from an account of 1 to 10 digits, padded on the left with "0".
// False (and `out` unusable) for a null, empty or longer account or a non-digit.
// Inline and in one pass over the characters: reading the account is a good part
// of a whole check.
inline bool load_account_digits(const char *account, account_digits &out) {
    if (!account) return false;
    // The characters go to field[10 + i] behind ten "0": the ten places that end
    // with the last character are the account padded to P1..P10.
    char field[20];
    std::memset(field, '0', 10);
    int length = 0;
#pragma GCC unroll 10
    for (; length < 10; ++length) {
        unsigned char c = static_cast<unsigned char>(account[length]);
        if (!is_digit_char[c]) break;  // also the terminating NUL
        field[10 + length] = static_cast<char>(c);
    }
    if (length == 0 || account[length] != '\0') return false;
    // Digit values: every byte less '0' at once (all are '0'..'9', nothing borrows).
    uint64_t first8;
    uint16_t last2;
    std::memcpy(&first8, field + length, 8);
    std::memcpy(&last2, field + length + 8, 2);
    first8 -= 0x3030303030303030u;
    last2 = static_cast<uint16_t>(last2 - 0x3030u);
    out.p[0] = 0;
    std::memcpy(out.p + 1, &first8, 8);
    std::memcpy(out.p + 9, &last2, 2);
    return true;
}

// Remainder of x divided by m in 0..m-1, also for a negative x (C++'s % is not).
constexpr int math_mod(int x, int m) {
    int r = x % m;
    return r < 0 ? r + m : r;
}
