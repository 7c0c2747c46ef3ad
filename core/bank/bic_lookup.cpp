// BIC lookup: an 8- or 11-character BIC (any case) is brought to its 11-character upper
// case form and found through the perfect hash; the record points at the stored name.
#include <array>
#include <cstring>
#include <string_view>

#include "core/bank/bank_record.h"
#include "core/bank/directory_tables.h"
#include "core/bank/record_text.h"

namespace {

constexpr size_t bic_length = 11;

// Each byte's character in a BIC key: digits and upper case letters as they are,
// lower case letters upper-cased, 0 for every other byte (NUL included).
constexpr std::array<char, 256> key_characters = [] {
    std::array<char, 256> table{};
    for (char c = '0'; c <= '9'; ++c) table[static_cast<unsigned char>(c)] = c;
    for (char c = 'A'; c <= 'Z'; ++c) {
        table[static_cast<unsigned char>(c)] = c;
        table[static_cast<unsigned char>(c - 'A' + 'a')] = c;
    }
    return table;
}();

// The stored flag character is the SEPA_SCL_* bits as one hexadecimal digit.
int flag_value(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

int bic_lookup(const char *bic, bank_record_t *record) {
    if (bic == nullptr) return 0;
    // The BIC's characters up to the twelfth: a valid one has 8 or 11, then its NUL.
    char key[bic_length + 1] = "XXXXXXXXXXX";
    size_t length = 0;
    for (; length <= bic_length && bic[length] != '\0'; ++length) {
        const char c = key_characters[static_cast<unsigned char>(bic[length])];
        if (length == bic_length || c == '\0') return 0;
        key[length] = c;
    }
    if (length != 8 && length != bic_length) return 0;

    const int slot = directory_hash(key);
    if (slot < 0) return 0;
    const std::string_view stored = directory_record(static_cast<uint32_t>(slot));
    // "BIC flag name NUL": a record of another kind or too short for that is no match
    if (stored.size() <= bic_length + 1 || std::memcmp(stored.data(), key, bic_length) != 0 || stored.back() != '\0')
        return 0;
    const int flags = flag_value(stored[bic_length]);
    if (flags < 0) return 0;
    if (record == nullptr) return 1;

    // The name is read where it is stored (it ends at the record's NUL); BIC and
    // country, which the record text does not hold as strings of their own, are
    // copied: "BIC\0CC\0", the country being the BIC's fifth and sixth characters.
    clear_record(record);
    char *text = record->text;
    std::memcpy(text, key, bic_length + 1);
    char *country = text + bic_length + 1;
    country[0] = key[4];
    country[1] = key[5];
    country[2] = '\0';
    record->bic = text;
    record->scl_flags = static_cast<uint8_t>(flags);
    record->name = stored.data() + bic_length + 1;
    record->country = country;
    return 1;
}
