// Bank code lookup: builds the directory key of a national bank code, finds its slot
// through the perfect hash and fills the caller's record from the stored text. German
// records may carry a second version that applies from the switch-over instant on.
#include <algorithm>
#include <cstring>
#include <iterator>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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
// Bits of a German version's first header byte: the deletion flag, and a mark that a
// second version follows this one (the generator sets it, so that the lean lookup
// searches for the second version only in records that have one).
constexpr uint8_t deletion_bit = 1;
constexpr uint8_t second_version_follows = 2;
constexpr size_t german_fields = 6;  // successor|bic|name|zip|city|country

const bank_code_country *find_country(const char *country) {
    if (country == nullptr) return nullptr;
    for (const auto &entry : bank_code_countries)
        if (country[0] == entry.country[0] && country[0] != '\0' && country[1] == entry.country[1] &&
            country[2] == '\0')
            return &entry;
    return nullptr;
}

// A German version: four header bytes, then its text, which ends at NUL or, when a
// second version follows, at the separator after its last field.
struct german_version {
    std::string_view header;
    std::string_view text;
    std::string_view next;  // the second version, or empty
};

#if defined(__SSE2__)
// Bit masks of the "|" and of the NUL bytes among the sixteen at text[offset..],
// limited to the text. The caller sees to it that sixteen bytes may be loaded there.
struct byte_marks {
    unsigned bars;
    unsigned nuls;
};

byte_marks marks_at(std::string_view text, size_t offset) {
    const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i *>(text.data() + offset));
    const unsigned inside = text.size() - offset >= 16 ? 0xFFFFu : (1u << (text.size() - offset)) - 1;
    return {static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, _mm_set1_epi8('|')))) & inside,
            static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, _mm_setzero_si128()))) & inside};
}
#endif

// Calls `found(offset, is_separator)` for every "|" and for the first NUL of `text`,
// in order, until it returns false. Sixteen characters at a time (SSE2 compares and
// a bit mask): records are short and this runs on every German lookup. `readable`
// bytes from text.data() on may be loaded; the records lie back to back in one
// array, so that is more than the record itself except at the array's end.
template <typename Found>
void scan_fields(std::string_view text, size_t readable, Found found) {
    size_t offset = 0;
#if defined(__SSE2__)
    for (; offset < text.size() && offset + 16 <= readable; offset += 16) {
        const auto [bars, nuls] = marks_at(text, offset);
        for (unsigned hits = bars | nuls; hits != 0; hits &= hits - 1) {
            const unsigned at = static_cast<unsigned>(__builtin_ctz(hits));
            const bool is_separator = (bars >> at & 1u) != 0;
            if (!found(offset + at, is_separator) || !is_separator) return;
        }
    }
#else
    (void)readable;
#endif
    for (; offset < text.size(); ++offset) {
        if (text[offset] != '|' && text[offset] != '\0') continue;
        const bool is_separator = text[offset] == '|';
        if (!found(offset, is_separator) || !is_separator) return;
    }
}

// Bytes that may be loaded from `at` on: up to the end of the record array.
size_t readable_from(const char *at) {
    const char *const end = directory_records + directory_record_offsets[directory_key_count];
    return static_cast<size_t>(end - at);
}

// A record's text without the NUL that ends the record. (Fields hold no NUL; if one
// did, the field scan would stop there, as a C string would.)
std::string_view without_final_nul(std::string_view text) {
    return !text.empty() && text.back() == '\0' ? text.substr(0, text.size() - 1) : text;
}

// Splits a stored German version from its successor: the version's text ends at its
// sixth "|" (or the NUL). Only records marked as having a second version need this
// search; the others end at their NUL.
german_version split_german_version(std::string_view stored) {
    german_version version;
    if (stored.size() < german_header_bytes) return version;
    version.header = stored.substr(0, german_header_bytes);
    const std::string_view text = stored.substr(german_header_bytes);
    if ((static_cast<uint8_t>(version.header[0]) & second_version_follows) == 0) {
        version.text = without_final_nul(text);
        return version;
    }
    version.text = text;
    size_t separators = 0;
    scan_fields(text, readable_from(text.data()), [&](size_t offset, bool is_separator) {
        if (!is_separator) {
            version.text = text.substr(0, offset);
            return false;
        }
        if (++separators < german_fields) return true;
        version.text = text.substr(0, offset);
        version.next = text.substr(offset + 1);
        return false;
    });
    return version;
}

