#include "core/statement/camt_reader.h"

#include <cstdint>
#include <cstring>
#include <expat.h>
#include <vector>

#include "core/frame/out_of_memory.h"
#include "core/frame/latin1_text.h"
#include "core/frame/number_reader.h"
#include "core/frame/text_checks.h"
#include "core/statement/camt_lines.h"
#include "core/statement/camt_paths.h"
#include "core/statement/stmt_arena.h"

namespace {

using camt::slot;

bool is_space(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view trimmed(const std::string &text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && is_space(text[begin])) ++begin;
    while (end > begin && is_space(text[end - 1])) --end;
    return std::string_view(text).substr(begin, end - begin);
}

bool is_amount_slot(slot value) {
    switch (value) {
    case slot::bal_amount:
    case slot::ntry_amount:
    case slot::charge_amount:
    case slot::charges_total:
    case slot::instructed_amount:
    case slot::tx_amount:
    case slot::tx_amount_detail: return true;
    default: return false;
    }
}

bool is_text_slot(slot value) {
    switch (value) {
    case slot::none:
    case slot::message:
    case slot::statement:
    case slot::balance:
    case slot::entry:
    case slot::details: return false;
    default: return true;
    }
}

// Decimal amount "1234.5" in hundredths, exactly; digits beyond the second
// decimal round half up. False when the text is not such a number.
bool read_cents(std::string_view text, int64_t *cents) {
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    int64_t whole = 0;
    size_t digits = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, ++digits) {
        if (whole > (INT64_MAX / 100 - 9) / 10) return false;
        whole = whole * 10 + (text[i] - '0');
    }
    int64_t fraction = 0;
    if (i < text.size() && text[i] == '.') {
        ++i;
        size_t place = 0;
        bool round_up = false;
        for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, ++place, ++digits) {
            if (place < 2) fraction = fraction * 10 + (text[i] - '0');
            else if (place == 2) round_up = text[i] >= '5';
        }
        if (place == 1) fraction *= 10;
        if (round_up) ++fraction;
    }
    if (digits == 0 || i != text.size()) return false;
    *cents = (whole * 100 + fraction) * (negative ? -1 : 1);
    return true;
}

struct tm read_date(std::string_view text) {
    struct tm date;
    std::memset(&date, 0, sizeof date);
    auto digits = [&](size_t at, size_t count) {
        int value = 0;
        for (size_t i = at; i < at + count; ++i) {
            if (text[i] < '0' || text[i] > '9') return -1;
            value = value * 10 + (text[i] - '0');
        }
        return value;
    };
    if (text.size() < 10 || text[4] != '-' || text[7] != '-') return date;
    int year = digits(0, 4);
    int month = digits(5, 2);
    int day = digits(8, 2);
    if (year < 0 || month < 1 || month > 12 || day < 1 || day > 31) return date;
    date.tm_year = year - 1900;
    date.tm_mon = month - 1;
    date.tm_mday = day;
    return date;
}

uint32_t read_count(std::string_view text) {
    uint64_t value = 0;
    if (text.empty()) return 0;
    for (char c : text) {
        if (c < '0' || c > '9') return 0;
        value = value * 10 + static_cast<uint64_t>(c - '0');
        if (value > UINT32_MAX) return 0;
    }
    return static_cast<uint32_t>(value);
}

void copy_code(char (&target)[5], std::string_view text) {
    size_t length = text.size() < 4 ? text.size() : 4;
    std::memcpy(target, text.data(), length);
    target[length] = '\0';
}

void copy_currency(char (&target)[4], const char *text) {
    size_t length = std::strlen(text);
    if (length > 3) length = 3;
    std::memcpy(target, text, length);
    target[length] = '\0';
}

class camt_document {
public:
    camt_document(sepa_stmt_parser_t *parser, const std::string &name) : parser_(parser), name_(name) {}

