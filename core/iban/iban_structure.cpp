#include "core/iban/iban_structure.h"

#include <array>
#include <cstdint>
#include <cstring>

#include "sepa.h"

namespace {

constexpr uint8_t kind_digit = 1;
constexpr uint8_t kind_upper = 2;

// Kind bits of every byte: one lookup per character decides both the layout and
// the character's weight in the check digits.
constexpr std::array<uint8_t, 256> char_kind = [] {
    std::array<uint8_t, 256> table{};
    for (int c = '0'; c <= '9'; ++c) table[c] = kind_digit;
    for (int c = 'A'; c <= 'Z'; ++c) table[c] = kind_upper;
    return table;
}();

// Index 0-25 of a letter of either case, 26 for every other byte.
constexpr std::array<uint8_t, 256> letter_index = [] {
    std::array<uint8_t, 256> table{};
    table.fill(26);
    for (int c = 0; c < 26; ++c) {
        table['A' + c] = static_cast<uint8_t>(c);
        table['a' + c] = static_cast<uint8_t>(c);
    }
    return table;
}();

constexpr uint8_t run_mask(char kind) {
    return kind == 'n' ? kind_digit : kind == 'a' ? kind_upper : kind_digit | kind_upper;
}

// One character of the ISO 7064 mod 97-10 walk: digits count 0-9, letters 10-35.
// The remainder is taken only when the running value grows large, which keeps
// divisions out of the loop; below 10^15 one more step cannot overflow.
inline uint64_t feed(uint64_t value, uint8_t c, uint8_t kind) {
    value = kind == kind_digit ? value * 10 + (c - '0') : value * 100 + (c - 'A' + 10);
    return value >= 1'000'000'000'000'000ULL ? value % 97 : value;
}

}  // namespace

const iban_country_t *iban_country_of(const char *iban) {
    if (iban == nullptr) return nullptr;
    const unsigned first = letter_index[static_cast<uint8_t>(iban[0])];
    if (first >= 26) return nullptr;
    const unsigned second = letter_index[static_cast<uint8_t>(iban[1])];
    if (second >= 26) return nullptr;
    const unsigned slot = iban_country_slot[first * 26 + second];
    return slot == 0 ? nullptr : &iban_country_table[slot - 1];
}

int iban_layout_check(const char *iban, const iban_country_t &row) {
    if (strnlen(iban, row.length + 1u) != row.length) return SEPA_IBAN_REASON_LENGTH;
    const auto *text = reinterpret_cast<const uint8_t *>(iban);
    if (text[0] != static_cast<uint8_t>(row.code[0]) || text[1] != static_cast<uint8_t>(row.code[1]) ||
        char_kind[text[2]] != kind_digit || char_kind[text[3]] != kind_digit) {
        return SEPA_IBAN_REASON_FORMAT;
    }
    // The BBAN first, run by run, then country code and check digits.
    uint64_t value = 0;
    const uint8_t *c = text + 4;
    for (unsigned r = 0; r < row.run_count; ++r) {
        const uint8_t mask = run_mask(row.runs[r].kind);
        for (const uint8_t *end = c + row.runs[r].count; c < end; ++c) {
            const uint8_t kind = char_kind[*c];
            if ((kind & mask) == 0) return SEPA_IBAN_REASON_FORMAT;
            value = feed(value, *c, kind);
        }
    }
    for (int i = 0; i < 4; ++i) value = feed(value, text[i], char_kind[text[i]]);
    return value % 97 == 1 ? SEPA_IBAN_REASON_NONE : SEPA_IBAN_REASON_CHECK_DIGITS;
}

const char *iban_reason_text(int reason) {
    switch (reason) {
    case SEPA_IBAN_REASON_COUNTRY: return "Invalid or unknown IBAN country code";
    case SEPA_IBAN_REASON_LENGTH: return "Wrong IBAN length";
    case SEPA_IBAN_REASON_FORMAT: return "Invalid IBAN format";
    case SEPA_IBAN_REASON_CHECK_DIGITS: return "Invalid IBAN checksum";
    case SEPA_IBAN_REASON_BANK_CODE: return "Invalid bank ID (BLZ) in IBAN";
    case SEPA_IBAN_REASON_ACCOUNT: return "Invalid account number in IBAN";
    default: return nullptr;
    }
}
