#include "core/statement/mt940_field86.h"

#include <cstdint>
#include <cstdlib>
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

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
    bool amount;  // decimal comma of an amount becomes a point
};
constexpr target_row targets[] = {
    {nullptr, &sepa_stmt_tx_t::purpose, false}, {"EREF+", &sepa_stmt_tx_t::eref, false},
    {"KREF+", &sepa_stmt_tx_t::kref, false},    {"MREF+", &sepa_stmt_tx_t::mref, false},
    {"CRED+", &sepa_stmt_tx_t::cred, false},    {"DEBT+", &sepa_stmt_tx_t::debt, false},
    {"PURP+", &sepa_stmt_tx_t::purp, false},    {"COAM+", &sepa_stmt_tx_t::coam, true},
    {"OAMT+", &sepa_stmt_tx_t::oamt, true},     {"SVWZ+", &sepa_stmt_tx_t::svwz, false},
    {"ABWA+", &sepa_stmt_tx_t::abwa, false},    {"ABWE+", &sepa_stmt_tx_t::abwe, false},
};
constexpr int target_count = sizeof targets / sizeof targets[0];
constexpr int purpose_target = 0;
constexpr size_t keyword_length = 5;
// Purpose lines of German banks hold 27 characters: a line of 27 is full and the
// text runs on into the next line without a blank.
constexpr size_t full_line = 27;
constexpr size_t name_line = 27;

constexpr int no_subfield = -1;

// One subfield of the field, as an offset range of the scratch copy.
struct piece {
    size_t start;
    size_t length;
    int number;
    int target;      // purpose lines: index into targets, else -1
    char separator;  // byte put before an appended purpose line, 0 for none
};

bool is_purpose_line(int number) { return (number >= 20 && number <= 29) || (number >= 60 && number <= 63); }

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

// Splits the field into subfields: every "?" followed by two digits starts one,
// wherever it stands (banks put "?11" or "?21" after "?30"). A "?" followed by
// anything else belongs to the text.
size_t split_subfields(const char *f, size_t n, piece *pieces) {
    size_t count = 0;
    size_t at = n;
    for (size_t i = 0; i < n; ++i) {
        if (marker_at(f, n, i)) {
            at = i;
            break;
        }
    }
    while (at < n) {
        size_t start = at + 3;
        size_t end = start;
        while (end < n && !marker_at(f, n, end)) ++end;
        pieces[count++] = piece{start, end - start, marker_number(f, at), -1, 0};
        at = end;
    }
    return count;
}

// Keyword at position i of the purpose text, or -1.
int keyword_at(const std::string &text, size_t i) {
    if (i + keyword_length > text.size()) return -1;
    return keyword_target(text.data() + i, text.size() - i);
}

// Number of characters of a UTF-8 text (line lengths count characters, and a
// "ß" takes two bytes).
size_t characters(const char *text, size_t length) {
    size_t count = 0;
    for (size_t i = 0; i < length; ++i) count += (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80;
    return count;
}

// Joins the purpose lines into one text: lines before the first keyword with line
// feeds, later ones with a blank unless the line before was exactly full (27
// characters, i.e. 22 after a keyword) and the text runs on without one.
void join_purpose_lines(const char *f, const piece *pieces, size_t count, std::string *joined) {
    joined->clear();
    bool keyword_seen = false;
    bool first = true;
    size_t previous = 0;
    for (size_t i = 0; i < count; ++i) {
        const piece &line = pieces[i];
        if (!is_purpose_line(line.number)) continue;
        const char *text = f + line.start;
        if (!first) {
            bool starts_keyword = keyword_target(text, line.length) >= 0;
            if (!keyword_seen && !starts_keyword) joined->push_back('\n');
            else if (previous != full_line) joined->push_back(' ');
        }
        size_t begin = joined->size();
        joined->append(text, line.length);
        for (size_t j = begin; j + keyword_length <= joined->size() && !keyword_seen; ++j) {
            if (keyword_at(*joined, j) >= 0) keyword_seen = true;
        }
        previous = characters(text, line.length);
        first = false;
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

// Over the size threshold for now: splitting the subfield walk into smaller steps is open work.
// NOLINTNEXTLINE(readability-function-size)
bool apply_field86(sepa_stmt_tx_t *tx, char *field, size_t length, field86_scratch *scratch) {
    const char *end = field + length;
    const char *p = field;
    while (p < end && (*p == ' ' || *p == '\t')) ++p;
    const char *after_code = p;
    for (int i = 0; i < 3 && after_code < end && is_digit(*after_code); ++i) ++after_code;
    // A business transaction code has exactly three digits: a longer number
    // (an unstructured field starting with an amount or an account) is text.
    if (after_code - p != 3 || (after_code < end && is_digit(*after_code))) after_code = p;
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

    long last_posting_text = no_subfield;
    long last_journal = no_subfield;
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

    // The purpose lines as one text, cut at every SEPA keyword wherever it
    // stands; the text before the first keyword is the purpose. A keyword that
    // comes again continues its field after a blank.
    std::string &joined = scratch->joined;
    join_purpose_lines(text, pieces, count, &joined);
    if (joined.empty() &&
        !std::any_of(pieces, pieces + count, [](const piece &p) { return is_purpose_line(p.number); }))
        return true;
    using run = keyword_run;
    std::vector<run> &runs = scratch->runs;
    runs.clear();
    runs.push_back(run{purpose_target, 0, joined.size()});
    for (size_t i = 0; i < joined.size(); ++i) {
        int keyword = keyword_at(joined, i);
        if (keyword < 0) continue;
        runs.back().end = i;
        runs.push_back(run{keyword, i + keyword_length, joined.size()});
        i += keyword_length - 1;
    }
    for (int t = 0; t < target_count; ++t) {
        char *start = nullptr;
        for (const run &r : runs) {
            if (r.target != t) continue;
            size_t end = r.end;
            // Blanks and line feeds before the next keyword separate, they are no text.
            while (end > r.start && (joined[end - 1] == ' ' || joined[end - 1] == '\n')) --end;
            if (t == purpose_target && end == r.start) continue;
            if (start == nullptr) {
                start = out.begin_value();
            } else {
                out.put_byte(' ');
            }
            out.put(joined.data() + r.start, end - r.start);
        }
        if (start == nullptr) continue;
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
