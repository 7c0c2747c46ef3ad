// Builds a payment message from the input and renders it. Layout: byte 0 the message
// type (bit 0: direct debit, else credit transfer), byte 1 the rulebook (one of the
// ten names; 0xFF an unknown name, which must be refused), then records separated
// by line feeds, each an opcode byte followed by its text:
//   setters of the initiating side, "pair" (the text's first byte picks a key of the
//   real list or, past it, the text up to "=" is the key; the rest is the value),
//   "add" (sepa_add with the pairs gathered so far), "render" and "rulebook".
// Invariants: a setter or sepa_add that fails leaves the message as it was; a
// rendered document is well-formed UTF-8 XML that starts with the XML declaration,
// counts the transactions of the message and renders the same twice.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/frame/clock.h"
#include "sepa.h"

namespace {

const char *const rulebooks[] = {"DE-2.6", "DE-2.7", "AT-6",   "NL-6",   "DE-2.8",
                                 "DE-2.9", "DE-3.0", "DE-3.1", "DE-3.5", "DE-3.7"};

// The keys sepa_add knows, two spellings in another case and a key of neither type.
const char *const known_keys[] = {"name",     "iban",     "bic",   "addrCC", "addrLine1", "addrLine2", "ref",
                                  "amount",   "date",     "id",    "purp",   "seq",       "mref",      "mdate",
                                  "old_mref", "old_iban", "smnda", "IBAN",   "Amount",    "unknown"};
constexpr size_t known_key_count = sizeof known_keys / sizeof known_keys[0];

enum opcode : uint8_t {
    op_iban,
    op_bic,
    op_name,
    op_creditor_id,
    op_date,
    op_dd_type,
    op_batch,
    op_message_id,
    op_pair,
    op_pair_null_value,
    op_add,
    op_render,
    op_rulebook,
    op_count
};

// Copies of the fields a failed setter must leave alone.
struct snapshot {
    std::string iban, bic, name, creditor_id, date, message_id;
    uint32_t tx_count;
    double control_sum;
    int64_t control_sum_cents;
    int32_t dd_type;
    uint8_t batch_booking;
    void *tx_tail;

    static std::string text(const char *field) { return field == nullptr ? std::string("\x01null") : field; }

    explicit snapshot(const sepa_t *m)
        : iban(text(m->iban)), bic(text(m->bic)), name(text(m->name)), creditor_id(text(m->creditor_id)),
          date(text(m->date)), message_id(text(m->message_id)), tx_count(m->tx_count), control_sum(m->control_sum),
          control_sum_cents(m->control_sum_cents), dd_type(m->dd_type), batch_booking(m->batch_booking),
          tx_tail(m->tx_tail) {}

    bool operator==(const snapshot &o) const {
        return iban == o.iban && bic == o.bic && name == o.name && creditor_id == o.creditor_id && date == o.date &&
               message_id == o.message_id && tx_count == o.tx_count && control_sum == o.control_sum &&
               control_sum_cents == o.control_sum_cents && dd_type == o.dd_type && batch_booking == o.batch_booking &&
               tx_tail == o.tx_tail;
    }
};

bool valid_utf8(const char *text) {
    const auto *p = reinterpret_cast<const unsigned char *>(text);
    while (*p != 0) {
        size_t follow = 0;
        uint32_t code = 0;
        if (*p < 0x80) {
            ++p;
            continue;
        } else if (*p >= 0xC2 && *p <= 0xDF) {
            follow = 1, code = *p & 0x1Fu;
        } else if (*p >= 0xE0 && *p <= 0xEF) {
            follow = 2, code = *p & 0x0Fu;
        } else if (*p >= 0xF0 && *p <= 0xF4) {
            follow = 3, code = *p & 0x07u;
        } else {
            return false;
        }
        ++p;
        for (size_t i = 0; i < follow; ++i, ++p) {
            if ((*p & 0xC0) != 0x80) return false;
            code = code << 6 | (*p & 0x3Fu);
        }
        if ((follow == 2 && code < 0x800) || (follow == 3 && (code < 0x10000 || code > 0x10FFFF))) return false;
        if (code >= 0xD800 && code <= 0xDFFF) return false;
    }
    return true;
}

// Character data: no "<", no ">" and only the five predefined entities or character
// references after "&"; no control characters but tab, line feed and carriage return.
bool valid_character_data(const std::string &text) {
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 && c != '\t' && c != '\n' && c != '\r') return false;
        if (c == '<' || c == '>') return false;
        if (c != '&') continue;
        const size_t end = text.find(';', i);
        if (end == std::string::npos) return false;
        const std::string entity = text.substr(i + 1, end - i - 1);
        if (entity != "amp" && entity != "lt" && entity != "gt" && entity != "quot" && entity != "apos" &&
            (entity.size() < 2 || entity[0] != '#'))
            return false;
        i = end;
    }
    return true;
}

