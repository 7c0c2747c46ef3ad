#include "core/message/creditor_id_check.h"

#include <cstring>

#include "core/message/message_id_check.h"

namespace {

// Value of an identifier character for mod 97-10, or -1 when not a digit or letter.
int character_value(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
    if (c >= 'a' && c <= 'z') return c - 'a' + 10;
    return -1;
}

}  // namespace

const char *creditor_id_error(const char *creditor_id) {
    const size_t length = creditor_id == nullptr ? 0 : std::strlen(creditor_id);
    if (length < 7) return "Creditor Identifier too short";
    if (length > 35) return "Creditor Identifier too long";
    // The layout the schemas require: letters, two check digits, and a business code
    // of identifier characters without space.
    const auto is_letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
    const auto is_digit = [](char c) { return c >= '0' && c <= '9'; };
    if (!is_letter(creditor_id[0]) || !is_letter(creditor_id[1]) || !is_digit(creditor_id[2]) ||
        !is_digit(creditor_id[3])) {
        return "Invalid character in Creditor Identifier";
    }
    for (size_t i = 4; i < 7; ++i) {
        if (creditor_id[i] == ' ' || !is_identifier_char(creditor_id[i])) return "Invalid character in Creditor Identifier";
    }
    // National identifier first, then country code and check digits; the business
    // code (positions 4-6) is not part of the check.
    unsigned remainder = 0;
    for (size_t n = 0; n < length - 3; ++n) {
        const size_t position = n < length - 7 ? n + 7 : n - (length - 7);
        const int value = character_value(creditor_id[position]);
        if (value < 0) return "Invalid character in Creditor Identifier";
        remainder = value < 10 ? remainder * 10 + static_cast<unsigned>(value)
                               : remainder * 100 + static_cast<unsigned>(value);
        remainder %= 97;
    }
    return remainder == 1 ? nullptr : "Invalid Creditor Identifier checksum";
}