    bool run(camt_input &input, size_t *budget) {
        XML_Parser xml = XML_ParserCreate(nullptr);
        if (xml == nullptr) return fail(out_of_memory_text);
        xml_ = xml;
        XML_SetUserData(xml, this);
        XML_SetElementHandler(xml, on_start, on_end);
        XML_SetCharacterDataHandler(xml, on_text);
        XML_SetStartDoctypeDeclHandler(xml, on_doctype);
        XML_SetEntityDeclHandler(xml, on_entity);
        XML_SetParamEntityParsing(xml, XML_PARAM_ENTITY_PARSING_NEVER);
        bool ok = feed(input, budget);
        XML_ParserFree(xml);
        xml_ = nullptr;
        if (ok && !saw_message_) {
            return fail("Not a camt.052, camt.053 or camt.054 document");
        }
        return ok && !failed_;
    }

private:
    static constexpr size_t chunk = size_t{64} * 1024;

    bool feed(camt_input &input, size_t *budget) {
        for (;;) {
            void *buffer = XML_GetBuffer(xml_, chunk);
            if (buffer == nullptr) return fail(out_of_memory_text);
            std::string read_error;
            long got = input.read(static_cast<char *>(buffer), chunk, &read_error);
            if (got < 0) return fail(read_error.c_str());
            if (static_cast<size_t>(got) > *budget) {
                format_text(message_, sizeof message_, "camt data exceed the limit of %lu bytes per load",
                            static_cast<unsigned long>(SEPA_STMT_MAX_XML_BYTES));
                return fail(message_);
            }
            *budget -= static_cast<size_t>(got);
            bool last = got == 0;
            if (XML_ParseBuffer(xml_, static_cast<int>(got), last) != XML_STATUS_OK) {
                if (failed_) return false;
                format_text(message_, sizeof message_, "camt document is not well-formed XML: %s at line %lu",
                            XML_ErrorString(XML_GetErrorCode(xml_)),
                            static_cast<unsigned long>(XML_GetCurrentLineNumber(xml_)));
                return fail(message_);
            }
            if (failed_) return false;
            if (last) return true;
        }
    }

    bool fail(const char *text) {
        if (failed_) return false;
        failed_ = true;
        if (name_.empty()) {
            format_text(parser_->error_text, sizeof parser_->error_text, "%s", text);
        } else {
            format_text(parser_->error_text, sizeof parser_->error_text, "%s: %s", name_.c_str(), text);
        }
        if (xml_ != nullptr) XML_StopParser(xml_, XML_FALSE);
        return false;
    }

    static void XMLCALL on_doctype(void *self, const XML_Char *, const XML_Char *, const XML_Char *, int) {
        static_cast<camt_document *>(self)->fail("camt document with a DTD refused");
    }

    // expat fixes this handler's nine parameters.
    // NOLINTNEXTLINE(readability-function-size)
    static void XMLCALL on_entity(void *self, const XML_Char *, int, const XML_Char *, int, const XML_Char *,
                                  const XML_Char *, const XML_Char *, const XML_Char *) {
        static_cast<camt_document *>(self)->fail("camt document with an entity declaration refused");
    }

    static void XMLCALL on_start(void *self, const XML_Char *name, const XML_Char **attributes) {
        static_cast<camt_document *>(self)->start(name, attributes);
    }
    static void XMLCALL on_end(void *self, const XML_Char *) { static_cast<camt_document *>(self)->end(); }
    static void XMLCALL on_text(void *self, const XML_Char *text, int length) {
        auto *doc = static_cast<camt_document *>(self);
        if (!doc->collecting_ || doc->failed_) return;
        if (doc->text_.size() + static_cast<size_t>(length) > SEPA_STMT_MAX_XML_TEXT) {
            doc->fail("camt element text longer than the limit");
            return;
        }
        doc->text_.append(text, static_cast<size_t>(length));
    }

    static const char *local_name(const char *name) {
        const char *colon = std::strrchr(name, ':');
        return colon != nullptr ? colon + 1 : name;
    }

