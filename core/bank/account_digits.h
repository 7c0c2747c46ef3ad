// The ten positions of a German account number as the check-digit methods see them.
#pragma once

#include <cstdint>

// P1 (leftmost) to P10 (rightmost) of the account, right-aligned and padded with
// "0". p[k] is the value 0-9 of position Pk (character code minus 48); p[0] is
// unused so that the code reads like the method descriptions.
struct account_digits {
    uint8_t p[11];
    char text[11];  // the padded account itself, NUL-terminated
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

// Fills `out` from an account of 1 to 10 digits, padded on the left with "0".
// False (and `out` unusable) for a null, empty or longer account or a non-digit.
bool load_account_digits(const char *account, account_digits &out);

// Remainder of x divided by m in 0..m-1, also for a negative x (C++'s % is not).
constexpr int math_mod(int x, int m) {
    int r = x % m;
    return r < 0 ? r + m : r;
}
