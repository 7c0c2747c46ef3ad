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
    bool german_form;     // header bytes and up to two versions (see read_german)
};

// Liechtenstein banks are members of the Swiss clearing and live among the Swiss records.
constexpr bank_code_country bank_code_countries[] = {
    {"AT", "AT", 5, false},
    {"CH", "CH", 5, false},
    {"DE", "DE", 8, true},
    {"LI", "CH", 5, false},
};

constexpr size_t german_header_bytes = 4;
constexpr size_t german_fields = 6;  // successor|bic|name|zip|city|country

const bank_code_country *find_country(const char *country) {
    if (country == nullptr) return nullptr;
    for (const auto &entry : bank_code_countries)
        if (std::strcmp(entry.country, country) == 0) return &entry;
    return nullptr;
}

// A German version: four header bytes, then its text, which ends at NUL or, when a
// second version follows, at the separator after its last field.
struct german_version {
    std::string_view header;
    std::string_view text;
    std::string_view next;  // the second version, or empty
};

german_version split_german_version(std::string_view stored) {
    german_version version;
    if (stored.size() < german_header_bytes) return version;
    version.header = stored.substr(0, german_header_bytes);
    const std::string_view text = stored.substr(german_header_bytes);
    // memchr rather than a loop over the characters: this runs on every lookup.
    const void *nul = std::memchr(text.data(), '\0', text.size());
    const std::string_view body =
        nul == nullptr ? text : text.substr(0, static_cast<size_t>(static_cast<const char *>(nul) - text.data()));
    size_t after = 0;  // just after the last separator found
    for (size_t separators = 0; separators < german_fields; ++separators) {
        const void *bar = std::memchr(body.data() + after, '|', body.size() - after);
        if (bar == nullptr) {
            version.text = body;
            return version;
        }
        after = static_cast<size_t>(static_cast<const char *>(bar) - body.data()) + 1;
    }
    version.text = body.substr(0, after - 1);
    version.next = text.substr(after);
    return version;
}

void read_german(const german_version &version, bank_record_t *record) {
    *record = bank_record_t{};
    if (version.header.empty()) return;
    const auto byte = [&](size_t i) { return static_cast<uint8_t>(version.header[i]); };
    record->deletion_flag = byte(0);
    record->method = byte(1);
    record->iban_rule = static_cast<int32_t>(byte(2) << 8 | byte(3));
    char *copy = copy_record_text(record, version.text);
    const char **const fields[] = {&record->successor, &record->bic,  &record->name,
                                   &record->zip,       &record->city, &record->country};
    split_record_fields(copy, fields, german_fields);
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
    if (country == nullptr || code == nullptr || code[0] == '\0') return 0;
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

    if (record == nullptr) return 1;
    const std::string_view rest = stored.substr(key_length);
    if (!entry->german_form) {
        read_national(rest, record);
        return 1;
    }
    german_version version = split_german_version(rest);
    if (!version.next.empty() && clock_now() >= directory_switch_over) version = split_german_version(version.next);
    read_german(version, record);
    return 1;
}