    void start(const char *qualified, const char **attributes) {
        if (failed_) return;
        if (depth_ >= SEPA_STMT_MAX_XML_DEPTH) {
            fail("camt document nested deeper than the limit");
            return;
        }
        const char *name = local_name(qualified);
        uint16_t state;
        if (depth_ == 0) {
            if (std::strcmp(name, "Document") != 0) {
                fail("Not a camt.052, camt.053 or camt.054 document");
                return;
            }
            namespace_type(attributes);
            state = camt::document_state();
        } else {
            // Below an element outside the table everything is outside it too.
            uint16_t parent = stack_[depth_ - 1];
            state = parent == 0 ? 0 : camt::next_state(parent, camt::name_id(name, std::strlen(name)));
            if (depth_ == 1) {
                if (camt::state_slot(state) != slot::message) {
                    fail("Not a camt.052, camt.053 or camt.054 document");
                    return;
                }
                if (!message_started(name)) return;
            }
        }
        stack_[depth_++] = state;
        collecting_ = false;
        slot value = camt::state_slot(state);
        if (value == slot::none) return;
        if (is_text_slot(value)) {
            collecting_ = true;
            text_.clear();
            if (is_amount_slot(value)) currency_attribute(attributes);
            return;
        }
        switch (value) {
        case slot::statement: begin_statement(); break;
        case slot::balance: balance_ = balance_values{}; break;
        case slot::entry: entry_.clear(); break;
        case slot::details: entry_.open_detail(); break;
        default: break;
        }
    }

    void end() {
        if (failed_ || depth_ == 0) return;
        uint16_t state = stack_[--depth_];
        slot value = camt::state_slot(state);
        if (collecting_ && is_text_slot(value)) {
            value_text(value, trimmed(text_));
        } else if (value == slot::balance) {
            end_balance();
        } else if (value == slot::entry) {
            if (!emit_entry_lines(parser_, statement_, entry_, &message_[0], sizeof message_)) fail(message_);
        } else if (value == slot::details) {
            entry_.close_detail();
        } else if (value == slot::statement) {
            statement_ = nullptr;
        }
        collecting_ = false;
        text_.clear();
    }

    // The message and version from a namespace such as
    // "urn:iso:std:iso:20022:tech:xsd:camt.053.001.08".
    void namespace_type(const char **attributes) {
        for (const char **a = attributes; a[0] != nullptr; a += 2) {
            if (std::strncmp(a[0], "xmlns", 5) != 0) continue;
            const char *found = std::strstr(a[1], "camt.05");
            if (found != nullptr && std::strlen(found) <= 20) namespace_type_ = found;
        }
    }

    bool message_started(const char *name) {
        const char *kind = std::strcmp(name, "BkToCstmrStmt") == 0      ? "camt.053"
                           : std::strcmp(name, "BkToCstmrAcctRpt") == 0 ? "camt.052"
                                                                        : "camt.054";
        std::string type = kind;
        if (namespace_type_.compare(0, 8, kind) == 0) type = namespace_type_;
        message_type_ = arena_copy(&parser_->arena, type.data(), type.size());
        saw_message_ = true;
        if (message_type_ == nullptr) return fail(out_of_memory_text);
        return true;
    }

    void currency_attribute(const char **attributes) {
        currency_[0] = '\0';
        for (const char **a = attributes; a[0] != nullptr; a += 2) {
            if (std::strcmp(local_name(a[0]), "Ccy") == 0) copy_currency(currency_, a[1]);
        }
    }

    char *copy(std::string_view text) {
        if (text.empty()) return nullptr;
        char *result = arena_copy(&parser_->arena, text.data(), text.size());
        if (result == nullptr) fail(out_of_memory_text);
        return result;
    }

    void begin_statement() {
        auto *stmt = static_cast<sepa_stmt_t *>(arena_allocate(&parser_->arena, sizeof(sepa_stmt_t)));
        if (stmt == nullptr) {
            fail(out_of_memory_text);
            return;
        }
        if (parser_->stmt_tail != nullptr) parser_->stmt_tail->next = stmt;
        else parser_->stmt_head = stmt;
        parser_->stmt_tail = stmt;
        stmt->message_type = message_type_;
        stmt->message_id = message_id_;
        stmt->created = message_created_;
        statement_ = stmt;
        opening_from_opbd_ = false;
    }

