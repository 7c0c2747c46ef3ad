// BIC lookup: an 8- or 11-character BIC (any case) is brought to its 11-character upper
// case form, found through the perfect hash, and its entry copied into the record.
#include <cstring>
#include <string_view>

#include "core/bank/bank_record.h"
#include "core/bank/directory_tables.h"
#include "core/frame/text_checks.h"

namespace {

constexpr size_t bic_length = 11;

bool is_ascii_alnum(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// The stored flag character is the SEPA_SCL_* bits as one hexadecimal digit.
int flag_value(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

int bic_lookup(const char *bic, bank_record_t *record) {
    if (bic == nullptr) return 0;
    const size_t length = strnlen(bic, bic_length + 1);
    if (length != 8 && length != bic_length) return 0;
    char key[bic_length + 1] = "XXXXXXXXXXX";
    for (size_t i = 0; i < length; ++i) {
        if (!is_ascii_alnum(bic[i])) return 0;
        key[i] = ascii_upper(bic[i]);
    }

    const int slot = directory_hash(key);
    if (slot < 0) return 0;
    const std::string_view stored = directory_record(static_cast<uint32_t>(slot));
    if (stored.size() <= bic_length || stored.compare(0, bic_length, key, bic_length) != 0) return 0;
    const int flags = flag_value(stored[bic_length]);
    if (flags < 0) return 0;
    if (record == nullptr) return 1;
    std::string_view name = stored.substr(bic_length + 1);
    name = name.substr(0, name.find('\0'));

    // Working copy: "BIC\0name\0CC\0", the country being the BIC's fifth and sixth characters.
    *record = bank_record_t{};
    char *text = record->text;
    const size_t room = sizeof record->text - (bic_length + 1) - 3 - 1;
    if (name.size() > room) name = name.substr(0, room);
    std::memcpy(text, key, bic_length + 1);
    char *name_copy = text + bic_length + 1;
    std::memcpy(name_copy, name.data(), name.size());
    name_copy[name.size()] = '\0';
    char *country = name_copy + name.size() + 1;
    country[0] = key[4];
    country[1] = key[5];
    country[2] = '\0';

    record->bic = text;
    record->scl_flags = static_cast<uint8_t>(flags);
    record->name = name_copy;
    record->country = country;
    return 1;
}