// A small check of the document's structure: one root element, tags nested and
// closed, attribute values quoted, character data escaped.
bool well_formed(const char *document) {
    const std::string xml(document);
    const std::string declaration_end = "?>";
    size_t at = xml.find(declaration_end);
    if (at == std::string::npos) return false;
    at += declaration_end.size();
    std::vector<std::string> open;
    bool root_seen = false;
    while (at < xml.size()) {
        const size_t tag = xml.find('<', at);
        const std::string text = xml.substr(at, tag == std::string::npos ? std::string::npos : tag - at);
        if (!valid_character_data(text)) return false;
        if (open.empty() && text.find_first_not_of(" \t\r\n") != std::string::npos) return false;
        if (tag == std::string::npos) break;
        const size_t close = xml.find('>', tag);
        if (close == std::string::npos) return false;
        std::string inside = xml.substr(tag + 1, close - tag - 1);
        at = close + 1;
        if (!inside.empty() && inside[0] == '/') {
            if (open.empty() || open.back() != inside.substr(1)) return false;
            open.pop_back();
            continue;
        }
        if (open.empty() && root_seen) return false;  // a second root element
        const bool empty_element = !inside.empty() && inside.back() == '/';
        if (empty_element) inside.pop_back();
        const size_t name_end = inside.find_first_of(" \t\r\n");
        const std::string name = inside.substr(0, name_end);
        if (name.empty()) return false;
        // Attributes: name="value" pairs, values without "<" and with escaped "&".
        if (name_end != std::string::npos) {
            size_t a = name_end;
            while (true) {
                a = inside.find_first_not_of(" \t\r\n", a);
                if (a == std::string::npos) break;
                const size_t equals = inside.find('=', a);
                if (equals == std::string::npos || equals + 1 >= inside.size()) return false;
                const char quote = inside[equals + 1];
                if (quote != '"' && quote != '\'') return false;
                const size_t value_end = inside.find(quote, equals + 2);
                if (value_end == std::string::npos) return false;
                const std::string value = inside.substr(equals + 2, value_end - equals - 2);
                if (value.find('<') != std::string::npos || !valid_character_data(value)) return false;
                a = value_end + 1;
            }
        }
        root_seen = true;
        if (!empty_element) open.push_back(name);
    }
    return root_seen && open.empty();
}

// The text of the first element `name` in the document, or "".
std::string first_value(const char *document, const char *name) {
    const std::string tag = std::string("<") + name + ">";
    const char *start = std::strstr(document, tag.c_str());
    if (start == nullptr) return "";
    start += tag.size();
    return std::string(start, std::strcspn(start, "<"));
}

void check_document(sepa_t *message, const char *document) {
    if (document == nullptr) {
        if (message->error == nullptr) std::abort();  // a failure always says why
        return;
    }
    if (document[0] == '\0' || std::strncmp(document, "<?xml", 5) != 0) std::abort();
    if (message->tx_count == 0) std::abort();  // an empty message has nothing to render
    if (!valid_utf8(document) || !well_formed(document)) std::abort();
    if (first_value(document, "NbOfTxs") != std::to_string(message->tx_count)) std::abort();
    // The control sum is exact: the message's integer cents, written with two decimals.
    const int64_t cents = message->control_sum_cents;
    char expected[32];
    std::snprintf(expected, sizeof expected, "%lld.%02lld", static_cast<long long>(cents / 100),
                  static_cast<long long>(cents % 100));
    if (first_value(document, "CtrlSum") != expected) std::abort();
}

struct session {
    sepa_t *message;
    std::vector<std::string> keys, values;
    std::vector<bool> null_values;