    bool amount(std::string_view text, amount_value *target) {
        int64_t cents = 0;
        if (!read_cents(text, &cents)) {
            std::string shown(text.substr(0, 40));
            format_text(message_, sizeof message_, "camt amount \"%s\" is not a decimal number", shown.c_str());
            return fail(message_);
        }
        target->set = true;
        target->cents = cents;
        std::string copy(text);
        bool out_of_range = false;
        scan_decimal(copy.c_str(), &target->value, &out_of_range);
        std::memcpy(target->currency, currency_, sizeof currency_);
        return true;
    }

    void value_text(slot value, std::string_view text) {
        if (value == slot::message_id) {
            message_id_ = copy(text);
            return;
        }
        if (value == slot::message_created) {
            message_created_ = copy(text);
            return;
        }
        if (value >= slot::stmt_id && value <= slot::bal_date) {
            statement_text(value, text);
            return;
        }
        detail_values *detail = entry_.open();
        entry_values &entry = entry_;
        switch (value) {
        case slot::ntry_ref: entry.ntry_ref = text; break;
        case slot::ntry_amount: amount(text, &entry.amount); break;
        case slot::ntry_direction: entry.direction = direction(text); break;
        case slot::ntry_reversal: entry.reversal = text == "true" || text == "1"; break;
        case slot::ntry_status:
            if (!text.empty()) copy_code(entry.status, text);
            break;
        case slot::ntry_booked: entry.booked = read_date(text); break;
        case slot::ntry_value_date: entry.value_date = read_date(text); break;
        case slot::ntry_servicer_ref: entry.servicer_ref = text; break;
        case slot::ntry_info: entry.info = text; break;
        case slot::ntry_batch_count: entry.batch_count = read_count(text); break;
        default: {
            code_values &codes = detail != nullptr ? detail->codes : entry.codes;
            if (code_text(value, text, codes)) break;
            if (detail != nullptr) detail_text(value, text, *detail);
            break;
        }
        }
    }

    static int direction(std::string_view text) {
        if (text == "CRDT") return 1;
        if (text == "DBIT") return -1;
        return 0;
    }

    bool code_text(slot value, std::string_view text, code_values &codes) {
        switch (value) {
        case slot::domain: copy_code(codes.domain, text); return true;
        case slot::family: copy_code(codes.family, text); return true;
        case slot::subfamily: copy_code(codes.subfamily, text); return true;
        case slot::proprietary_code: codes.proprietary = text; return true;
        case slot::charge_amount: {
            amount_value charge;
            if (!amount(text, &charge)) return true;
            int64_t magnitude = charge.cents < 0 ? -charge.cents : charge.cents;
            if (__builtin_add_overflow(codes.charges_cents, magnitude, &codes.charges_cents))
                return fail("camt charges exceed the range of amounts"), true;
            std::memcpy(codes.charges_currency, charge.currency, 4);
            codes.charge_records = true;
            return true;
        }
        case slot::charges_total: amount(text, &codes.charges_total); return true;
        case slot::instructed_amount: amount(text, &codes.instructed); return true;
        default: return false;
        }
    }

    void detail_text(slot value, std::string_view text, detail_values &d) {
        switch (value) {
        case slot::tx_end_to_end: d.end_to_end = text; break;
        case slot::tx_instruction_id: d.instruction_id = text; break;
        case slot::tx_servicer_ref: d.servicer_ref = text; break;
        case slot::tx_mandate: d.mandate = text; break;
        case slot::tx_amount: amount(text, &d.amount); break;
        case slot::tx_amount_detail: amount(text, &d.amount_detail); break;
        case slot::tx_direction: d.direction = direction(text); break;
        case slot::debtor_name: d.debtor.name = text; break;
        case slot::debtor_iban: d.debtor.iban = text; break;
        case slot::debtor_account: d.debtor.account = text; break;
        case slot::debtor_bic: d.debtor.bic = text; break;
        case slot::debtor_bank_code: d.debtor.bank_code = text; break;
        case slot::ultimate_debtor: d.ultimate_debtor = text; break;
        case slot::creditor_name: d.creditor.name = text; break;
        case slot::creditor_iban: d.creditor.iban = text; break;
        case slot::creditor_account: d.creditor.account = text; break;
        case slot::creditor_bic: d.creditor.bic = text; break;
        case slot::creditor_bank_code: d.creditor.bank_code = text; break;
        case slot::ultimate_creditor: d.ultimate_creditor = text; break;
        case slot::creditor_id: d.creditor_id = text; break;
        case slot::remittance:
            if (text.empty()) break;
            if (!d.remittance.empty()) d.remittance += ' ';
            d.remittance += text;
            break;
        case slot::creditor_ref: d.creditor_ref = text; break;
        case slot::purpose: d.purpose = text; break;
        case slot::return_reason: d.return_reason = text; break;
        case slot::tx_info: d.info = text; break;
        default: break;
        }
    }

