// Bank code lookup: builds the directory key of a national bank code, finds its slot
// through the perfect hash and fills the caller's record from the stored text. German
// records may carry a second version that applies from the switch-over instant on.
#include <cstring>
#include <iterator>
#include <string_view>

#include "core/bank/bank_code_country.h"
#include "core/bank/bank_record.h"
#include "core/bank/directory_tables.h"
#include "core/bank/record_text.h"
#include "core/frame/clock.h"

namespace {

struct bank_code_country {
    const char *country;  // as the caller names it
    const char *table;    // the records it is served from
    size_t width;         // digits of a bank code, zero-padded on the left
};

// Liechtenstein banks are members of the Swiss clearing and live among the Swiss records.
constexpr bank_code_country bank_code_countries[] = {
    {"AT", "AT", 5},
    {"CH", "CH", 5},
    {"DE", "DE", 8},
    {"LI", "CH", 5},
};

constexpr size_t german_header_bytes = 4;
constexpr size_t german_fields = 6;  // successor|bic|name|zip|city|country

const bank_code_country *find_country(const char *country) {
    if (country == nullptr) return nullptr;
    for (const auto &entry : bank_code_countries)
        if (std::strcmp(entry.country, country) == 0) return &entry;
    return nullptr;
}

// Reads one German version starting at its header bytes; returns what follows it when a
// second version is stored behind it, or an empty view.
std::string_view read_german_version(std::string_view version, bank_record_t *record) {
    *record = bank_record_t{};
    if (version.size() < german_header_bytes) return {};
    const auto byte = [&](size_t i) { return static_cast<uint8_t>(version[i]); };
    record->deletion_flag = byte(0);
    record->method = byte(1);
    record->iban_rule = static_cast<int32_t>(byte(2) << 8 | byte(3));
    const std::string_view text = version.substr(german_header_bytes);

    // The version's text ends at NUL, or at the separator after its last field when the
    // second version follows.
    size_t end = 0, separators = 0;
    while (end < text.size() && text[end] != '\0') {
        if (text[end] == '|' && ++separators == german_fields) break;
        ++end;
    }
    char *copy = copy_record_text(record, text.substr(0, end));
    const char **const fields[] = {&record->successor, &record->bic,  &record->name,
                                   &record->zip,       &record->city, &record->country};
    split_record_fields(copy, fields, german_fields);
    return separators == german_fields ? text.substr(end + 1) : std::string_view{};
}

void read_national(std::string_view text, bank_record_t *record) {
    *record = bank_record_t{};
    char *copy = copy_record_text(record, text.substr(0, text.find('\0')));
    const char **const fields[] = {&record->bic, &record->name, &record->zip, &record->city, &record->country};
    split_record_fields(copy, fields, std::size(fields));
}

}  // namespace

size_t bank_code_width(const char *country) {
    const bank_code_country *entry = find_country(country);
    return entry != nullptr ? entry->width : 0;
}

int bank_lookup(const char *country, const char *code, bank_record_t *record) {
    if (country == nullptr || code == nullptr || record == nullptr || code[0] == '\0') return 0;
    const bank_code_country *entry = find_country(country);
    if (entry == nullptr) return 0;
    const size_t length = strnlen(code, entry->width + 1);
    if (length > entry->width) return 0;

    char key[16];
    key[0] = '_';
    std::memcpy(key + 1, entry->table, 2);
    const size_t key_length = 3 + entry->width;
    std::memset(key + 3, '0', entry->width - length);
    std::memcpy(key + key_length - length, code, length);
    key[key_length] = '\0';

    const int slot = directory_hash(key);
    if (slot < 0) return 0;
    const std::string_view stored = directory_record(static_cast<uint32_t>(slot));
    if (stored.size() <= key_length || stored.compare(0, key_length, key, key_length) != 0) return 0;

    const std::string_view rest = stored.substr(key_length);
    if (std::strcmp(entry->table, "DE") != 0) {
        read_national(rest, record);
        return 1;
    }
    const std::string_view second = read_german_version(rest, record);
    if (!second.empty() && clock_now() >= directory_switch_over) read_german_version(second, record);
    return 1;
}
