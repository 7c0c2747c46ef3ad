// ISO 7064 mod 97-10, the check digits of IBANs and creditor identifiers.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// One byte of the mod-97 walk: its value (digits 0-9, letters of either case 10-35)
// and the factor that makes room for it (10 for a digit, 100 for a letter's two
// digits); factor 0 marks every other byte.
struct mod97_step {
    uint8_t value;
    uint8_t factor;
};

inline constexpr std::array<mod97_step, 256> mod97_steps = [] {
    std::array<mod97_step, 256> table{};
    for (int c = '0'; c <= '9'; ++c) table[c] = {static_cast<uint8_t>(c - '0'), 10};
    for (int c = 0; c < 26; ++c) {
        table['A' + c] = {static_cast<uint8_t>(10 + c), 100};
        table['a' + c] = {static_cast<uint8_t>(10 + c), 100};
    }
    return table;
}();

// The running value of the walk after byte `c` (which must have a factor). The
// remainder is taken only when the value grows large, which keeps divisions out of
// the loop; below 10^15 one more step cannot overflow. The final remainder is the
// value modulo 97.
inline uint64_t mod97_feed(uint64_t value, uint8_t c) {
    const mod97_step step = mod97_steps[c];
    value = value * step.factor + step.value;
    return value >= 1'000'000'000'000'000ULL ? value % 97 : value;
}

// Remainder of ISO 7064 mod 97-10 over the first `length` characters of `iban`
// moved by four (BBAN first, then country code and check digits): digits count
// 0-9, letters of either case 10-35. -1 when another character occurs. A valid
// IBAN gives 1; with "00" as check digits, 98 minus the remainder are its digits.
int iban_mod97(const char *iban, size_t length);
