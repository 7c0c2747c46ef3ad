// Every stateless entry point and every handle type used from 8 threads at once:
// checks, lookups, conversion, rendering and statement parsing give each thread the
// same results as a single thread does. Under ThreadSanitizer (scripts/ci/25-tsan.sh)
// this also shows that the shared tables, the default rulebook and the message
// counter are free of data races.
#include <gtest/gtest.h>

#include <cstdlib>
#include <latch>
#include <string>
#include <thread>
#include <vector>

#include "sepa.h"

namespace {

constexpr int thread_count = 8;
constexpr int rounds = 20;

const std::string statement_file = std::string(SEPA_TEST_DIR) + "/mt940/commerzbank_multipage.sta";

std::string text_or_null(const char *text) { return text != nullptr ? text : "(null)"; }

std::string bank_text(int rc, sepa_bankinfo_t *info) {
    std::string out = std::to_string(rc);
    if (info != nullptr) {
        for (const char *field : {info->name, info->city, info->bic}) (out += '|') += text_or_null(field);
        (out += '|') += std::to_string(info->flags);
        std::free(info);
    }
    return out;
}

// One pass over the checks, lookups and conversions; the results joined into one text.
std::string checks_and_lookups() {
    std::string out;
    for (const char *iban : {"DE89370400440532013000", "DE89370400440532013001", "AT611904300234573201",
                             "CH9300762011623852957", "FR1420041010050500013M02606", "XX00"}) {
        out += std::to_string(sepa_iban_check(iban)) + ";";
        sepa_bankinfo_t *info = nullptr;
        const int rc = sepa_iban_getBank(iban, &info);
        out += bank_text(rc, info) + ";";
        char bic[12] = {0};
        (out += std::to_string(sepa_iban_getBIC(iban, bic))) += bic;
        out += ';';
    }
    for (const auto &[account, method] : {std::pair{"532013000", 0x63}, {"0532013001", 0x00}, {"12345", 0xA5}}) {
        out += std::to_string(sepa_account_check(account, method)) + ";";
    }
    out += std::to_string(sepa_account_check2("1234567", "80053762", 0x52)) + ";";
    for (const auto &[country, code] : {std::pair{"DE", "37040044"}, {"AT", "19043"}, {"CH", "762"}, {"DE", "1"}}) {
        sepa_bankinfo_t *info = nullptr;
        const int rc = sepa_bankid_check(country, code, &info);
        out += bank_text(rc, info) + ";";
    }
    for (const char *bic : {"COBADEFFXXX", "VOBADESS", "NOTABIC"}) {
        sepa_bankinfo_t *info = nullptr;
        const int rc = sepa_bic_getBank(bic, &info);
        out += bank_text(rc, info) + ";";
    }
    char iban[35] = {0};
    char status = 0;
    (out += std::to_string(sepa_iban_convert("DE", "532013000", "37040044", iban, &status))) += iban;
    (out += std::to_string(status)) += ';';
    char *utf8 = sepa_text_toUTF8("M\xFCller");
    out += text_or_null(utf8) + ";";
    std::free(utf8);
    return out;
}

// A direct debit of its own, rendered; the creation time is left out of the result.
std::string rendered_direct_debit() {
    sepa_t *dd = sepa_new(SEPA_MSGTYPE_DDI);
    if (dd == nullptr) return "no message";
    sepa_setIBAN(dd, "DE89370400440532013000");
    sepa_setBIC(dd, "COBADEFFXXX");
    sepa_setName(dd, "Stadtwerke");
    sepa_setCreditorIdentifier(dd, "DE98ZZZ09999999999");
    sepa_setDate(dd, "2027-01-15");
    sepa_setMessageId(dd, "THREADS-1");
    const sepa_kvpair_t tx[] = {{"name", "Erika Mustermann"},
                                {"iban", "DE02120300000000202051"},
                                {"amount", "49.90"},
                                {"seq", "RCUR"},
                                {"mref", "M-1"},
                                {"mdate", "2024-03-01"},
                                {nullptr, nullptr}};
    std::string out = std::to_string(sepa_add(dd, tx));
    char *xml = sepa_toXML(dd);
    if (xml != nullptr) {
        std::string document = xml;
        std::free(xml);
        const size_t start = document.find("<CreDtTm>"), end = document.find("</CreDtTm>");
        if (start != std::string::npos && end != std::string::npos) document.erase(start, end - start);
        out += document;
    } else {
        out += text_or_null(sepa_getError(dd));
    }
    sepa_free(dd);
    return out;
}

// The statement file parsed by a parser of its own: amounts and texts of every line.
std::string parsed_statements() {
    sepa_stmt_parser_t *parser = sepa_stmt_parser_new();
    if (parser == nullptr) return "no parser";
    std::string out;
    if (sepa_stmt_parser_load(parser, SEPA_STMT_FORMAT_MT940, statement_file.c_str()) != 1) {
        out = sepa_stmt_parser_getError(parser);
    }
    for (const sepa_stmt_t *s = sepa_stmt_parser_getStatement(parser); s != nullptr; s = s->next) {
        ((out += text_or_null(s->ref)) += std::to_string(s->close_saldo)) += ';';
        for (const sepa_stmt_tx_t *t = s->tx_head; t != nullptr; t = t->next) {
            (((out += std::to_string(t->amount)) += text_or_null(t->purpose)) += t->name) += ';';
        }
    }
    sepa_stmt_parser_free(parser);
    return out;
}

std::string everything() { return checks_and_lookups() + rendered_direct_debit() + parsed_statements(); }

TEST(Concurrency, EightThreadsGetTheResultsOfOne) {
    // The threads start together, before anything has been used in this process: the
    // first sepa_new picks the default rulebook while other threads do the same.
    std::latch start(thread_count);
    std::vector<std::string> results(thread_count);
    std::vector<std::thread> threads;
    for (int t = 0; t < thread_count; ++t) {
        threads.emplace_back([&, t] {
            start.arrive_and_wait();
            std::string first = everything();
            for (int round = 1; round < rounds; ++round) {
                if (everything() != first) first = "differs between rounds";
            }
            results[t] = first;
        });
    }
    for (std::thread &thread : threads) thread.join();

    const std::string expected = everything();
    EXPECT_NE(expected.find("<InstdAmt Ccy=\"EUR\">49.90</InstdAmt>"), std::string::npos);
    EXPECT_NE(expected.find("M\xC3\xBCller"), std::string::npos);
    EXPECT_NE(parsed_statements().find(';'), std::string::npos) << parsed_statements();
    for (int t = 0; t < thread_count; ++t) EXPECT_EQ(results[t], expected) << "thread " << t;
}

}  // namespace