    void statement_text(slot value, std::string_view text) {
        sepa_stmt_t *stmt = statement_;
        if (stmt == nullptr) return;
        switch (value) {
        case slot::stmt_id: stmt->ref = copy(text); break;
        case slot::stmt_number: stmt->number = read_count(text); break;
        case slot::stmt_legal_number: stmt->legal_number = read_count(text); break;
        case slot::stmt_created: stmt->created = copy(text); break;
        case slot::stmt_page: stmt->page = read_count(text); break;
        case slot::stmt_iban: stmt->account = copy(text); break;
        case slot::stmt_other_account:
            if (stmt->account == nullptr) stmt->account = copy(text);
            break;
        case slot::stmt_currency: stmt->account_currency = copy(text); break;
        case slot::stmt_owner: stmt->owner_name = copy(text); break;
        case slot::stmt_bic: stmt->account_bic = copy(text); break;
        case slot::bal_code: copy_code(balance_.code, text); break;
        case slot::bal_amount: amount(text, &balance_.amount); break;
        case slot::bal_direction: balance_.direction = direction(text); break;
        case slot::bal_date: balance_.date = read_date(text); break;
        default: break;
        }
    }

    // Opening balance from OPBD, else from PRCD (the previous closing balance);
    // closing balance from CLBD.
    void end_balance() {
        sepa_stmt_t *stmt = statement_;
        if (stmt == nullptr || !balance_.amount.set) return;
        bool opening_booked = std::strcmp(balance_.code, "OPBD") == 0;
        bool previous_closing = std::strcmp(balance_.code, "PRCD") == 0;
        bool closing = std::strcmp(balance_.code, "CLBD") == 0;
        int64_t cents = balance_.direction < 0 ? -balance_.amount.cents : balance_.amount.cents;
        double value = balance_.direction < 0 ? -balance_.amount.value : balance_.amount.value;
        if (opening_booked || (previous_closing && !opening_from_opbd_)) {
            opening_from_opbd_ = opening_booked;
            stmt->open_date = balance_.date;
            stmt->open_saldo = value;
            stmt->open_cents = cents;
            std::memcpy(stmt->open_currency, balance_.amount.currency, 4);
            stmt->has_open = 1;
        } else if (closing) {
            stmt->close_date = balance_.date;
            stmt->close_saldo = value;
            stmt->close_cents = cents;
            std::memcpy(stmt->close_currency, balance_.amount.currency, 4);
            stmt->has_close = 1;
        }
    }

    struct balance_values {
        char code[5] = {};
        amount_value amount;
        int direction = 0;
        struct tm date = {};
    };

    sepa_stmt_parser_t *parser_;
    const std::string &name_;
    XML_Parser xml_ = nullptr;
    bool failed_ = false;
    bool saw_message_ = false;
    bool collecting_ = false;
    bool opening_from_opbd_ = false;
    size_t depth_ = 0;
    uint16_t stack_[SEPA_STMT_MAX_XML_DEPTH] = {};
    std::string text_;
    std::string namespace_type_;
    char currency_[4] = {};
    char message_[256] = {};
    const char *message_type_ = nullptr;
    const char *message_id_ = nullptr;
    const char *message_created_ = nullptr;
    sepa_stmt_t *statement_ = nullptr;
    balance_values balance_;
    entry_values entry_;
};

}  // namespace

bool read_camt_document(sepa_stmt_parser_t *parser, camt_input &input, const std::string &name, size_t *budget) {
    camt_document document(parser, name);
    return document.run(input, budget);
}
