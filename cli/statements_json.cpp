#include "statements_json.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
#include <string_view>
#include <utility>

#include "json_stream.h"

namespace {

// "-1234.56" from signed cents: exact at any size, no binary float on the way.
std::string format_cents(int64_t cents) {
    const uint64_t magnitude = cents < 0 ? 0 - static_cast<uint64_t>(cents) : static_cast<uint64_t>(cents);
    std::string text = cents < 0 ? "-" : "";
    text += std::to_string(magnitude / 100);
    text += '.';
    text += static_cast<char>('0' + magnitude % 100 / 10);
    text += static_cast<char>('0' + magnitude % 10);
    return text;
}

// "yyyy-mm-dd" of a date as the parser fills it; null when the record has none (all zero).
void put_date(json_stream &json, const char *key, const struct tm &date) {
    if (date.tm_mday == 0) return json.literal(key, "null");
    char text[48];
    std::snprintf(text, sizeof text, "%04lld-%02lld-%02lld", static_cast<long long>(date.tm_year) + 1900,
                  static_cast<long long>(date.tm_mon) + 1, static_cast<long long>(date.tm_mday));
    json.text(key, text);
}

void put_text(json_stream &json, const char *key, const char *value) {
    if (value != nullptr) json.text(key, value);
}

// A text kept in a fixed-size array of the record (NUL-terminated within it).
template <size_t N>
std::string_view fixed(const char (&value)[N]) {
    return {value, strnlen(value, N)};
}

// The full text where the record has one, else the (possibly shortened) array.
template <size_t N>
void put_full(json_stream &json, const char *key, const char *full, const char (&value)[N]) {
    if (full != nullptr) return json.text(key, full);
    json.text(key, fixed(value));
}

void put_number(json_stream &json, const char *key, long long value) { json.literal(key, std::to_string(value)); }

void put_amount(json_stream &json, const char *key, int64_t cents) { json.literal(key, format_cents(cents)); }

// The ISO domain/family/sub-family code and the bank's proprietary code, as far as given.
void put_bank_tx_code(json_stream &json, const sepa_stmt_tx_t &t) {
    if (t.domain[0] == '\0' && t.bank_tx_code == nullptr) return;
    json.begin_object("bankTxCode");
    if (t.domain[0] != '\0') {
        json.text("domain", fixed(t.domain));
        json.text("family", fixed(t.family));
        json.text("subFamily", fixed(t.subfamily));
    }
    put_text(json, "proprietary", t.bank_tx_code);
    json.end_object();
}

void write_line(json_stream &json, const sepa_stmt_tx_t &t) {
    json.begin_object();
    put_date(json, "valuta", t.valuta);
    if (t.booked.tm_mday != 0) put_date(json, "booked", t.booked);
    put_amount(json, "amount", t.amount_cents);
    json.text("currency", fixed(t.currency));
    json.literal("reversal", t.reversal ? "true" : "false");
    if (t.status[0] != '\0') json.text("status", fixed(t.status));
    json.text("code", fixed(t.code));
    put_text(json, "ref", t.ref);
    put_text(json, "bankref", t.bankref);
    put_number(json, "gvc", t.gvc);
    if (t.extcode != 0) put_number(json, "extcode", t.extcode);
    put_text(json, "txtext", t.txtext);
    put_text(json, "primanota", t.primanota);
    put_full(json, "bank", t.bank_full, t.bank);
    put_full(json, "account", t.account_full, t.account);
    put_full(json, "name", t.name_full, t.name);
    put_text(json, "purpose", t.purpose);
    const std::pair<const char *, const char *> keywords[] = {
        {"eref", t.eref}, {"kref", t.kref}, {"mref", t.mref}, {"cred", t.cred}, {"debt", t.debt}, {"purp", t.purp},
        {"coam", t.coam}, {"oamt", t.oamt}, {"svwz", t.svwz}, {"abwa", t.abwa}, {"abwe", t.abwe}};
    for (const auto &[key, value] : keywords) put_text(json, key, value);
    put_text(json, "endToEndId", t.end_to_end_id);
    put_text(json, "creditorRef", t.creditor_ref);
    put_bank_tx_code(json, t);
    put_text(json, "returnReason", t.return_reason);
    if (t.charges_cents != 0) {
        put_amount(json, "charges", t.charges_cents);
        json.text("chargesCurrency", fixed(t.charges_currency));
    }
    if (t.original_amount_cents != 0) {
        put_amount(json, "originalAmount", t.original_amount_cents);
        json.text("originalCurrency", fixed(t.original_currency));
    }
    put_text(json, "entryRef", t.entry_ref);
    if (t.entry_tx_count > 1) {
        put_number(json, "entryIndex", t.entry_index);
        put_number(json, "entryTxCount", t.entry_tx_count);
        put_amount(json, "entryAmount", t.entry_amount_cents);
    }
    json.end_object();
}

void write_statement(json_stream &json, const sepa_stmt_t &s) {
    json.begin_object();
    put_text(json, "ref", s.ref);
    put_text(json, "account", s.account);
    if (s.number != 0) put_number(json, "number", s.number);
    if (s.page != 0) put_number(json, "page", s.page);
    put_amount(json, "openSaldo", s.open_cents);
    json.text("openCurrency", fixed(s.open_currency));
    put_date(json, "openDate", s.open_date);
    put_amount(json, "closeSaldo", s.close_cents);
    json.text("closeCurrency", fixed(s.close_currency));
    put_date(json, "closeDate", s.close_date);
    put_text(json, "messageType", s.message_type);
    put_text(json, "messageId", s.message_id);
    put_text(json, "created", s.created);
    put_text(json, "accountCurrency", s.account_currency);
    put_text(json, "accountBic", s.account_bic);
    put_text(json, "ownerName", s.owner_name);
    if (s.legal_number != 0) put_number(json, "legalNumber", s.legal_number);
    json.begin_array("tx");
    for (const sepa_stmt_tx_t *t = s.tx_head; t != nullptr; t = t->next) write_line(json, *t);
    json.end_array();
    json.end_object();
}

}  // namespace

size_t write_statements_json(std::ostream &out, const sepa_stmt_t *first) {
    json_stream json(out);
    size_t count = 0;
    json.begin_array();
    for (const sepa_stmt_t *s = first; s != nullptr; s = s->next, ++count) write_statement(json, *s);
    json.end_array();
    json.finish();
    return count;
}