// Copies a version text "field|field|..." (cut to what the working copy holds) into
// the record and points the `count` fields at their parts of the copy, each "|"
// between them replaced by NUL; fields after the last separator stay as they are.
// The text holds no NUL (the generator refuses fields with one). First the copy,
// sixteen bytes at a time, noting where the "|" are in a bit set of the 200
// positions; then the separators are taken from the set, lowest first, so that no
// branch depends on how the "|" fall into the sixteen-byte pieces.
void read_fields(std::string_view text, bank_record_t *record, const char **const fields[], size_t count) {
    char *const copy = record->text;
    const size_t copied = std::min(text.size(), sizeof record->text - 1);
    uint64_t bars[(sizeof record->text + 63) / 64] = {};
    size_t offset = 0;
#if defined(__SSE2__)
    // Whole pieces while they fit the working text and may be loaded; the bytes of a
    // last piece beyond the text land after its NUL, inside the working text.
    const size_t readable = readable_from(text.data());
    for (; offset < copied && offset + 16 <= readable && offset + 16 <= sizeof record->text; offset += 16) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i *>(text.data() + offset));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(copy + offset), chunk);
        const auto found = static_cast<uint64_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, _mm_set1_epi8('|'))));
        bars[offset / 64] |= found << (offset % 64);
    }
#endif
    for (; offset < copied; ++offset) {
        copy[offset] = text[offset];
        if (text[offset] == '|') bars[offset / 64] |= uint64_t{1} << (offset % 64);
    }
    copy[copied] = '\0';
    // bars beyond the text came from the bytes after it
    const size_t last_word = copied / 64;
    bars[last_word] &= (uint64_t{1} << (copied % 64)) - 1;
    for (size_t word = last_word + 1; word < std::size(bars); ++word) bars[word] = 0;

    *fields[0] = copy;
    size_t word = 0;
    for (size_t field = 1; field < count; ++field) {
        while (bars[word] == 0 && word < last_word) ++word;
        if (bars[word] == 0) return;
        const size_t at = word * 64 + static_cast<size_t>(__builtin_ctzll(bars[word]));
        bars[word] &= bars[word] - 1;
        copy[at] = '\0';
        *fields[field] = copy + at + 1;
    }
}

void read_german(const german_version &version, bank_record_t *record) {
    clear_record(record);
    if (version.header.empty()) return;
    const auto byte = [&](size_t i) { return static_cast<uint8_t>(version.header[i]); };
    record->deletion_flag = byte(0) & deletion_bit;
    record->method = byte(1);
    record->iban_rule = static_cast<int32_t>(byte(2) << 8 | byte(3));
    const char **const fields[] = {&record->successor, &record->bic,  &record->name,
                                   &record->zip,       &record->city, &record->country};
    read_fields(version.text, record, fields, std::size(fields));
}

void read_national(std::string_view text, bank_record_t *record) {
    clear_record(record);
    const char **const fields[] = {&record->bic, &record->name, &record->zip, &record->city, &record->country};
    read_fields(without_final_nul(text), record, fields, std::size(fields));
}

}  // namespace

size_t bank_code_width(const char *country) {
    const bank_code_country *entry = find_country(country);
    return entry != nullptr ? entry->width : 0;
}

