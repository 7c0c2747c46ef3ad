#include "core/iban/iban_structure.h"

#include <array>
#include <cstdint>
#include <cstring>

#include "core/iban/iban_check_digits.h"
#include "sepa.h"

namespace {

constexpr uint8_t kind_digit = 1;
constexpr uint8_t kind_upper = 2;

// Kind bits of every byte: one lookup per character decides the layout.
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
    // One pass over the BBAN, run by run, checks the layout and walks the check
    // digits; country code and check digits follow.
    uint64_t value = 0;
    const uint8_t *c = text + 4;
    for (unsigned r = 0; r < row.run_count; ++r) {
        const uint8_t mask = run_mask(row.runs[r].kind);
        for (const uint8_t *end = c + row.runs[r].count; c < end; ++c) {
            if ((char_kind[*c] & mask) == 0) return SEPA_IBAN_REASON_FORMAT;
            value = mod97_feed(value, *c);
        }
    }
    for (int i = 0; i < 4; ++i) value = mod97_feed(value, text[i]);
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
