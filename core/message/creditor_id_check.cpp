#include "core/message/creditor_id_check.h"

#include <cstring>

#include "core/iban/iban_check_digits.h"
#include "core/message/message_id_check.h"

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
        if (creditor_id[i] == ' ' || !is_identifier_char(creditor_id[i]))
            return "Invalid character in Creditor Identifier";
    }
    // The same mod 97-10 as an IBAN's, over the identifier without its business code
    // (positions 4-6): national identifier first, then country code and check digits.
    char checked[33];
    std::memcpy(checked, creditor_id, 4);
    std::memcpy(checked + 4, creditor_id + 7, length - 7);
    const int remainder = iban_mod97(checked, length - 3);
    if (remainder < 0) return "Invalid character in Creditor Identifier";
    return remainder == 1 ? nullptr : "Invalid Creditor Identifier checksum";
}