namespace {

// The stored record of a national bank code: its country row and the bytes after the
// key, or false when the code is not in the directory.
bool find_bank_code(const char *country, const char *code, const bank_code_country *&entry, std::string_view &rest) {
    if (country == nullptr || code == nullptr || code[0] == '\0') return false;
    entry = find_country(country);
    if (entry == nullptr) return false;
    const size_t width = entry->width;
    size_t length = 0;
    while (length <= width && code[length] != '\0') ++length;
    if (length > width) return false;

    // "_", the table's country, the code zero-padded to its width (short loops: the
    // widths are 5 and 8, a library call would cost more than the copy).
    char key[16];
    key[0] = '_';
    key[1] = entry->table[0];
    key[2] = entry->table[1];
    const size_t padding = width - length;
    for (size_t i = 0; i < padding; ++i) key[3 + i] = '0';
    for (size_t i = 0; i < length; ++i) key[3 + padding + i] = code[i];
    const size_t key_length = 3 + width;
    key[key_length] = '\0';

    const int slot = directory_hash(key);
    if (slot < 0) return false;
    const std::string_view stored = directory_record(static_cast<uint32_t>(slot));
    if (stored.size() <= key_length) return false;
    // the key lengths as constants, so that the compare is a few loads, not a call
    const bool same = key_length == 11  ? std::memcmp(stored.data(), key, 11) == 0
                      : key_length == 8 ? std::memcmp(stored.data(), key, 8) == 0
                                        : std::memcmp(stored.data(), key, key_length) == 0;
    if (!same) return false;
    rest = stored.substr(key_length);
    return true;
}

// The German version in force now.
german_version current_german_version(std::string_view rest) {
    german_version version = split_german_version(rest);
    if (!version.next.empty() && clock_now() >= directory_switch_over) version = split_german_version(version.next);
    return version;
}

}  // namespace

int bank_lookup(const char *country, const char *code, bank_record_t *record) {
    const bank_code_country *entry = nullptr;
    std::string_view rest;
    if (!find_bank_code(country, code, entry, rest)) return 0;
    if (record == nullptr) return 1;
    if (!entry->german_form) {
        read_national(rest, record);
        return 1;
    }
    read_german(current_german_version(rest), record);
    return 1;
}

namespace {

// As read_fields for the first `count` fields only, which are short (successor, BIC):
// copies the text up to the end of the last of them, byte by byte, and looks no
// further; stops at a NUL as well.
void read_leading_fields(std::string_view text, bank_record_t *record, const char **const fields[], size_t count) {
    char *const copy = record->text;
    const size_t limit = std::min(text.size(), sizeof record->text - 1);
    *fields[0] = copy;
    size_t field = 0;
    size_t offset = 0;
    for (; offset < limit && text[offset] != '\0'; ++offset) {
        if (text[offset] != '|') {
            copy[offset] = text[offset];
            continue;
        }
        if (++field == count) break;
        copy[offset] = '\0';
        *fields[field] = copy + offset + 1;
    }
    copy[offset] = '\0';
}

// The lean lookups: deletion flag, method and IBAN rule of a German record, and its
// first `german_fields_wanted` fields (successor, BIC); the first
// `national_fields_wanted` fields of an Austrian or Swiss record (BIC).
int lookup_leading(const char *country, const char *code, bank_record_t *record, size_t german_fields_wanted,
                   size_t national_fields_wanted) {
    const bank_code_country *entry = nullptr;
    std::string_view rest;
    if (!find_bank_code(country, code, entry, rest)) return 0;
    if (record == nullptr) return 1;
    clear_record(record);
    if (!entry->german_form) {
        const char **const fields[] = {&record->bic};
        if (national_fields_wanted > 0) read_leading_fields(rest, record, fields, std::size(fields));
        return 1;
    }
    if (rest.size() < german_header_bytes) return 1;
    std::string_view header = rest.substr(0, german_header_bytes);
    std::string_view text = rest.substr(german_header_bytes);
    if ((static_cast<uint8_t>(header[0]) & second_version_follows) != 0 && clock_now() >= directory_switch_over) {
        // the second version: its own header and text after the sixth "|"
        const std::string_view next = split_german_version(rest).next;
        if (!next.empty()) {
            if (next.size() < german_header_bytes) return 1;
            header = next.substr(0, german_header_bytes);
            text = next.substr(german_header_bytes);
        }
    }
    record->deletion_flag = static_cast<uint8_t>(header[0]) & deletion_bit;
    record->method = static_cast<uint8_t>(header[1]);
    record->iban_rule = static_cast<int32_t>(static_cast<uint8_t>(header[2]) << 8 | static_cast<uint8_t>(header[3]));
    const char **const fields[] = {&record->successor, &record->bic};
    read_leading_fields(text, record, fields, std::min(german_fields_wanted, std::size(fields)));
    return 1;
}

}  // namespace

int bank_lookup_rule(const char *country, const char *code, bank_record_t *record) {
    return lookup_leading(country, code, record, 1, 0);
}

int bank_lookup_bic(const char *country, const char *code, bank_record_t *record) {
    return lookup_leading(country, code, record, 2, 1);
}
