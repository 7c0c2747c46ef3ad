// MT940 statements: one forward pass over the loaded text, line by line, cutting
// values out in place. A statement begins at a line ":20:" and ends at a line
// beginning with "-" (also "-}" closing a SWIFT envelope), at the next ":20:",
// at the end of the text, or where a value it needs cannot be read. Lines end with
// CR LF or with LF alone.
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "core/frame/number_reader.h"
#include "core/statement/mt940_field86.h"
#include "core/statement/mt940_values.h"
#include "core/statement/stmt_parser.h"

namespace {

using namespace mt940;

// One line: its content [begin, end) without the line break, and where the next
// line starts (== end of text for the last line).
struct line_t {
    char *begin;
    char *end;
    char *next;
};

line_t line_at(char *p, char *text_end) {
    auto *lf = static_cast<char *>(std::memchr(p, '\n', static_cast<size_t>(text_end - p)));
    if (lf == nullptr) return line_t{p, text_end, text_end};
    char *end = lf;
    if (end > p && end[-1] == '\r') --end;
    return line_t{p, end, lf + 1};
}

bool starts_with(const line_t &line, const char *tag, size_t length) {
    return static_cast<size_t>(line.end - line.begin) >= length && std::memcmp(line.begin, tag, length) == 0;
}

template <size_t N>
bool starts_with(const line_t &line, const char (&tag)[N]) {
    return starts_with(line, tag, N - 1);
}

// A tag line starts with one of the tags of MT940 and MT942 (":20:", ":28C:",
// ...). Any other line, also one that looks like a tag (":26:37" of a time
// wrapped onto a new line), continues the field before it.
bool is_tag_line(const line_t &line) {
    static constexpr const char *tags[] = {
        ":20:",  ":21:", ":25:", ":28:", ":28C:", ":60F:", ":60M:", ":61:",  ":62F:",
        ":62M:", ":64:", ":65:", ":86:", ":13:",  ":13D:", ":34F:", ":90D:", ":90C:"};
    if (line.begin == line.end || *line.begin != ':') return false;
    for (const char *tag : tags) {
        if (starts_with(line, tag, std::strlen(tag))) return true;
    }
    return false;
}

// The end line of a statement: "-" alone, or "-}" closing a SWIFT envelope.
bool is_end_line(const line_t &line) {
    const char *p = line.begin;
    if (p == line.end || *p != '-') return false;
    if (p + 1 < line.end && p[1] == '}') return true;
    for (++p; p < line.end; ++p) {
        if (*p != ' ' && *p != '\t') return false;
    }
    return true;
}

class mt940_reader {
public:
    mt940_reader(sepa_stmt_parser_t *parser, char *text, size_t size)
        : parser_(parser), at_(text), text_end_(text + size) {}

    // 1 when the whole text was read, 0 when a record could not be allocated.
    int run() {
        while (at_ < text_end_) {
            line_t line = line_at(at_, text_end_);
            at_ = line.next;
            if (starts_with(line, ":20:")) {
                if (!begin_statement(line)) return 0;
                continue;
            }
            if (stmt_ == nullptr) continue;  // outside a statement
            if (starts_with(line, ":86:")) {
                if (!field86(line)) return 0;
                continue;
            }
            outcome result = statement_line(line);
            if (result == outcome::out_of_memory) return 0;
            if (result == outcome::ends_statement) end_statement();
        }
        return 1;
    }

private:
    enum class outcome { next_line, ends_statement, out_of_memory };
    static constexpr long customer_reference = 16;

    static void cut(const line_t &line) { *line.end = '\0'; }

    bool begin_statement(const line_t &line) {
        auto *stmt = static_cast<sepa_stmt_t *>(arena_allocate(&parser_->arena, sizeof(sepa_stmt_t)));
        if (stmt == nullptr) return false;
        if (parser_->stmt_tail != nullptr) parser_->stmt_tail->next = stmt;
        else parser_->stmt_head = stmt;
        parser_->stmt_tail = stmt;
        stmt_ = stmt;
        tx_ = nullptr;
        cut(line);
        stmt->ref = line.begin + 4;
        return true;
    }

