#include "json_output.h"

#include "library_handles.h"

#include <ctime>
#include <new>
#include <string>

namespace {

std::string format_date(const struct tm &date) {
    char text[16];
    if (strftime(text, sizeof text, "%Y-%m-%d", &date) == 0) return "";
    return text;
}

void put_text(nlohmann::ordered_json &object, const char *key, const char *value) {
    if (value != nullptr) object[key] = value;
}

// Statement texts are the bank's bytes (often ISO-8859-1); JSON needs UTF-8, so the
// library's conversion reads bytes that are not valid UTF-8 as Latin-1.
std::string to_utf8(const char *text) {
    malloc_ptr<char> converted(sepa_text_toUTF8(text));
    if (!converted) throw std::bad_alloc();
    return converted.get();
}

void put_statement_text(nlohmann::ordered_json &object, const char *key, const char *value) {
    if (value != nullptr) object[key] = to_utf8(value);
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

nlohmann::ordered_json statements_to_json(const sepa_stmt_t *first) {
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (const sepa_stmt_t *s = first; s != nullptr; s = s->next) {
        nlohmann::ordered_json st;
        put_statement_text(st, "ref", s->ref);
        put_statement_text(st, "account", s->account);
        if (s->number != 0) st["number"] = s->number;
        if (s->page != 0) st["page"] = s->page;
        st["openSaldo"] = s->open_saldo;
        st["openCurrency"] = to_utf8(s->open_currency);
        st["openDate"] = format_date(s->open_date);
        st["closeSaldo"] = s->close_saldo;
        st["closeCurrency"] = to_utf8(s->close_currency);
        st["closeDate"] = format_date(s->close_date);
        nlohmann::ordered_json lines = nlohmann::ordered_json::array();
        for (const sepa_stmt_tx_t *t = s->tx_head; t != nullptr; t = t->next) {
            nlohmann::ordered_json tx;
            tx["valuta"] = format_date(t->valuta);
            if (t->booked.tm_year > 0) tx["booked"] = format_date(t->booked);
            tx["amount"] = t->amount;
            tx["code"] = to_utf8(t->code);
            put_statement_text(tx, "ref", t->ref);
            put_statement_text(tx, "bankref", t->bankref);
            tx["gvc"] = t->gvc;
            if (t->extcode != 0) tx["extcode"] = t->extcode;
            put_statement_text(tx, "txtext", t->txtext);
            put_statement_text(tx, "primanota", t->primanota);
            tx["bank"] = to_utf8(t->bank);
            tx["account"] = to_utf8(t->account);
            tx["name"] = to_utf8(t->name);
            put_statement_text(tx, "purpose", t->purpose);
            const std::pair<const char *, const char *> keywords[] = {
                {"eref", t->eref}, {"kref", t->kref}, {"mref", t->mref}, {"cred", t->cred},
                {"debt", t->debt}, {"purp", t->purp}, {"coam", t->coam}, {"oamt", t->oamt},
                {"svwz", t->svwz}, {"abwa", t->abwa}, {"abwe", t->abwe}};
            for (const auto &[key, value] : keywords) put_statement_text(tx, key, value);
            lines.push_back(tx);
        }
        st["tx"] = lines;
        list.push_back(st);
    }
    return list;
}
