#include "core/message/creditor_id_check.h"

#include <cstring>

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