    void end_statement() {
        stmt_ = nullptr;
        tx_ = nullptr;
    }

    outcome statement_line(const line_t &line) {
        cut(line);
        if (starts_with(line, ":61:")) return statement_entry(line);
        if (line.begin < line.end && *line.begin == '-') return outcome::ends_statement;
        if (starts_with(line, ":25:")) {
            stmt_->account = line.begin + 4;
        } else if (starts_with(line, ":28C:")) {
            if (!statement_number(line.begin + 5, line.end)) return outcome::ends_statement;
        } else if (starts_with(line, ":28:")) {
            if (!statement_number(line.begin + 4, line.end)) return outcome::ends_statement;
        } else if (starts_with(line, ":60F:") || starts_with(line, ":60M:")) {
            if (!balance(line, &stmt_->open_date, stmt_->open_currency, &stmt_->open_saldo))
                return outcome::ends_statement;
            stmt_->has_open = 1;
        } else if (starts_with(line, ":62F:") || starts_with(line, ":62M:")) {
            if (!balance(line, &stmt_->close_date, stmt_->close_currency, &stmt_->close_saldo))
                return outcome::ends_statement;
            stmt_->has_close = 1;
        } else {
            return outcome::next_line;  // unknown tag or a supplementary-details line
        }
        // A field 86 after another tag belongs to the statement, not to a line.
        tx_ = nullptr;
        return outcome::next_line;
    }

    // ":28C:" number, optionally "/" and the page (sequence) number.
    bool statement_number(const char *p, const char *end) {
        while (p < end && *p == ' ') ++p;
        uint32_t number = 0;
        uint32_t page = 0;
        const char *after = read_unsigned(p, end, &number);
        if (after == nullptr) return false;
        if (after < end && *after == '/' && read_unsigned(after + 1, end, &page) == nullptr) page = 0;
        stmt_->number = number;
        stmt_->page = page;
        return true;
    }

    // Tag (5), debit/credit mark (1), YYMMDD, currency (3), amount with a decimal comma.
    static bool balance(const line_t &line, struct tm *date, char *currency, double *saldo) {
        char *p = line.begin;
        if (line.end - p < 12 || !read_yymmdd(p + 6, line.end, date)) return false;
        char *code = p + 12;
        size_t i = 0;
        for (; i < 3 && code + i < line.end; ++i) currency[i] = code[i];
        currency[i] = '\0';
        double amount = 0.0;
        if (line.end - p >= 15) {
            char *amount_text = p + 15;
            char *comma_end = line.end - amount_text > 15 ? amount_text + 15 : line.end;
            amount = parse_comma_amount(amount_text, comma_end);
        }
        *saldo = p[5] == 'D' ? -amount : amount;
        return true;
    }

