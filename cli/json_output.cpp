#include "json_output.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <string>
#include <utility>

#include "json_stream.h"

namespace {

std::string format_date(const struct tm &date) {
    char text[16];
    if (strftime(text, sizeof text, "%Y-%m-%d", &date) == 0) return "";
    return text;
}

void put_text(nlohmann::ordered_json &object, const char *key, const char *value) {
    if (value != nullptr) object[key] = value;
}

// Statement texts are the bank's bytes (often ISO-8859-1); JSON needs UTF-8, so bytes
// that are not valid UTF-8 are read as Latin-1.
std::string to_utf8(const char *text) {
    std::string out;
    const auto *p = reinterpret_cast<const unsigned char *>(text);
    while (*p) {
        unsigned char c = *p;
        int extra = c < 0x80 ? 0 : (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : (c & 0xF8) == 0xF0 ? 3 : -1;
        bool valid = extra >= 0;
        for (int i = 1; valid && i <= extra; ++i) valid = (p[i] & 0xC0) == 0x80;
        if (valid && extra > 0) {
            out.append(reinterpret_cast<const char *>(p), extra + 1);
            p += extra + 1;
            continue;
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
        ++p;
    }
    return out;
}

}  // namespace

nlohmann::ordered_json bankinfo_to_json(const sepa_bankinfo_t *info) {
    nlohmann::ordered_json bank;
    put_text(bank, "name", info->name);
    put_text(bank, "zip", info->zip);
    put_text(bank, "city", info->city);
    put_text(bank, "country", info->country);
    put_text(bank, "bic", info->bic);
    if (info->flags != 0) {
        nlohmann::ordered_json schemes = nlohmann::ordered_json::array();
        if (info->flags & SEPA_SCL_SCT) schemes.push_back("SCT");
        if (info->flags & SEPA_SCL_SDD) schemes.push_back("SDD");
        if (info->flags & SEPA_SCL_COR1) schemes.push_back("COR1");
        if (info->flags & SEPA_SCL_B2B) schemes.push_back("B2B");
        bank["schemes"] = schemes;
    }
    return bank;
}

namespace {

// "-1234.56" from signed cents: exact, whatever the size (no binary float on the way).
std::string format_cents(int64_t cents) {
    const uint64_t magnitude = cents < 0 ? 0 - static_cast<uint64_t>(cents) : static_cast<uint64_t>(cents);
    std::string text = cents < 0 ? "-" : "";
    text += std::to_string(magnitude / 100);
    text += '.';
    text += static_cast<char>('0' + magnitude % 100 / 10);
    text += static_cast<char>('0' + magnitude % 10);
    return text;
}

// Writes a text member when the record holds one.
void put_text(json_stream &json, const char *key, const char *value) {
    if (value != nullptr) json.text(key, to_utf8(value));
}

// A text kept in a fixed-size array of the record (NUL-terminated within it).
template <size_t N>
void put_fixed(json_stream &json, const char *key, const char (&value)[N]) {
    json.text(key, to_utf8(std::string(value, strnlen(value, N)).c_str()));
}

void put_date(json_stream &json, const char *key, const struct tm &date) {
    json.text(key, format_date(date));
}

void write_line(json_stream &json, const sepa_stmt_tx_t &t) {
    json.begin_object();
    put_date(json, "valuta", t.valuta);
    if (t.booked.tm_year > 0) put_date(json, "booked", t.booked);
    json.literal("amount", format_cents(std::llround(t.amount * 100)));
    put_fixed(json, "code", t.code);
    put_text(json, "ref", t.ref);
    put_text(json, "bankref", t.bankref);
    json.literal("gvc", std::to_string(t.gvc));
    if (t.extcode != 0) json.literal("extcode", std::to_string(t.extcode));
    put_text(json, "txtext", t.txtext);
    put_text(json, "primanota", t.primanota);
    put_fixed(json, "bank", t.bank);
    put_fixed(json, "account", t.account);
    put_fixed(json, "name", t.name);
    put_text(json, "purpose", t.purpose);
    const std::pair<const char *, const char *> keywords[] = {
        {"eref", t.eref}, {"kref", t.kref}, {"mref", t.mref}, {"cred", t.cred},
        {"debt", t.debt}, {"purp", t.purp}, {"coam", t.coam}, {"oamt", t.oamt},
        {"svwz", t.svwz}, {"abwa", t.abwa}, {"abwe", t.abwe}};
    for (const auto &[key, value] : keywords) put_text(json, key, value);
    json.end_object();
}

void write_statement(json_stream &json, const sepa_stmt_t &s) {
    json.begin_object();
    put_text(json, "ref", s.ref);
    put_text(json, "account", s.account);
    if (s.number != 0) json.literal("number", std::to_string(s.number));
    if (s.page != 0) json.literal("page", std::to_string(s.page));
    json.literal("openSaldo", format_cents(std::llround(s.open_saldo * 100)));
    put_fixed(json, "openCurrency", s.open_currency);
    put_date(json, "openDate", s.open_date);
    json.literal("closeSaldo", format_cents(std::llround(s.close_saldo * 100)));
    put_fixed(json, "closeCurrency", s.close_currency);
    put_date(json, "closeDate", s.close_date);
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
