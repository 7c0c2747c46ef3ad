// camt statements through the public interface: the library's own fixtures (batch,
// reversal, charges, instant payment, returned direct debit, Latin characters and
// entities, versions 02 and 08, ZIP archives of several accounts), the limits and
// refusals of the loader, and the real files of other projects' test suites.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>
#include <zip.h>

#include "core/frame/latin1_text.h"
#include "core/statement/stmt_parser.h"
#include "core/statement/stmt_zip.h"
#include "tests/statement_test_support.h"
#include "sepa.h"

namespace {

const std::string fixtures = std::string(SEPA_TEST_DIR) + "/camt/";
const std::string shared_camt = std::string(SEPA_SHARED_DATA_DIR) + "/camt/";

bool exists(const std::string &path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

std::string str(const char *text) { return text != nullptr ? text : "<null>"; }

// A ZIP archive of the given (name, content) entries, in this order.
std::string make_zip(const std::vector<std::pair<std::string, std::string>> &entries) {
    temp_file file;
    unlink(file.path());
    int error = 0;
    zip_t *archive = zip_open(file.path(), ZIP_CREATE | ZIP_EXCL, &error);
    EXPECT_NE(archive, nullptr);
    for (const auto &[name, content] : entries) {
        zip_source_t *source = zip_source_buffer(archive, content.data(), content.size(), 0);
        EXPECT_GE(zip_file_add(archive, name.c_str(), source, ZIP_FL_ENC_UTF_8), 0);
    }
    EXPECT_EQ(zip_close(archive), 0);
    return read_bytes(file.path());
}

// --- The library's own fixtures ----------------------------------------------------

TEST(CamtStatement, Version08EveryField) {
    loaded file(std::string(fixtures + "statement_v08.xml").c_str(), SEPA_STMT_FORMAT_CAMT);
    ASSERT_EQ(file.result(), 1) << file.error();
    auto statements = file.statements();
    ASSERT_EQ(statements.size(), 1u);
    const sepa_stmt_t *s = statements[0];
    EXPECT_EQ(str(s->message_type), "camt.053.001.08");
    EXPECT_EQ(str(s->message_id), "MSG-2025-11-03-0001");
    EXPECT_EQ(str(s->ref), "STMT-2025-214");
    EXPECT_EQ(str(s->account), "DE89370400440532013000");
    EXPECT_EQ(str(s->account_currency), "EUR");
    EXPECT_EQ(str(s->account_bic), "COBADEFFXXX");
    EXPECT_EQ(str(s->owner_name), "Müller & Söhne GmbH");
    EXPECT_EQ(str(s->created), "2025-11-03T06:00:00+01:00");
    EXPECT_EQ(s->number, 214u);
    EXPECT_EQ(s->legal_number, 21u);
    EXPECT_EQ(s->page, 1u);
    // OPBD wins over PRCD whatever their order; CLAV is not the closing balance.
    EXPECT_EQ(s->has_open, 1);
    EXPECT_EQ(date_text(s->open_date), "2025-11-01");
    EXPECT_EQ(s->open_cents, 100000);
    EXPECT_DOUBLE_EQ(s->open_saldo, 1000.0);
    EXPECT_STREQ(s->open_currency, "EUR");
    EXPECT_EQ(s->has_close, 1);
    EXPECT_EQ(date_text(s->close_date), "2025-11-03");
    EXPECT_EQ(s->close_cents, -5265);
    EXPECT_DOUBLE_EQ(s->close_saldo, -52.65);
    EXPECT_STREQ(s->close_currency, "EUR");

    auto lines = lines_of(s);
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(s->tx_count, 7u);
    int64_t booked_sum = 0;
    for (const sepa_stmt_tx_t *tx : lines) {
        if (std::strcmp(tx->status, "BOOK") == 0) booked_sum += tx->amount_cents;
    }
    EXPECT_EQ(s->open_cents + booked_sum, s->close_cents);

    // Instant credit: one TxDtls merged with its entry.
    const sepa_stmt_tx_t *instant = lines[0];
    EXPECT_EQ(date_text(instant->booked), "2025-11-01");
    EXPECT_EQ(date_text(instant->valuta), "2025-11-02");
    EXPECT_EQ(instant->amount_cents, 25010);
    EXPECT_DOUBLE_EQ(instant->amount, 250.10);
    EXPECT_STREQ(instant->currency, "EUR");
    EXPECT_EQ(instant->reversal, 0);
    EXPECT_STREQ(instant->status, "BOOK");
    EXPECT_STREQ(instant->domain, "PMNT");
    EXPECT_STREQ(instant->family, "RCDT");
    EXPECT_STREQ(instant->subfamily, "ESCT");
    EXPECT_EQ(str(instant->bank_tx_code), "NTRF+166+9310+997");
    EXPECT_STREQ(instant->code, "TRF");
    EXPECT_EQ(instant->gvc, 166);
    EXPECT_EQ(str(instant->primanota), "9310");
    EXPECT_EQ(instant->extcode, 997);
    EXPECT_EQ(str(instant->entry_ref), "E1");
    EXPECT_EQ(instant->entry_index, 1u);
    EXPECT_EQ(instant->entry_tx_count, 1u);
    EXPECT_EQ(instant->entry_amount_cents, 25010);
    EXPECT_EQ(str(instant->bankref), "BANKREF-0001");
    EXPECT_EQ(str(instant->ref), "E2E-INST-0001");
    EXPECT_EQ(str(instant->eref), "E2E-INST-0001");
    EXPECT_EQ(str(instant->end_to_end_id), "E2E-INST-0001");
    EXPECT_EQ(str(instant->txtext), "SEPA-Echtzeitüberweisung");
    const std::string long_name =
        "Ölmühle Gebrüder Ärmel und Töchter Kommanditgesellschaft für Raps & Sonnenblumenöl, "
        "Niederlassung Süd";
    EXPECT_EQ(str(instant->name_full), long_name);
    // The array keeps what fits, cut at a character boundary.
    size_t kept = std::strlen(instant->name);
    EXPECT_GE(kept, 54u);
    EXPECT_EQ(std::string(instant->name), long_name.substr(0, kept));
    EXPECT_TRUE(is_valid_utf8(instant->name, kept));
    EXPECT_EQ(str(instant->account_full), "DE02120300000000202051");
    EXPECT_STREQ(instant->account, "DE02120300000000202051");
    EXPECT_STREQ(instant->bank, "BYLADEM1001");
    EXPECT_EQ(str(instant->abwa), "Ärmel Holding");
    EXPECT_EQ(str(instant->abwe), "Müller Vertrieb");
    EXPECT_EQ(str(instant->purp), "GDDS");
    EXPECT_EQ(str(instant->svwz), "Rechnung 4711 <Öl> € 250,10 Kunde 0815");
    EXPECT_EQ(instant->charges_cents, 0);
    EXPECT_EQ(instant->original_amount_cents, 0);

    // Batch: one line per TxDtls with its own amount, the entry's amount and count.
    int64_t batch_sum = 0;
    const char *names[] = {"Anna Apfel", "Bernd Birne", "Clara Kirsch"};
    for (int i = 0; i < 3; ++i) {
        const sepa_stmt_tx_t *tx = lines[1 + i];
        batch_sum += tx->amount_cents;
        EXPECT_EQ(tx->entry_index, uint32_t(i + 1));
        EXPECT_EQ(tx->entry_tx_count, 3u);
        EXPECT_EQ(tx->entry_amount_cents, 6000);
        EXPECT_EQ(tx->amount_cents, (i + 1) * 1000);
        EXPECT_EQ(str(tx->bankref), "BATCH-77");
        EXPECT_EQ(str(tx->txtext), "SAMMLER-GUTSCHRIFT");
        EXPECT_EQ(str(tx->svwz), "Beitrag November");
        EXPECT_EQ(str(tx->mref), "M-" + std::to_string(i + 1));
        EXPECT_EQ(str(tx->name_full), names[i]);
    }
    EXPECT_EQ(batch_sum, 6000);
    // A detail's own bank transaction code wins over the entry's.
    EXPECT_EQ(str(lines[1]->bank_tx_code), "NDDT+171+08382");
    EXPECT_STREQ(lines[1]->family, "IDDT");
    EXPECT_EQ(lines[1]->gvc, 171);
    EXPECT_EQ(str(lines[2]->bank_tx_code), "NMSC+192+08382");
    EXPECT_EQ(lines[2]->gvc, 192);
    EXPECT_EQ(str(lines[1]->cred), "DE98ZZZ09999999999");
    EXPECT_EQ(str(lines[3]->account_full), "0106531065");
    EXPECT_EQ(str(lines[3]->bank_full), "30020900");
    EXPECT_EQ(lines[3]->charges_cents, 25);
    EXPECT_STREQ(lines[3]->charges_currency, "EUR");

    // Returned direct debit: the payer as counterparty, charges, original amount.
    const sepa_stmt_tx_t *returned = lines[4];
    EXPECT_EQ(returned->amount_cents, -1350);
    EXPECT_EQ(date_text(returned->valuta), "2025-10-31");
    EXPECT_EQ(str(returned->name_full), "Bernd Birne");
    EXPECT_EQ(str(returned->account_full), "DE02300209000106531065");
    EXPECT_EQ(returned->charges_cents, 350);
    EXPECT_STREQ(returned->charges_currency, "EUR");
    EXPECT_EQ(returned->original_amount_cents, 1000);
    EXPECT_STREQ(returned->original_currency, "EUR");
    EXPECT_EQ(str(returned->return_reason), "MD06");
    EXPECT_EQ(str(returned->creditor_ref), "RF18539007547034");
    EXPECT_EQ(str(returned->txtext), "RUECKLASTSCHRIFT");
    EXPECT_STREQ(returned->code, "RTI");
    EXPECT_EQ(returned->gvc, 109);
    EXPECT_EQ(str(returned->primanota), "00931");

    // Reversal of a credit: a debit whose counterparty is the original debtor.
    const sepa_stmt_tx_t *reversal = lines[5];
    EXPECT_EQ(reversal->reversal, 1);
    EXPECT_EQ(reversal->amount_cents, -134925);
    EXPECT_DOUBLE_EQ(reversal->amount, -1349.25);
    EXPECT_EQ(str(reversal->name_full), "Dora Dattel");
    EXPECT_EQ(reversal->gvc, 159);
    EXPECT_EQ(reversal->primanota, nullptr);

    // Pending entry without details.
    const sepa_stmt_tx_t *pending = lines[6];
    EXPECT_STREQ(pending->status, "PDNG");
    EXPECT_EQ(pending->amount_cents, -99);
    EXPECT_EQ(date_text(pending->booked), "");
    EXPECT_EQ(str(pending->txtext), "Entgelt");
    EXPECT_EQ(pending->name_full, nullptr);
    EXPECT_EQ(pending->ref, nullptr);
    EXPECT_STREQ(pending->name, "");
}

TEST(CamtStatement, Version02ReportsInLatin1) {
    loaded file(std::string(fixtures + "report_v02_latin1.xml").c_str(), SEPA_STMT_FORMAT_AUTO);
    ASSERT_EQ(file.result(), 1) << file.error();
    auto statements = file.statements();
    ASSERT_EQ(statements.size(), 2u);
    const sepa_stmt_t *a = statements[0];
    EXPECT_EQ(str(a->message_type), "camt.052.001.02");
    EXPECT_EQ(str(a->ref), "RPT-A");
    EXPECT_EQ(a->number, 7u);
    EXPECT_EQ(str(a->account_bic), "INGDDEFFXXX");
    EXPECT_EQ(a->open_cents, 1000);
    EXPECT_EQ(a->close_cents, 750);
    auto lines = lines_of(a);
    ASSERT_EQ(lines.size(), 1u);
    const sepa_stmt_tx_t *debit = lines[0];
    EXPECT_EQ(debit->amount_cents, -250);
    EXPECT_STREQ(debit->status, "BOOK");
    EXPECT_EQ(str(debit->name_full), "Stadtwerke Köln");
    EXPECT_STREQ(debit->bank, "COLSDE33");
    EXPECT_EQ(str(debit->cred), "DE46ZZZ00000012345");
    EXPECT_EQ(str(debit->mref), "MANDAT-A");
    EXPECT_EQ(str(debit->svwz), "Abschlag Strom für 11/2025");
    EXPECT_EQ(debit->charges_cents, 10);
    EXPECT_EQ(debit->gvc, 105);
    EXPECT_EQ(debit->extcode, 992);

    const sepa_stmt_t *b = statements[1];
    EXPECT_EQ(str(b->account), "0648489890");
    EXPECT_EQ(b->has_open, 0);
    EXPECT_EQ(b->has_close, 0);
    auto other = lines_of(b);
    ASSERT_EQ(other.size(), 1u);
    EXPECT_EQ(other[0]->amount_cents, 100000001);
    EXPECT_STREQ(other[0]->currency, "USD");
    EXPECT_STREQ(other[0]->status, "INFO");
    EXPECT_EQ(date_text(other[0]->valuta), "2025-11-05");
}

TEST(CamtStatement, ZipOfSeveralAccountsInArchiveOrder) {
    std::string v08 = read_bytes(fixtures + "statement_v08.xml");
    std::string v02 = read_bytes(fixtures + "report_v02_latin1.xml");
    temp_file archive(make_zip({{"folder/", ""}, {"b_account.xml", v02}, {"a_account.xml", v08}}));
    loaded file(archive.path(), SEPA_STMT_FORMAT_AUTO);
    ASSERT_EQ(file.result(), 1) << file.error();
    auto statements = file.statements();
    ASSERT_EQ(statements.size(), 3u);
    EXPECT_EQ(str(statements[0]->ref), "RPT-A");
    EXPECT_EQ(str(statements[1]->ref), "RPT-B");
    EXPECT_EQ(str(statements[2]->ref), "STMT-2025-214");
    EXPECT_EQ(statements[2]->tx_count, 7u);

    loaded as_mt940(archive.path(), SEPA_STMT_FORMAT_MT940);
    EXPECT_EQ(as_mt940.result(), 0);
    EXPECT_EQ(as_mt940.error(), "Not an MT940 file: the file is a ZIP archive");
}

TEST(CamtStatement, BadArchivesFailWithTheEntryNamed) {
    std::string v08 = read_bytes(fixtures + "statement_v08.xml");
    struct row {
        std::vector<std::pair<std::string, std::string>> entries;
        const char *error;
    };
    const row rows[] = {
        {{{"ok.xml", v08}, {"readme.txt", "hello"}}, "ZIP entry \"readme.txt\": camt document is not well-formed XML"},
        {{{"pain.xml", "<Document><CstmrCdtTrfInitn/></Document>"}},
         "ZIP entry \"pain.xml\": Not a camt.052, camt.053 or camt.054 document"},
        {{{"folder/", ""}}, "No camt statement in the ZIP archive"},
    };
    for (const row &r : rows) {
        temp_file archive(make_zip(r.entries));
        loaded file(archive.path(), SEPA_STMT_FORMAT_CAMT);
        EXPECT_EQ(file.result(), 0);
        EXPECT_EQ(file.error().rfind(r.error, 0), 0u) << file.error();
        EXPECT_TRUE(file.statements().empty());
    }
    // A ZIP bomb stops at the load's XML budget: here a small one.
    std::string spaces(4 << 20, ' ');
    std::string bomb = make_zip({{"bomb.xml", "<Document>" + spaces}});
    EXPECT_LT(bomb.size(), 64u << 10);
    sepa_stmt_parser_t *parser = sepa_stmt_parser_new();
    size_t budget = 1 << 20;
    EXPECT_FALSE(read_camt_zip(parser, -1, bomb.data(), bomb.size(), &budget));
    EXPECT_NE(std::string(sepa_stmt_parser_getError(parser)).find("exceed the limit"), std::string::npos)
        << sepa_stmt_parser_getError(parser);
    release_statements(parser);
    sepa_stmt_parser_free(parser);
    // Too many entries.
    std::vector<std::pair<std::string, std::string>> many;
    for (int i = 0; i <= SEPA_STMT_MAX_ZIP_ENTRIES; ++i) many.push_back({std::to_string(i), ""});
    temp_file crowded(make_zip(many));
    loaded file(crowded.path(), SEPA_STMT_FORMAT_AUTO);
    EXPECT_EQ(file.result(), 0);
    EXPECT_EQ(file.error(), "ZIP archive with 10001 entries; the limit is 10000");
}

// Hostile and malformed XML: each fails with its reason and leaves no statement.
TEST(CamtStatement, RefusedDocuments) {
    const std::string head =
        "<Document xmlns=\"urn:iso:std:iso:20022:tech:xsd:camt.053.001.02\"><BkToCstmrStmt>"
        "<Stmt><Id>S</Id>";
    const std::string tail = "</Stmt></BkToCstmrStmt></Document>";
    std::string deep = head;
    for (int i = 0; i < 70; ++i) deep += "<X>";
    struct row {
        std::string document;
        const char *error;
    };
    const row rows[] = {
        {"<?xml version=\"1.0\"?><!DOCTYPE Document [<!ENTITY a \"aaaa\">]>" + head + tail,
         "camt document with a DTD refused"},
        {"<?xml version=\"1.0\"?><!DOCTYPE Document SYSTEM \"file:///etc/passwd\">" + head + tail,
         "camt document with a DTD refused"},
        {head + "<Ntry><Amt Ccy=\"EUR\">&xxe;</Amt></Ntry>" + tail,
         "camt document is not well-formed XML: undefined entity"},
        {head + "<Ntry><Amt Ccy=\"EUR\">1,00</Amt></Ntry>" + tail, "camt amount \"1,00\" is not a decimal number"},
        {head + "<Ntry><AddtlNtryInf>" + std::string(SEPA_STMT_MAX_XML_TEXT + 1, 'x') + "</AddtlNtryInf></Ntry>" + tail,
         "camt element text longer than the limit"},
        {deep, "camt document nested deeper than the limit"},
        {head, "camt document is not well-formed XML: no element found"},
        {"<Document><BkToCstmrStmt><GrpHdr/></BkToCstmrStmt></Document>", "No statement in the camt document"},
        {"<Document xmlns=\"urn:iso:std:iso:20022:tech:xsd:pain.001.001.03\"><CstmrCdtTrfInitn/></Document>",
         "Not a camt.052, camt.053 or camt.054 document"},
        {"<html><body/></html>", "Not a camt.052, camt.053 or camt.054 document"},
    };
    for (const row &r : rows) {
        temp_file file_bytes(r.document);
        loaded file(file_bytes.path(), SEPA_STMT_FORMAT_AUTO);
        EXPECT_EQ(file.result(), 0) << r.error;
        EXPECT_EQ(file.error().rfind(r.error, 0), 0u) << file.error();
        EXPECT_TRUE(file.statements().empty());
    }
}

TEST(CamtStatement, FormatsAndFileKinds) {
    // camt asked for, MT940 given, and the other way round.
    temp_file mt940(":20:X\r\n:25:1/2\r\n:60F:C240131EUR1,00\r\n:62F:C240131EUR1,00\r\n-\r\n");
    loaded as_camt(mt940.path(), SEPA_STMT_FORMAT_CAMT);
    EXPECT_EQ(as_camt.result(), 0);
    EXPECT_EQ(as_camt.error(), "Not a camt.052, camt.053 or camt.054 document, nor a ZIP archive of them");
    loaded automatic(mt940.path(), SEPA_STMT_FORMAT_AUTO);
    EXPECT_EQ(automatic.result(), 1) << automatic.error();
    ASSERT_EQ(automatic.statements().size(), 1u);
    EXPECT_EQ(str(automatic.statements()[0]->message_type), "MT940");
    loaded xml_as_mt940(std::string(fixtures + "statement_v08.xml").c_str(), SEPA_STMT_FORMAT_MT940);
    EXPECT_EQ(xml_as_mt940.result(), 0);
    EXPECT_EQ(xml_as_mt940.error(), "Not an MT940 file: the file is XML");
    temp_file text("just some text\r\nwithout a statement\r\n");
    loaded nothing(text.path(), SEPA_STMT_FORMAT_AUTO);
    EXPECT_EQ(nothing.result(), 0);
    EXPECT_EQ(nothing.error(), "No MT940 statement in the file");
    loaded unknown(text.path(), 4);
    EXPECT_EQ(unknown.error(), "Format not (yet) supported");

    // Only regular files: a directory, a device and a FIFO fail at once.
    char folder[] = "/tmp/camt_dir_XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    std::string fifo = std::string(folder) + "/fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::pair<std::string, const char *> kinds[] = {
        {folder, "Can't read input file: it is a directory, not a regular file"},
        {"/dev/null", "Can't read input file: it is a device, not a regular file"},
        {fifo, "Can't read input file: it is a FIFO, not a regular file"},
    };
    for (const auto &[path, error] : kinds) {
        loaded file(std::string(path).c_str(), SEPA_STMT_FORMAT_AUTO);
        EXPECT_EQ(file.result(), 0);
        EXPECT_EQ(file.error(), error);
    }
    unlink(fifo.c_str());
    rmdir(folder);

    // A file beyond the size limit fails before anything is read (sparse file).
    temp_file huge;
    ASSERT_EQ(truncate(huge.path(), off_t(SEPA_STMT_MAX_FILE_BYTES) + 1), 0);
    loaded big(huge.path(), SEPA_STMT_FORMAT_AUTO);
    EXPECT_EQ(big.result(), 0);
    EXPECT_EQ(big.error().rfind("Input file is too large", 0), 0u) << big.error();
}

// --- Real files of other projects' test suites -------------------------------------

#define REQUIRE_SHARED_CAMT() \
    if (!exists(shared_camt)) GTEST_SKIP() << "no reference files at " << shared_camt

// Statements, entries-or-details lines, per file, as their publishers' fixtures hold.
TEST(CamtReference, EveryFileLoadsWithItsStatementsAndLines) {
    REQUIRE_SHARED_CAMT();
    struct row {
        const char *file;
        size_t statements;
        size_t lines;
    };
    const row rows[] = {
        {"viafintech_052_valid_example.xml", 1, 2},
        {"viafintech_052_valid_example_with_dates.xml", 1, 1},
        {"viafintech_053_valid_example.xml", 1, 5},
        {"viafintech_053_valid_example_with_debit.xml", 1, 5},
        {"viafintech_053_valid_example_with_batch.xml", 1, 3},
        {"viafintech_053_valid_example_with_instdamt.xml", 1, 1},
        {"viafintech_053_valid_example_v4.xml", 1, 32},
        {"viafintech_053_valid_example_v8.xml", 1, 3},
        {"viafintech_053_valid_example_with_datetime.xml", 1, 1},
        {"viafintech_054_valid_example.xml", 1, 5},
        {"hbci4java_camt052_v02.xml", 1, 2},
        {"hbci4java_camt052_v08.xml", 1, 1},
        {"hbci4java_camt052_v08_invalid-saldo.xml", 1, 1},
        {"hbci4java_camt052_v08_missing-date.xml", 1, 1},
        {"hbci4java_camt052_v02_ruecklastschrift.xml", 1, 1},
        {"konfipay_camt053_mixed_examples_08.xml", 1, 8},
        {"konfipay_camt053_failed_debit_with_charges_08.xml", 1, 1},
        {"konfipay_camt053_outgoing_collection_02.xml", 1, 2},
        {"konfipay_CAMT.053_458b71be.XML", 1, 10},
        {"oca_test-camt053.xml", 1, 4},
        {"oca_test-camt053-txdtls.xml", 1, 2},
        {"oca_test-camt053-no-ntry.xml", 1, 0},
        {"oca_test-camt054.xml", 1, 1},
        {"oca_test-camt053.zip", 2, 6},
        {"bbk_11_EBICS_camt053_Kontoauszug_mit_allen_Umsaetzen.xml", 1, 11},
        {"bbk_03_EBICS_camt052_Scheckbestaetigung_vom_Dot.xml", 1, 2},
        {"bbk_09_EBICS_camt052_Rueckbuchung_B-Scheck_an_Dot.xml", 1, 1},
        {"bbk_2_camt054_Beispieldatei_booking.xml", 1, 1},
        {"bbk_5_camt053_Beispieldatei_Sub-Account.xml", 1, 11},
        {"haspa_camt052.xml", 1, 1},
    };
    const std::set<std::string> adds_up = {"viafintech_052_valid_example.xml",
                                           "viafintech_053_valid_example.xml",
                                           "hbci4java_camt052_v02.xml",
                                           "hbci4java_camt052_v08.xml",
                                           "haspa_camt052.xml",
                                           "konfipay_camt053_outgoing_collection_02.xml",
                                           "konfipay_CAMT.053_458b71be.XML",
                                           "bbk_03_EBICS_camt052_Scheckbestaetigung_vom_Dot.xml",
                                           "bbk_09_EBICS_camt052_Rueckbuchung_B-Scheck_an_Dot.xml",
                                           "bbk_11_EBICS_camt053_Kontoauszug_mit_allen_Umsaetzen.xml",
                                           "oca_test-camt053-txdtls.xml",
                                           "viafintech_053_valid_example_v4.xml"};
    for (const row &r : rows) {
        loaded file(std::string(shared_camt + r.file).c_str(), SEPA_STMT_FORMAT_AUTO);
        ASSERT_EQ(file.result(), 1) << r.file << ": " << file.error();
        auto statements = file.statements();
        EXPECT_EQ(statements.size(), r.statements) << r.file;
        size_t lines = 0;
        for (const sepa_stmt_t *s : statements) {
            lines += lines_of(s).size();
            EXPECT_EQ(lines_of(s).size(), s->tx_count);
            // Booked lines lead from the opening to the closing balance, in the
            // files whose balances are meant to match their entries.
            if (s->has_open && s->has_close && adds_up.count(r.file) != 0) {
                int64_t sum = 0;
                for (const sepa_stmt_tx_t *tx : lines_of(s)) {
                    if (tx->entry_index == 1) sum += tx->entry_amount_cents;
                }
                EXPECT_EQ(s->open_cents + sum, s->close_cents) << r.file;
            }
        }
        EXPECT_EQ(lines, r.lines) << r.file;
    }
}

std::vector<std::string> split(const std::string &line, char separator) {
    std::vector<std::string> parts;
    std::stringstream in(line);
    std::string part;
    while (std::getline(in, part, separator)) parts.push_back(part);
    return parts;
}

std::string without_blanks(std::string text) {
    text.erase(std::remove(text.begin(), text.end(), ' '), text.end());
    return text;
}

std::string euros(int64_t cents) {
    char text[32];
    std::snprintf(text, sizeof text, "%s%lld.%02lld", cents < 0 ? "-" : "",
                  static_cast<long long>((cents < 0 ? -cents : cents) / 100),
                  static_cast<long long>((cents < 0 ? -cents : cents) % 100));
    return text;
}

TEST(CamtReference, HaspaAsItsToolExpects) {
    REQUIRE_SHARED_CAMT();
    loaded file(std::string(shared_camt + "haspa_camt052.xml").c_str(), SEPA_STMT_FORMAT_AUTO);
    ASSERT_EQ(file.result(), 1) << file.error();
    std::istringstream csv(read_bytes(shared_camt + "haspa_camt052.expected.csv"));
    std::string line;
    std::getline(csv, line);  // header
    auto lines = lines_of(file.statements()[0]);
    size_t i = 0;
    while (std::getline(csv, line)) {
        if (line.empty()) continue;
        auto f = split(line, ';');
        ASSERT_GE(f.size(), 10u);
        ASSERT_LT(i, lines.size());
        const sepa_stmt_tx_t *tx = lines[i++];
        const sepa_stmt_t *s = file.statements()[0];
        EXPECT_EQ(date_text(tx->booked), f[0]);
        EXPECT_EQ(date_text(tx->valuta), f[1]);
        EXPECT_EQ(euros(tx->amount_cents), f[2]);
        EXPECT_EQ(tx->currency, f[3]);
        // The counterparty of a debit is the creditor; the debtor is the account.
        EXPECT_EQ(str(tx->name_full), f[4]);
        EXPECT_EQ(str(tx->account_full), without_blanks(f[5]));
        EXPECT_EQ(str(s->account), without_blanks(f[7]));
        EXPECT_EQ(str(tx->txtext), f[8]);
        EXPECT_EQ(str(tx->svwz), f[9]);
    }
    EXPECT_EQ(i, lines.size());
}

// The konfipay gem's parse of its own portal download, line by line. Its JSON is
// flat: one object per line with string and number values.
TEST(CamtReference, KonfipayAsItsGemExpects) {
    REQUIRE_SHARED_CAMT();
    loaded file(std::string(shared_camt + "konfipay_CAMT.053_458b71be.XML").c_str(), SEPA_STMT_FORMAT_AUTO);
    ASSERT_EQ(file.result(), 1) << file.error();
    std::string json = read_bytes(shared_camt + "konfipay_CAMT.053_458b71be.parsed-by-gem.json");
    std::vector<std::map<std::string, std::string>> expected;
    size_t at = 0;
    while ((at = json.find('{', at)) != std::string::npos) {
        size_t end = json.find('}', at);
        std::map<std::string, std::string> object;
        std::string body = json.substr(at + 1, end - at - 1);
        size_t key = 0;
        while ((key = body.find('"', key)) != std::string::npos) {
            size_t key_end = body.find('"', key + 1);
            std::string name = body.substr(key + 1, key_end - key - 1);
            size_t colon = body.find(':', key_end);
            size_t value = body.find_first_not_of(" ", colon + 1);
            std::string text;
            size_t next;
            if (body[value] == '"') {
                next = body.find('"', value + 1);
                text = body.substr(value + 1, next - value - 1);
                ++next;
            } else {
                next = body.find_first_of(",\n", value);
                text = body.substr(value, next - value);
            }
            object[name] = text;
            key = next;
        }
        expected.push_back(object);
        at = end;
    }
    auto lines = lines_of(file.statements()[0]);
    ASSERT_EQ(lines.size(), expected.size());
    for (size_t i = 0; i < lines.size(); ++i) {
        const sepa_stmt_tx_t *tx = lines[i];
        auto &e = expected[i];
        EXPECT_EQ(str(tx->name_full), e["name"]) << i;
        EXPECT_EQ(str(tx->account_full), e["iban"]) << i;
        EXPECT_EQ(str(tx->bank_full), e["bic"]) << i;
        EXPECT_EQ(tx->amount_cents < 0 ? "debit" : "credit", e["type"]) << i;
        EXPECT_EQ(std::to_string(tx->amount_cents < 0 ? -tx->amount_cents : tx->amount_cents), e["amount_in_cents"])
            << i;
        EXPECT_EQ(tx->currency, e["currency"]) << i;
        EXPECT_EQ(date_text(tx->booked), e["executed_on"]) << i;
        EXPECT_EQ(str(tx->svwz), e["reference"]) << i;
        EXPECT_EQ(str(tx->end_to_end_id), e["end_to_end_reference"]) << i;
    }
}

}  // namespace