    // ":61:" value date, optional entry date MMDD, mark (C, D, RC, RD), optional
    // funds code, amount, type "N"/"F"/"S" and a 3-character code, customer
    // reference, optionally "//" and the bank reference.
    outcome statement_entry(const line_t &line) {
        auto *tx = static_cast<sepa_stmt_tx_t *>(arena_allocate(&parser_->arena, sizeof(sepa_stmt_tx_t)));
        if (tx == nullptr) return outcome::out_of_memory;
        if (stmt_->tx_tail != nullptr) stmt_->tx_tail->next = tx;
        else stmt_->tx_head = tx;
        stmt_->tx_tail = tx;
        tx_ = tx;

        char *p = line.begin + 4;
        char *end = line.end;
        if (!read_yymmdd(p, end, &tx->valuta)) return outcome::ends_statement;
        p += 6;
        if (digits_at(p, end, 4)) {
            int month = digits_value(p, 2);
            int year = tx->valuta.tm_year;
            if (tx->valuta.tm_mon == 11 && month == 1) ++year;
            if (tx->valuta.tm_mon == 0 && month == 12) --year;
            tx->booked = tx->valuta;
            tx->booked.tm_mon = month - 1;
            tx->booked.tm_mday = digits_value(p + 2, 2);
            tx->booked.tm_year = year;
            p += 4;
        }
        if (p < end && *p == 'R') {
            tx->reversal = 1;
            ++p;
        }
        // "D" takes money out and "C" brings it in; a reversal turns that round
        // ("RC" cancels a credit and is a debit entry), so that the signed
        // amounts of a statement add up from its opening to its closing balance.
        double sign = 1.0;
        if (p < end) {
            if ((*p == 'D') != (tx->reversal != 0)) sign = -1.0;
            ++p;
            if (p < end && ((*p >= 'A' && *p <= 'Z') || (*p >= 'a' && *p <= 'z'))) ++p;
        }
        char *type = find_type(p, end);
        if (type == nullptr) return outcome::ends_statement;
        tx->amount = parse_comma_amount(p, type) * sign;

        char *code = type + 1;
        size_t i = 0;
        for (; i < 3 && code + i < end; ++i) tx->code[i] = code[i];
        tx->code[i] = '\0';
        char *ref = code + i;
        tx->ref = ref;
        bool bank_reference = false;
        for (char *q = ref; q + 1 < end; ++q) {
            if (q[0] == '/' && q[1] == '/') {
                *q = '\0';
                tx->bankref = q + 2;
                bank_reference = true;
                break;
            }
        }
        // The customer reference holds at most 16 characters; what follows it on
        // the line is supplementary detail (copied, as the reference's end needs
        // its first byte for the NUL).
        if (!bank_reference && end - ref > customer_reference) {
            char *rest = ref + customer_reference;
            char *copy = arena_copy(&parser_->arena, rest, static_cast<size_t>(end - rest));
            if (copy == nullptr) return outcome::out_of_memory;
            *rest = '\0';
            tx->supplementary = copy;
        }
        // A line right after ":61:" that starts no tag holds its supplementary details.
        if (at_ < text_end_) {
            line_t next = line_at(at_, text_end_);
            if (!is_tag_line(next) && !is_end_line(next) && next.begin < next.end && tx->supplementary == nullptr) {
                cut(next);
                tx->supplementary = next.begin;
                at_ = next.next;
            }
        }
        return outcome::next_line;
    }

    // The transaction type letter: "N", "F" or "S" right after the amount, else
    // the first "N" of the line (some banks put a blank between the two).
    static char *find_type(char *p, char *end) {
        char *q = p;
        while (q < end && (is_digit(*q) || *q == ',' || *q == '.')) ++q;
        if (q > p && q < end && (*q == 'N' || *q == 'F' || *q == 'S')) return q;
        return static_cast<char *>(std::memchr(p, 'N', static_cast<size_t>(end - p)));
    }

    // Field 86 runs from its tag up to the next tag line, the statement's end
    // line or the end of the text; a further ":86:" line right after it belongs
    // to it as well. Continuation lines of a structured field (with "?NN"
    // subfields) are joined without separator, as banks cut them anywhere; in
    // an unstructured field a line shorter than the full 65 characters ended a
    // line of text, and a line feed keeps that boundary. It belongs to the
    // statement line read just before it.
    bool field86(const line_t &first) {
        char *field = first.begin + 4;
        char *joined = first.end;
        bool structured = is_structured(field, first.end);
        size_t previous = static_cast<size_t>(first.end - field);
        line_t line = first;
        while (line.next < text_end_) {
            line_t following = line_at(line.next, text_end_);
            char *from = following.begin;
            if (starts_with(following, ":86:")) {
                from += 4;
            } else if (is_tag_line(following) || is_end_line(following)) {
                break;
            }
            size_t length = static_cast<size_t>(following.end - from);
            if (!structured && previous < full_text_line) *joined++ = '\n';
            std::memmove(joined, from, length);
            joined += length;
            previous = length;
            line = following;
        }
        at_ = line.next;
        // A "?" at the very end opens no subfield: it is no text either.
        if (joined > field && joined[-1] == '?') --joined;
        *joined = '\0';
        if (tx_ == nullptr) return true;  // statement-level information: no line to attach to
        return apply_field86(tx_, field, static_cast<size_t>(joined - field), &scratch_);
    }