    int setter(uint8_t op, const std::string &value) {
        const char *text = value.c_str();
        switch (op) {
        case op_iban: return sepa_setIBAN(message, text);
        case op_bic: return sepa_setBIC(message, text);
        case op_name: return sepa_setName(message, text);
        case op_creditor_id: return sepa_setCreditorIdentifier(message, text);
        case op_date: return sepa_setDate(message, text);
        case op_dd_type: return sepa_setDDType(message, value.empty() ? 0 : static_cast<int8_t>(value[0]) % 4);
        case op_batch: return sepa_setBatchBooking(message, value.empty() ? 0 : static_cast<uint8_t>(value[0]));
        case op_message_id: return sepa_setMessageId(message, text);
        default: return 0;
        }
    }

    void pair(const std::string &text, bool null_value) {
        if (text.empty()) return;
        const uint8_t pick = static_cast<uint8_t>(text[0]);
        std::string rest = text.substr(1);
        if (pick < 0xF0) {
            keys.emplace_back(known_keys[pick % known_key_count]);
            values.push_back(rest);
        } else {
            const size_t equals = rest.find('=');
            keys.push_back(rest.substr(0, equals));
            values.push_back(equals == std::string::npos ? std::string() : rest.substr(equals + 1));
        }
        null_values.push_back(null_value);
    }

    void add() {
        std::vector<sepa_kvpair_t> pairs;
        for (size_t i = 0; i < keys.size(); ++i)
            pairs.push_back({keys[i].c_str(), null_values[i] ? nullptr : values[i].c_str()});
        pairs.push_back({nullptr, nullptr});
        const snapshot before(message);
        const int added = sepa_add(message, pairs.data());
        if (added == 1) {
            if (message->tx_count != before.tx_count + 1 || !(message->control_sum_cents > before.control_sum_cents))
                std::abort();
            if (message->tx_tail == nullptr || message->tx_tail == before.tx_tail) std::abort();
        } else {
            // Error texts quote what the caller passed and must stay valid UTF-8.
            if (added != 0 || message->error == nullptr || !valid_utf8(message->error)) std::abort();
            if (!(snapshot(message) == before)) std::abort();
        }
        keys.clear();
        values.clear();
        null_values.clear();
    }

    void render() {
        char *first = sepa_toXML(message);
        check_document(message, first);
        char *second = sepa_toXML(message);
        check_document(message, second);
        // Date, message id and (pinned) creation time are kept: renderings repeat.
        if ((first == nullptr) != (second == nullptr)) std::abort();
        if (first != nullptr && std::strcmp(first, second) != 0) std::abort();
        std::free(first);
        std::free(second);
    }
};

void choose_rulebook(uint8_t byte) {
    if (byte == 0xFF) {
        if (sepa_init(SEPA_INIT_RULEBOOK, "DE-9.9") != 0) std::abort();
        return;
    }
    if (sepa_init(SEPA_INIT_RULEBOOK, rulebooks[byte % 10]) != 1) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 2) return 0;
    // Creation times come from the clock: pin it so that renderings can be compared.
    clock_pin_for_tests(1760000000);  // 2025-10-09
    choose_rulebook(data[1] == 0xFF ? 0 : data[1]);
    if (data[1] == 0xFF) choose_rulebook(0xFF);

    session s{sepa_new((data[0] & 1) != 0 ? SEPA_MSGTYPE_DDI : SEPA_MSGTYPE_CTI), {}, {}, {}};
    if (s.message == nullptr) std::abort();

    std::vector<std::string> records;
    std::string current;
    for (size_t i = 2; i < size; ++i) {
        if (data[i] == '\n') {
            records.push_back(current);
            current.clear();
        } else {
            current.push_back(static_cast<char>(data[i]));
        }
    }
    records.push_back(current);

    for (const std::string &record : records) {
        if (record.empty()) continue;
        const uint8_t op = static_cast<uint8_t>(record[0]) % op_count;
        const std::string text = record.substr(1);
        if (op <= op_message_id) {
            const snapshot before(s.message);
            const int set = s.setter(op, text);
            if (set != 0 && set != 1) std::abort();
            if (set == 0 &&
                (s.message->error == nullptr || !valid_utf8(s.message->error) || !(snapshot(s.message) == before)))
                std::abort();
        } else if (op == op_pair || op == op_pair_null_value) {
            s.pair(text, op == op_pair_null_value);
        } else if (op == op_add) {
            s.add();
        } else if (op == op_render) {
            s.render();
        } else if (op == op_rulebook) {
            choose_rulebook(text.empty() ? 0 : static_cast<uint8_t>(text[0]));
        }
    }
    if (!s.keys.empty()) s.add();
    s.render();
    sepa_free(s.message);
    return 0;
}
