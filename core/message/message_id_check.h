// The SEPA identifier character set (ASCII letters, digits, space and
// ' ( ) + , - . / : ?), which the schemas demand of message ids, end-to-end ids,
// mandate references and creditor identifiers whatever the rulebook.
#pragma once

#include <array>

// The set as a table of bytes, so that the check inlines to one lookup.
inline constexpr std::array<bool, 256> identifier_bytes = [] {
    std::array<bool, 256> table{};
    for (int c = 'A'; c <= 'Z'; ++c) table[c] = true;
    for (int c = 'a'; c <= 'z'; ++c) table[c] = true;
    for (int c = '0'; c <= '9'; ++c) table[c] = true;
    for (const char *p = " '()+,-./:?"; *p != '\0'; ++p) table[static_cast<unsigned char>(*p)] = true;
    return table;
}();

// True when `c` belongs to the identifier set (space included).
inline bool is_identifier_char(char c) { return identifier_bytes[static_cast<unsigned char>(c)]; }

// 1 when `id` is 1-35 bytes of the identifier set, else 0.
int check_message_id(const char *id);
