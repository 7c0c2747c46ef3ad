#include "core/message/message_id_check.h"

#include <array>
#include <cstring>

namespace {

// One lookup per byte.
constexpr std::array<bool, 256> identifier_bytes = [] {
    std::array<bool, 256> table{};
    for (int c = 'A'; c <= 'Z'; ++c) table[c] = true;
    for (int c = 'a'; c <= 'z'; ++c) table[c] = true;
    for (int c = '0'; c <= '9'; ++c) table[c] = true;
    for (const char *p = " '()+,-./:?"; *p != '\0'; ++p) table[static_cast<unsigned char>(*p)] = true;
    return table;
}();

}  // namespace

bool is_identifier_char(char c) { return identifier_bytes[static_cast<unsigned char>(c)]; }

int check_message_id(const char *id) {
    if (id == nullptr) return 0;
    const size_t length = std::strlen(id);
    if (length == 0 || length > 35) return 0;
    for (const char *p = id; *p; ++p) {
        if (!is_identifier_char(*p)) return 0;
    }
    return 1;
}
