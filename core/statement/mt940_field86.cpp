#include "core/statement/mt940_field86.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "core/statement/mt940_values.h"
#include "core/statement/stmt_parser.h"

namespace mt940 {

field86_scratch::~field86_scratch() { std::free(bytes); }

namespace {

using text_field = char *sepa_stmt_tx_t::*;

// Purpose-line targets: the untagged purpose text first, then the SEPA keywords.
struct target_row {
    const char *keyword;  // nullptr for the untagged purpose text
    text_field field;
    bool amount;          // decimal comma of an amount becomes a point
};
constexpr target_row targets[] = {
    {nullptr, &sepa_stmt_tx_t::purpose, false},
    {"EREF+", &sepa_stmt_tx_t::eref, false},
    {"KREF+", &sepa_stmt_tx_t::kref, false},
    {"MREF+", &sepa_stmt_tx_t::mref, false},
    {"CRED+", &sepa_stmt_tx_t::cred, false},
    {"DEBT+", &sepa_stmt_tx_t::debt, false},
    {"PURP+", &sepa_stmt_tx_t::purp, false},
    {"COAM+", &sepa_stmt_tx_t::coam, true},
    {"OAMT+", &sepa_stmt_tx_t::oamt, true},
    {"SVWZ+", &sepa_stmt_tx_t::svwz, false},
    {"ABWA+", &sepa_stmt_tx_t::abwa, false},
    {"ABWE+", &sepa_stmt_tx_t::abwe, false},
};
constexpr int target_count = sizeof targets / sizeof targets[0];
constexpr int purpose_target = 0;
constexpr size_t keyword_length = 5;
// Purpose lines of German banks hold 27 characters: a keyword line with 22
// characters after its keyword, or a line of 27, is full and the text runs on
// into the next line without a blank.
constexpr size_t full_keyword_text = 22;
constexpr size_t full_line = 27;
constexpr size_t name_line = 27;

constexpr int no_subfield = -1;

// One subfield of the field, as an offset range of the scratch copy.
struct piece {
    size_t start;
    size_t length;
    int number;
    int target;    // purpose lines: index into targets, else -1
    char separator;  // byte put before an appended purpose line, 0 for none
};

bool is_purpose_line(int number) {
    return (number >= 20 && number <= 29) || (number >= 60 && number <= 63);
}

int keyword_target(const char *text, size_t length) {
    if (length < keyword_length || text[keyword_length - 1] != '+') return -1;
    for (int t = 1; t < target_count; ++t) {
        if (std::memcmp(text, targets[t].keyword, keyword_length) == 0) return t;
    }
    return -1;
}

bool marker_at(const char *f, size_t n, size_t i) {
    return f[i] == '?' && i + 2 < n && is_digit(f[i + 1]) && is_digit(f[i + 2]);
}

int marker_number(const char *f, size_t i) { return (f[i + 1] - '0') * 10 + (f[i + 2] - '0'); }

// Splits the field into subfields. A subfield "?S" ends at the first later
// "?NN" with NN greater than S; when "?(S+1)" occurs from there on, its last
// occurrence ends it instead. Any other "?" belongs to the text.
size_t split_subfields(const char *f, size_t n, piece *pieces) {
    size_t last_position[101];
    bool seen[101] = {};
    size_t first = n;
    for (size_t i = 0; i < n; ++i) {
        if (!marker_at(f, n, i)) continue;
        int number = marker_number(f, i);
        if (first == n) first = i;
        last_position[number] = i;
        seen[number] = true;
    }
    size_t count = 0;
    size_t at = first;
    while (at < n) {
        int number = marker_number(f, at);
        size_t start = at + 3;
        size_t end = n;
        for (size_t j = start; j < n; ++j) {
            if (marker_at(f, n, j) && marker_number(f, j) > number) {
                end = j;
                break;
            }
        }
        if (end < n && seen[number + 1] && last_position[number + 1] >= end) {
            end = last_position[number + 1];
        }
        pieces[count++] = piece{start, end - start, number, -1, 0};
        at = end;
    }
    return count;
}

// Decides for every purpose line which field it goes to and what separates it
// from the text before it; last_start[t] is the piece that (last) starts field t.
void assign_purpose_lines(const char *f, piece *pieces, size_t count, long *last_start) {
    int current = -1;
    size_t last_appended = 0;
    size_t target_length[target_count] = {};
    for (size_t i = 0; i < count; ++i) {
        piece &line = pieces[i];
        if (!is_purpose_line(line.number)) continue;
        int keyword = keyword_target(f + line.start, line.length);
        if (keyword >= 0) {
            line.target = keyword;
            line.start += keyword_length;
            line.length -= keyword_length;
            target_length[keyword] = line.length;
            last_start[keyword] = static_cast<long>(i);
            current = keyword;
        } else if (current < 0) {
            line.target = purpose_target;
            target_length[purpose_target] = line.length;
            last_start[purpose_target] = static_cast<long>(i);
            current = purpose_target;
        } else {
            line.target = current;
            if (current == purpose_target) {
                line.separator = '\n';
            } else if (target_length[current] != full_keyword_text && last_appended < full_line) {
                line.separator = ' ';
            }
            target_length[current] += line.length + (line.separator != 0 ? 1 : 0);
            last_appended = line.length;
        }
    }
}

// Copies at most capacity - 1 bytes of text behind what `array` holds; always
// NUL-terminated. Stops at a NUL byte inside the text.
void append_bounded(char *array, size_t capacity, const char *text, size_t length) {
    size_t used = std::strlen(array);
    size_t room = capacity - 1 - used;
    size_t take = length < room ? length : room;
    const void *nul = std::memchr(text, '\0', take);
    if (nul != nullptr) take = static_cast<size_t>(static_cast<const char *>(nul) - text);
    std::memcpy(array + used, text, take);
    array[used + take] = '\0';
}

void copy_bounded(char *array, size_t capacity, const char *text, size_t length) {
    array[0] = '\0';
    append_bounded(array, capacity, text, length);
}

// Lays values out one after another in the field's own bytes.
struct value_writer {
    char *at;
    char *begin_value() { return at; }
    void put(const char *text, size_t length) {
        std::memcpy(at, text, length);
        at += length;
    }
    void put_byte(char c) { *at++ = c; }
    char *end_value(char *start) {
        *at++ = '\0';
        return start;
    }
};

char *write_value(value_writer &out, const char *source, size_t length) {
    char *start = out.begin_value();
    out.put(source, length);
    return out.end_value(start);
}

void apply_counterparty(sepa_stmt_tx_t *tx, const char *text, const piece &p) {
    const char *value = text + p.start;
    switch (p.number) {
        case 30: copy_bounded(tx->bank, sizeof tx->bank, value, p.length); break;
        case 31: copy_bounded(tx->account, sizeof tx->account, value, p.length); break;
        case 32: copy_bounded(tx->name, sizeof tx->name, value, p.length); break;
        case 33: {
            size_t used = std::strlen(tx->name);
            if (used > 0 && used < name_line) append_bounded(tx->name, sizeof tx->name, " ", 1);
            append_bounded(tx->name, sizeof tx->name, value, p.length);
            break;
        }
        case 34: tx->extcode = read_code(value, value + p.length, 3); break;
        default: break;
    }
}

bool reserve(field86_scratch *scratch, size_t size) {
    if (scratch->capacity >= size) return true;
    size_t capacity = scratch->capacity < 256 ? 256 : scratch->capacity;
    while (capacity < size) capacity *= 2;
    // The old contents are not needed: every field is copied in afresh.
    void *bytes = stmt_allocate_raw(capacity);
    if (bytes == nullptr) return false;
    std::free(scratch->bytes);
    scratch->bytes = static_cast<char *>(bytes);
    scratch->capacity = capacity;
    return true;
}

}  // namespace

bool apply_field86(sepa_stmt_tx_t *tx, char *field, size_t length, field86_scratch *scratch) {
    const char *end = field + length;
    const char *p = field;
    while (p < end && (*p == ' ' || *p == '\t')) ++p;
    const char *after_code = p;
    for (int i = 0; i < 3 && after_code < end && is_digit(*after_code); ++i) ++after_code;
    tx->gvc = digits_value(p, static_cast<int>(after_code - p));

    // The copy is followed by room for the subfield table (a subfield takes at
    // least three bytes of the field, so there are at most length / 3 of them).
    size_t max_pieces = length / 3 + 1;
    size_t text_room = (length + alignof(piece)) / alignof(piece) * alignof(piece);
    if (!reserve(scratch, text_room + max_pieces * sizeof(piece))) return false;
    char *text = scratch->bytes;
    std::memcpy(text, field, length);
    piece *pieces = reinterpret_cast<piece *>(text + text_room);
    size_t count = split_subfields(text, length, pieces);

    value_writer out{field};
    if (count == 0) {
        // An unstructured field: its text after the code is the purpose.
        size_t offset = static_cast<size_t>(after_code - field);
        if (offset < length) tx->purpose = write_value(out, text + offset, length - offset);
        return true;
    }

    long last_start[target_count];
    for (long &index : last_start) index = no_subfield;
    long last_posting_text = no_subfield;
    long last_journal = no_subfield;
    assign_purpose_lines(text, pieces, count, last_start);
    for (size_t i = 0; i < count; ++i) {
        if (pieces[i].number == 0) last_posting_text = static_cast<long>(i);
        else if (pieces[i].number == 10) last_journal = static_cast<long>(i);
        else apply_counterparty(tx, text, pieces[i]);
    }
    if (last_posting_text != no_subfield) {
        const piece &p = pieces[last_posting_text];
        tx->txtext = write_value(out, text + p.start, p.length);
    }
    if (last_journal != no_subfield) {
        const piece &p = pieces[last_journal];
        tx->primanota = write_value(out, text + p.start, p.length);
    }
    for (int t = 0; t < target_count; ++t) {
        if (last_start[t] == no_subfield) continue;
        auto first = static_cast<size_t>(last_start[t]);
        char *start = out.begin_value();
        out.put(text + pieces[first].start, pieces[first].length);
        for (size_t i = first + 1; i < count; ++i) {
            if (pieces[i].target != t) continue;
            if (pieces[i].separator != 0) out.put_byte(pieces[i].separator);
            out.put(text + pieces[i].start, pieces[i].length);
        }
        char *value = out.end_value(start);
        if (targets[t].amount) {
            char *comma = std::strchr(value, ',');
            if (comma != nullptr) *comma = '.';
        }
        tx->*targets[t].field = value;
    }
    return true;
}

}  // namespace mt940