    static constexpr size_t full_text_line = 65;

    // A structured field has a "?NN" subfield marker on its first line.
    static bool is_structured(const char *p, const char *end) {
        for (; p + 2 < end; ++p) {
            if (*p == '?' && is_digit(p[1]) && is_digit(p[2])) return true;
        }
        return false;
    }

    sepa_stmt_parser_t *parser_;
    char *at_;
    char *text_end_;
    sepa_stmt_t *stmt_ = nullptr;
    sepa_stmt_tx_t *tx_ = nullptr;
    field86_scratch scratch_;
};

}  // namespace

namespace {

// Exact cents of an amount; amounts beyond what cents can hold (no bank writes
// them) read as 0, as out-of-range amounts do.
int64_t to_cents(double amount) {
    double cents = amount * 100.0;
    if (!(cents > -9.0e18 && cents < 9.0e18)) return 0;
    return static_cast<int64_t>(std::llround(cents));
}

// Statements that online-banking (FinTS) clients receive separate their lines
// with "@@": in a text without any line feed, every "@@" becomes CR LF (same size).
void at_signs_to_line_ends(char *text, size_t size) {
    std::string_view view(text, size);
    if (view.find('\n') != std::string_view::npos) return;
    for (size_t at = view.find("@@"); at != std::string_view::npos; at = view.find("@@", at + 2)) {
        text[at] = '\r';
        text[at + 1] = '\n';
    }
}

// The fields that camt brought to the records, derived from what MT940 has.
void complete_records(sepa_stmt_t *stmt) {
    for (; stmt != nullptr; stmt = stmt->next) {
        stmt->message_type = "MT940";
        stmt->open_cents = to_cents(stmt->open_saldo);
        stmt->close_cents = to_cents(stmt->close_saldo);
        const char *currency = stmt->open_currency[0] != '\0' ? stmt->open_currency : stmt->close_currency;
        for (sepa_stmt_tx_t *tx = stmt->tx_head; tx != nullptr; tx = tx->next) {
            ++stmt->tx_count;
            tx->amount_cents = to_cents(tx->amount);
            tx->entry_amount_cents = tx->amount_cents;
            tx->entry_index = 1;
            tx->entry_tx_count = 1;
            std::memcpy(tx->currency, currency, sizeof tx->currency);
            if (tx->bank[0] != '\0') tx->bank_full = tx->bank;
            if (tx->account[0] != '\0') tx->account_full = tx->account;
            if (tx->name[0] != '\0') tx->name_full = tx->name;
            tx->end_to_end_id = tx->eref;
            if (tx->oamt != nullptr) {
                double original = 0.0;
                bool out_of_range = false;
                if (scan_decimal(tx->oamt, &original, &out_of_range) != tx->oamt && !out_of_range)
                    tx->original_amount_cents = to_cents(original < 0 ? -original : original);
            }
        }
    }
}

}  // namespace

int parse_mt940(sepa_stmt_parser_t *parser) {
    if (parser == nullptr) return 0;
    mt940_state *state = parser->mt940;
    if (state == nullptr || state->text == nullptr) {
        std::strcpy(parser->error_text, "MT940 parser not initialized");
        return 0;
    }
    // A UTF-8 byte order mark before the first tag is not part of the text.
    size_t skip = state->size >= 3 && std::memcmp(state->text, "\xEF\xBB\xBF", 3) == 0 ? 3 : 0;
    at_signs_to_line_ends(state->text + skip, state->size - skip);
    mt940_reader reader(parser, state->text + skip, state->size - skip);
    int result = reader.run();
    complete_records(parser->stmt_head);
    return result;
}
