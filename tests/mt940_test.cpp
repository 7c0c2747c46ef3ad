// MT940 statement parsing through the public interface: the parser object and its
// load, statements and lines of several banks' styles, field 86 with its subfields
// and SEPA keywords, damaged input, and the real statement files of other projects.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "core/statement/stmt_parser.h"
#include "tests/statement_test_support.h"
#include "sepa.h"

namespace {

const std::string fixtures = std::string(SEPA_TEST_DIR) + "/mt940/";

bool only_date_fields(const struct tm &date) {
    return date.tm_sec == 0 && date.tm_min == 0 && date.tm_hour == 0 && date.tm_wday == 0 && date.tm_yday == 0 &&
           date.tm_isdst == 0;
}

std::string amount_text(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.2f", value);
    return buffer;
}

void field(std::ostringstream &out, const char *name, const char *value) {
    if (value != nullptr) out << ' ' << name << "=[" << value << ']';
}

void field(std::ostringstream &out, const char *name, const std::string &value) {
    if (!value.empty()) out << ' ' << name << "=[" << value << ']';
}

// Every field of a statement line; unset fields (NULL, 0, empty) are left out.
std::string describe(const sepa_stmt_tx_t *tx) {
    std::ostringstream out;
    EXPECT_TRUE(only_date_fields(tx->valuta));
    EXPECT_TRUE(only_date_fields(tx->booked));
    out << "valuta=" << date_text(tx->valuta);
    field(out, "booked", date_text(tx->booked));
    if (tx->reversal != 0) out << " reversal=" << int(tx->reversal);
    out << " amount=" << amount_text(tx->amount);
    field(out, "code", std::string(tx->code));
    field(out, "ref", tx->ref);
    field(out, "bankref", tx->bankref);
    if (tx->gvc != 0) out << " gvc=" << tx->gvc;
    field(out, "txtext", tx->txtext);
    field(out, "primanota", tx->primanota);
    if (tx->extcode != 0) out << " extcode=" << tx->extcode;
    field(out, "bank", std::string(tx->bank));
    field(out, "account", std::string(tx->account));
    field(out, "name", std::string(tx->name));
    field(out, "purpose", tx->purpose);
    field(out, "eref", tx->eref);
    field(out, "kref", tx->kref);
    field(out, "mref", tx->mref);
    field(out, "cred", tx->cred);
    field(out, "debt", tx->debt);
    field(out, "purp", tx->purp);
    field(out, "coam", tx->coam);
    field(out, "oamt", tx->oamt);
    field(out, "svwz", tx->svwz);
    field(out, "abwa", tx->abwa);
    field(out, "abwe", tx->abwe);
    field(out, "supplementary", tx->supplementary);
    return out.str();
}

// Every field of a statement, without its lines.
std::string describe(const sepa_stmt_t *stmt) {
    std::ostringstream out;
    EXPECT_TRUE(only_date_fields(stmt->open_date));
    EXPECT_TRUE(only_date_fields(stmt->close_date));
    out << "ref=" << (stmt->ref ? stmt->ref : "<null>");
    field(out, "account", stmt->account);
    out << " number=" << stmt->number << " page=" << stmt->page;
    field(out, "open", date_text(stmt->open_date));
    field(out, "openCurrency", std::string(stmt->open_currency));
    out << " openSaldo=" << amount_text(stmt->open_saldo);
    field(out, "close", date_text(stmt->close_date));
    field(out, "closeCurrency", std::string(stmt->close_currency));
    out << " closeSaldo=" << amount_text(stmt->close_saldo);
    size_t count = 0;
    const sepa_stmt_tx_t *last = nullptr;
    for (const sepa_stmt_tx_t *tx = stmt->tx_head; tx != nullptr; tx = tx->next, ++count) last = tx;
    EXPECT_EQ(last, stmt->tx_tail);
    out << " lines=" << count;
    return out.str();
}

// The whole parse result as text, one record per line.
std::string describe_all(const loaded &file) {
    std::ostringstream out;
    for (const sepa_stmt_t *stmt : file.statements()) {
        out << describe(stmt) << '\n';
        for (const sepa_stmt_tx_t *tx : lines_of(stmt)) out << "  " << describe(tx) << '\n';
    }
    return out.str();
}

std::string crlf_to_lf(std::string text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        out += text[i];
    }
    return out;
}

// Loads a text given inline (lines joined with CR LF).
struct parsed_text {
    temp_file file;
    loaded result;
    explicit parsed_text(const std::string &text) : file(text), result(file.path()) {}
};

std::string crlf(std::initializer_list<const char *> lines) {
    std::string text;
    for (const char *line : lines) text += std::string(line) + "\r\n";
    return text;
}

// ---------------------------------------------------------------------------
// The parser object and loading

TEST(StatementParser, ErrorTextOfFreshAndNullParser) {
    EXPECT_STREQ(sepa_stmt_parser_getError(nullptr), "invalid sepa_stmt_parser_t handle");
    sepa_stmt_parser_t *parser = sepa_stmt_parser_new();
    ASSERT_NE(parser, nullptr);
    EXPECT_STREQ(sepa_stmt_parser_getError(parser), "");
    EXPECT_EQ(sepa_stmt_parser_getStatement(parser), nullptr);
    EXPECT_EQ(sepa_stmt_parser_getStatement(nullptr), nullptr);
    EXPECT_EQ(sepa_stmt_parser_load(nullptr, SEPA_STMT_FORMAT_MT940, "x"), 0);
    sepa_stmt_parser_free(parser);
    sepa_stmt_parser_free(nullptr);
}

TEST(StatementParser, UnknownFormatUsesTheParserUp) {
    std::string path = fixtures + "commerzbank_multipage.sta";
    sepa_stmt_parser_t *parser = sepa_stmt_parser_new();
    EXPECT_EQ(sepa_stmt_parser_load(parser, 99, path.c_str()), 0);
    EXPECT_STREQ(sepa_stmt_parser_getError(parser), "Format not (yet) supported");
    EXPECT_EQ(sepa_stmt_parser_load(parser, SEPA_STMT_FORMAT_MT940, path.c_str()), 0);
    EXPECT_STREQ(sepa_stmt_parser_getError(parser), "Parser already used");
    EXPECT_EQ(sepa_stmt_parser_getStatement(parser), nullptr);
    sepa_stmt_parser_free(parser);
}

TEST(StatementParser, SecondLoadIsRefusedAndKeepsTheFirst) {
    std::string path = fixtures + "commerzbank_multipage.sta";
    loaded file(path.c_str());
    ASSERT_EQ(file.result(), 1);
    EXPECT_EQ(file.error(), "");
    EXPECT_EQ(sepa_stmt_parser_load(file.parser(), SEPA_STMT_FORMAT_MT940, path.c_str()), 0);
    EXPECT_EQ(file.error(), "Parser already used");
    EXPECT_EQ(file.statements().size(), 2u);
}

TEST(StatementParser, FileErrors) {
    {
        loaded file("/nonexistent/statement.sta");
        EXPECT_EQ(file.result(), 0);
        EXPECT_EQ(file.error(), std::string("Can't open input file: ") + std::strerror(ENOENT));
    }
    {
        loaded file(nullptr);
        EXPECT_EQ(file.result(), 0);
        EXPECT_EQ(file.error().rfind("Can't open input file: ", 0), 0u);
    }
    {
        temp_file empty("");
        loaded file(empty.path());
        EXPECT_EQ(file.result(), 0);
        EXPECT_EQ(file.error(), "Input file is empty");
    }
    {
        loaded file("/tmp");  // only regular files are read
        EXPECT_EQ(file.result(), 0);
        EXPECT_EQ(file.error(), "Can't read input file: it is a directory, not a regular file");
        EXPECT_EQ(file.statements().size(), 0u);
    }
}

TEST(StatementParser, FileThatEndsBeforeItsSizeEndsTheLoad) {
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    ASSERT_EQ(write(ends[1], "abc", 3), 3);
    close(ends[1]);
    sepa_stmt_parser_t *parser = sepa_stmt_parser_new();
    char buffer[16];
    EXPECT_FALSE(read_whole(parser, ends[0], buffer, 10));
    EXPECT_EQ(std::string(sepa_stmt_parser_getError(parser)).rfind("Error while reading from file: ", 0), 0u);
    close(ends[0]);

    ASSERT_EQ(pipe(ends), 0);
    ASSERT_EQ(write(ends[1], "abcdef", 6), 6);
    close(ends[1]);
    EXPECT_TRUE(read_whole(parser, ends[0], buffer, 6));
    EXPECT_EQ(std::string(buffer, 6), "abcdef");
    close(ends[0]);
    sepa_stmt_parser_free(parser);
}

// Whatever allocation fails, the load reports it and no record is left that
// points into the released text.
TEST(StatementParser, AllocationFailureDropsLinkedStatements) {
    std::string path = fixtures + "commerzbank_multipage.sta";
    bool succeeded = false;
    for (long successes = 0; successes < 40 && !succeeded; ++successes) {
        stmt_fail_allocations_after_for_tests(successes);
        loaded file(path.c_str());
        stmt_fail_allocations_after_for_tests(-1);
        if (file.result() == 1) {
            succeeded = true;
            EXPECT_GT(successes, 1);
            EXPECT_EQ(file.statements().size(), 2u);
        } else {
            EXPECT_EQ(file.statements().size(), 0u) << successes;
            EXPECT_EQ(file.error(), "Out of memory");
        }
    }
    EXPECT_TRUE(succeeded);
}

// ---------------------------------------------------------------------------
// Banks' files

TEST(Mt940Files, CommerzbankMultiPageStatement) {
    std::string path = fixtures + "commerzbank_multipage.sta";
    loaded file(path.c_str());
    ASSERT_EQ(file.result(), 1);
    auto statements = file.statements();
    ASSERT_EQ(statements.size(), 2u);
    EXPECT_EQ(describe(statements[0]),
              "ref=STARTUMS account=[50040000/1234567890] number=12 page=1 open=[2023-12-28] "
              "openCurrency=[EUR] openSaldo=1500.00 close=[2023-12-29] closeCurrency=[EUR] "
              "closeSaldo=1760.75 lines=2");
    auto lines = lines_of(statements[0]);
    EXPECT_EQ(describe(lines[0]),
              "valuta=2023-12-29 booked=[2023-12-29] amount=250.75 code=[TRF] ref=[NONREF] "
              "bankref=[0012345678] gvc=166 txtext=[SEPA-GUTSCHRIFT] primanota=[9310] extcode=997 "
              "bank=[COBADEFFXXX] account=[DE89370400440532013000] name=[Beispiel Handel GmbH und Co KG] "
              "eref=[INV-2023-0815] kref=[KUNDE-4711] mref=[M-2019-001] cred=[DE98ZZZ09999999999] "
              "debt=[DE11ZZZ00000012345] purp=[SALA] coam=[1.50] oamt=[252.25] "
              "svwz=[Rechnung 2023-0815 vom02.12.2023] abwa=[Max Mustermann] abwe=[Erika Musterfrau]");
    // Reversal, entry date in the next year, name cut to its 55 characters.
    EXPECT_EQ(describe(lines[1]),
              "valuta=2023-12-29 booked=[2024-01-02] reversal=1 amount=10.00 code=[DDT] ref=[REF1] "
              "gvc=109 txtext=[RUECKBELASTUNG] primanota=[6543] extcode=901 bank=[BYLADEM1001] "
              "account=[DE02120300000000202051] "
              "name=[Stadtwerke Beispielstadt VersorgungAbteilung Forderunge] "
              "purpose=[Rueckgabe Lastschrift\nKonto erloschen]");

    EXPECT_EQ(describe(statements[1]),
              "ref=STARTUMS account=[50040000/1234567890] number=12 page=2 open=[2023-12-29] "
              "openCurrency=[EUR] openSaldo=1760.75 close=[2024-01-02] closeCurrency=[EUR] "
              "closeSaldo=2970.31 lines=2");
    lines = lines_of(statements[1]);
    // Entry date in the previous year.
    EXPECT_EQ(describe(lines[0]),
              "valuta=2024-01-02 booked=[2023-12-29] amount=-25.00 code=[MSC] ref=[NONREF] gvc=805 "
              "txtext=[ENTGELT] primanota=[6000] purpose=[Kontofuehrung 12/2023]");
    EXPECT_EQ(describe(lines[1]),
              "valuta=2024-01-02 amount=1234.56 code=[TRF] ref=[X] bankref=[B123] gvc=166 "
              "txtext=[SEPA-GUTSCHRIFT] primanota=[9310] bank=[DEUTDEFF] "
              "account=[DE12500105170648489890] name=[Ein sehr langer Name, 27 Zeichen voll] "
              "svwz=[1234567890123456789012Fortsetzung naechste Zeile]");
}

TEST(Mt940Files, SparkasseInSwiftEnvelopes) {
    std::string path = fixtures + "sparkasse_envelope.sta";
    loaded file(path.c_str());
    ASSERT_EQ(file.result(), 1);
    auto statements = file.statements();
    ASSERT_EQ(statements.size(), 2u);
    EXPECT_EQ(describe(statements[0]),
              "ref=STARTUMSE account=[12050555/9876543210] number=1 page=1 open=[2024-01-31] "
              "openCurrency=[EUR] openSaldo=-5.50 closeSaldo=0.00 lines=2");
    auto lines = lines_of(statements[0]);
    EXPECT_EQ(describe(lines[0]),
              "valuta=2024-02-01 booked=[2024-02-01] amount=-49.99 code=[005] ref=[NONREF] gvc=106 "
              "txtext=[KARTENZAHLUNG] primanota=[9262] extcode=11 bank=[HELADEF1822] "
              "account=[DE68500502010000123456] name=[TANKSTELLE AM MARKT] "
              "svwz=[2024-01-31T18.30 Debitk Kartenzahlung Terminal 12345 Tankstelle]");
    // The field 86 that closes the statement stops before "-}".
    EXPECT_EQ(describe(lines[1]),
              "valuta=2024-02-02 booked=[2024-02-02] reversal=1 amount=-12.50 code=[071] ref=[NONREF] "
              "bankref=[R-1] gvc=71 txtext=[STORNO] primanota=[9262] "
              "purpose=[Storno einer Kartenzahlung]");
    // The statement-level field 86 after the closing balance belongs to no line.
    EXPECT_EQ(describe(statements[1]),
              "ref=STARTUMSE account=[12050555/9876543210] number=2 page=1 open=[2024-02-02] "
              "openCurrency=[EUR] openSaldo=-42.99 close=[2024-02-02] closeCurrency=[EUR] "
              "closeSaldo=-42.99 lines=0");
}

// Texts come out in UTF-8: the ISO-8859-1 bytes of the first line are converted,
// the UTF-8 sequences of the second are kept.
TEST(Mt940Files, VolksbankWithLatin1AndUtf8Bytes) {
    std::string path = fixtures + "volksbank_charsets.sta";
    loaded file(path.c_str());
    ASSERT_EQ(file.result(), 1);
    auto statements = file.statements();
    ASSERT_EQ(statements.size(), 1u);
    EXPECT_EQ(describe(statements[0]),
              "ref=VB-2024-03 account=[DE02701500000000594937] number=7 page=0 open=[2024-03-01] "
              "openCurrency=[EUR] openSaldo=0.00 close=[2024-03-06] closeCurrency=[EUR] "
              "closeSaldo=85.01 lines=3");
    auto lines = lines_of(statements[0]);
    EXPECT_EQ(describe(lines[0]),
              "valuta=2024-03-04 amount=100.00 code=[TRF] ref=[NONREF] gvc=166 txtext=[GUTSCHRIFT] "
              "primanota=[931] bank=[GENODEF1M01] account=[DE02701500000000594937] "
              "name=[J\xc3\xbcrgen M\xc3\xbcller] purpose=[Miete M\xc3\xa4rz\n- Wohnung 3 -\ninkl. Nebenkosten]");
    // A continuation line that begins with "-" stays in the field.
    EXPECT_EQ(describe(lines[1]),
              "valuta=2024-03-05 amount=-15.00 code=[CHG] ref=[NONREF] gvc=805 txtext=[ENTGELT] "
              "name=[Stra\xc3\x9f"
              "enbahn AG] "
              "purpose=[Geb\xc3\xbchr f\xc3\xbcr Kontoauszug-  continuation that starts with a dash]");
    // Type code after "F", and an unstructured field 86.
    EXPECT_EQ(describe(lines[2]),
              "valuta=2024-03-06 amount=0.01 code=[MSC] ref=[NONREF] bankref=[9876] gvc=999 "
              "purpose=[Zinsgutschrift ohne Struktur]");
}

TEST(Mt940Files, DamagedFileKeepsWhatCanBeRead) {
    std::string path = fixtures + "damaged.sta";
    loaded file(path.c_str());
    ASSERT_EQ(file.result(), 1);
    auto statements = file.statements();
    ASSERT_EQ(statements.size(), 6u);
    // An unreadable opening date ends the statement: its line is not read.
    EXPECT_EQ(describe(statements[0]), "ref=D1 account=[ACC1] number=1 page=1 openSaldo=0.00 closeSaldo=0.00 lines=0");
    // A ":61:" without a type letter on its own line ends the statement there.
    auto lines = lines_of(statements[1]);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(describe(lines[0]), "valuta=2024-01-31 amount=7.00 code=[TRF] ref=[B] gvc=166 purpose=[Erste]");
    EXPECT_EQ(describe(lines[1]), "valuta=2024-02-01 amount=0.00");
    // A field 86 before the statement's first line is not given to D2's last line.
    lines = lines_of(statements[2]);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(describe(lines[0]), "valuta=2024-02-02 amount=-1.00 code=[TRF] ref=[C]");
    EXPECT_EQ(describe(statements[2]), "ref=D3 number=0 page=0 openSaldo=0.00 closeSaldo=0.00 lines=1");
    // Without a "-" line, the next ":20:" still begins a statement of its own.
    EXPECT_EQ(statements[3]->ref, std::string("D4"));
    EXPECT_EQ(describe(lines_of(statements[3])[0]), "valuta=2024-02-03 amount=2.00 code=[TRF] ref=[D]");
    EXPECT_EQ(statements[4]->ref, std::string("D5"));
    EXPECT_EQ(lines_of(statements[4]).size(), 1u);
    // The text ends inside field 86, right after a "?".
    lines = lines_of(statements[5]);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(describe(lines[0]), "valuta=2024-02-05 amount=4.00 code=[TRF] ref=[F] bankref=[] gvc=166 purpose=[Ende]");
}

// The signed amounts of every complete statement add up from its opening to its
// closing balance (a reversal of a credit is a debit entry and the other way round).
TEST(Mt940Files, AmountsAddUpToTheClosingBalance) {
    for (const char *name : {"commerzbank_multipage.sta", "volksbank_charsets.sta"}) {
        std::string path = fixtures + name;
        loaded file(path.c_str());
        for (const sepa_stmt_t *stmt : file.statements()) {
            double sum = stmt->open_saldo;
            for (const sepa_stmt_tx_t *tx : lines_of(stmt)) sum += tx->amount;
            EXPECT_EQ(amount_text(sum), amount_text(stmt->close_saldo)) << name << " " << stmt->ref;
        }
    }
}

// Files with LF alone give exactly what their CR LF form gives.
TEST(Mt940Files, LineFeedAloneReadsLikeCrLf) {
    for (const char *name :
         {"commerzbank_multipage.sta", "sparkasse_envelope.sta", "volksbank_charsets.sta", "damaged.sta"}) {
        std::string path = fixtures + name;
        loaded original(path.c_str());
        parsed_text lf(crlf_to_lf(read_bytes(path)));
        ASSERT_EQ(lf.result.result(), 1) << name;
        EXPECT_FALSE(original.statements().empty()) << name;
        EXPECT_EQ(describe_all(lf.result), describe_all(original)) << name;
    }
}

// ---------------------------------------------------------------------------
// Values of single lines

struct line_case {
    const char *line;
    const char *expected;
};

std::string single_statement(const std::string &lines) {
    parsed_text parsed(":20:R\r\n" + lines + "-\r\n");
    EXPECT_EQ(parsed.result.result(), 1);
    auto statements = parsed.result.statements();
    if (statements.size() != 1) return "statements: " + std::to_string(statements.size());
    std::string text = describe(statements[0]);
    for (const sepa_stmt_tx_t *tx : lines_of(statements[0])) {
        text += '\n';
        text += describe(tx);
    }
    return text;
}

TEST(Mt940Lines, Balances) {
    const line_case cases[] = {
        {":60F:C240131EUR1000,00",
         "ref=R number=0 page=0 open=[2024-01-31] openCurrency=[EUR] openSaldo=1000.00 closeSaldo=0.00 lines=0"},
        {":62F:D991231EUR5,5",
         "ref=R number=0 page=0 openSaldo=0.00 close=[1999-12-31] closeCurrency=[EUR] closeSaldo=-5.50 lines=0"},
        {":60M:C800101DEM0,",
         "ref=R number=0 page=0 open=[1980-01-01] openCurrency=[DEM] openSaldo=0.00 closeSaldo=0.00 lines=0"},
        {":62M:C791231CHF12345678,91",
         "ref=R number=0 page=0 openSaldo=0.00 close=[2079-12-31] closeCurrency=[CHF] closeSaldo=12345678.91 lines=0"},
        // A line cut short after the currency, and one cut inside it.
        {":60F:C240131EUR",
         "ref=R number=0 page=0 open=[2024-01-31] openCurrency=[EUR] openSaldo=0.00 closeSaldo=0.00 lines=0"},
        {":60F:C240131EU",
         "ref=R number=0 page=0 open=[2024-01-31] openCurrency=[EU] openSaldo=0.00 closeSaldo=0.00 lines=0"},
        {":28C:00012/003", "ref=R number=12 page=3 openSaldo=0.00 closeSaldo=0.00 lines=0"},
        {":28C:7", "ref=R number=7 page=0 openSaldo=0.00 closeSaldo=0.00 lines=0"},
        {":28:27/01", "ref=R number=27 page=1 openSaldo=0.00 closeSaldo=0.00 lines=0"},
        {":25:DE89370400440532013000",
         "ref=R account=[DE89370400440532013000] number=0 page=0 openSaldo=0.00 closeSaldo=0.00 lines=0"},
    };
    for (const line_case &c : cases) EXPECT_EQ(single_statement(std::string(c.line) + "\r\n"), c.expected) << c.line;
}

// A value that cannot be read ends the statement: the following lines are not read.
TEST(Mt940Lines, UnreadableValuesEndTheStatement) {
    for (const char *line :
         {":60F:C2401", ":62F:C24013XEUR1,00", ":28C:/3", ":28C:99999999999", ":61:2401", ":61:240131C1,00XTRF"}) {
        std::string text = std::string(line) + "\r\n:25:AFTER\r\n";
        std::string result = single_statement(text);
        EXPECT_EQ(result.find("AFTER"), std::string::npos) << line << ": " << result;
    }
}

TEST(Mt940Lines, StatementLines) {
    const line_case cases[] = {
        {":61:2401310131C1234,56NTRFNONREF//B123",
         "valuta=2024-01-31 booked=[2024-01-31] amount=1234.56 code=[TRF] ref=[NONREF] bankref=[B123]"},
        {":61:2312290102RD10,00NDDTREF1",
         "valuta=2023-12-29 booked=[2024-01-02] reversal=1 amount=10.00 code=[DDT] ref=[REF1]"},
        {":61:240131DR25,00NMSCX", "valuta=2024-01-31 amount=-25.00 code=[MSC] ref=[X]"},
        {":61:2401021231RC3,NRTINONREF",
         "valuta=2024-01-02 booked=[2023-12-31] reversal=1 amount=-3.00 code=[RTI] ref=[NONREF]"},
        // A blank between amount and type letter, and supplementary details on the next line.
        {":61:2006080608D12,35 NRTIKREF+//2016021783252833\r\n/OCMT/EUR11,85//CHGS/EUR0,50/",
         "valuta=2020-06-08 booked=[2020-06-08] amount=-12.35 code=[RTI] ref=[KREF+] bankref=[2016021783252833] "
         "supplementary=[/OCMT/EUR11,85//CHGS/EUR0,50/]"},
        {":61:0310201020C20000,00FMSCNONREF//8327000090031789",
         "valuta=2003-10-20 booked=[2003-10-20] amount=20000.00 code=[MSC] ref=[NONREF] bankref=[8327000090031789]"},
        {":61:240131C5,00S202REF", "valuta=2024-01-31 amount=5.00 code=[202] ref=[REF]"},
        // Cut short after the type letter, and inside the code.
        {":61:240131C5,00N", "valuta=2024-01-31 amount=5.00 ref=[]"},
        {":61:240131C5,00NTR", "valuta=2024-01-31 amount=5.00 code=[TR] ref=[]"},
    };
    for (const line_case &c : cases) {
        std::string result = single_statement(std::string(c.line) + "\r\n");
        size_t first_line = result.find('\n');
        ASSERT_NE(first_line, std::string::npos) << c.line;
        EXPECT_EQ(result.substr(first_line + 1), c.expected) << c.line;
    }
}

// ---------------------------------------------------------------------------
// Field 86

std::string field86(const std::string &lines) {
    std::string result = single_statement(":61:240131C1,00NTRFREF\r\n" + lines);
    const std::string prefix = "valuta=2024-01-31 amount=1.00 code=[TRF] ref=[REF]";
    size_t at = result.find(prefix);
    if (at == std::string::npos) return result;
    std::string rest = result.substr(at + prefix.size());
    return rest.empty() ? rest : rest.substr(1);
}

TEST(Mt940Field86, SubfieldsAndKeywords) {
    const line_case cases[] = {
        {":86:166?00TRANSFER?109310?20EREF+INV-1?21SVWZ+Invoice 1?22paid in full?30ABCDDEFFXXX?32Example Ltd",
         "gvc=166 txtext=[TRANSFER] primanota=[9310] bank=[ABCDDEFFXXX] name=[Example Ltd] eref=[INV-1] "
         "svwz=[Invoice 1 paid in full]"},
        {":86:166?20Rent January?21Flat 3", "gvc=166 purpose=[Rent January\nFlat 3]"},
        // Purpose lines before the first keyword stay in purpose; later ones continue the keyword.
        {":86:166?20Vorab?21EREF+E1?22weiter", "gvc=166 purpose=[Vorab] eref=[E1 weiter]"},
        // 22 characters after the keyword: the line was full, no blank.
        {":86:166?20SVWZ+1234567890123456789012?21345", "gvc=166 svwz=[1234567890123456789012345]"},
        // An appended line of 27 characters: the next one follows without a blank.
        {":86:166?20SVWZ+A?21123456789012345678901234567?22B", "gvc=166 svwz=[A 123456789012345678901234567B]"},
        // ?32 of 20 characters and ?33: one blank; ?32 of 27 characters: none.
        {":86:166?3212345678901234567890?33ABCDEFGHIJ", "gvc=166 name=[12345678901234567890 ABCDEFGHIJ]"},
        {":86:166?32123456789012345678901234567?33ABC", "gvc=166 name=[123456789012345678901234567ABC]"},
        {":86:166?33only the second", "gvc=166 name=[only the second]"},
        // Fixed arrays are cut at their capacity.
        {":86:166?30ABCDEFGHIJKLMNOP?310123456789012345678901234567890123456789",
         "gvc=166 bank=[ABCDEFGHIJKL] account=[0123456789012345678901234567890123]"},
        // Amount keywords get a decimal point; the extension code is read as a number.
        {":86:109?20OAMT+11,85?21COAM+0,50?34 902", "gvc=109 extcode=902 coam=[0.50] oamt=[11.85]"},
        // Every keyword, and the second purpose subfield block ?60-?63.
        {":86:177?20EREF+e?21KREF+k?22MREF+m?23CRED+c?24DEBT+d?25PURP+p?26COAM+1?27OAMT+2?28SVWZ+s?29ABWA+a?60ABWE+b?61more",
         "gvc=177 eref=[e] kref=[k] mref=[m] cred=[c] debt=[d] purp=[p] coam=[1] oamt=[2] svwz=[s] abwa=[a] abwe=[b more]"},
        // The field joined from several lines, a subfield number cut by the line break.
        {":86:166?00GUT\r\nSCHRIFT?2\r\n0EREF+ab\r\ncd", "gvc=166 txtext=[GUTSCHRIFT] eref=[abcd]"},
        // A "?" that starts no subfield belongs to the text; numbers not greater do too.
        {":86:166?20What? 1?5?21x", "gvc=166 purpose=[What? 1?5\nx]"},
        // Every "?NN" starts a subfield wherever it stands.
        {":86:166?21first?20second", "gvc=166 purpose=[first\nsecond]"},
        {":86:166?20SVWZ+", "gvc=166 svwz=[]"},
        {":86:", ""},
        {":86: 020?00Wyplata", "gvc=20 txtext=[Wyplata]"},
        {":86:999PN5477SCHECK-NR. 0000016703074", "gvc=999 purpose=[PN5477SCHECK-NR. 0000016703074]"},
        // Unknown subfields are skipped.
        {":86:166?20a?21b?38PL0810?70other", "gvc=166 purpose=[a\nb]"},
        {":86:166?20a?30X?21b", "gvc=166 bank=[X] purpose=[a\nb]"},
    };
    for (const line_case &c : cases) EXPECT_EQ(field86(std::string(c.line) + "\r\n"), c.expected) << c.line;
}

// The field ends before the next tag line and before the statement's end line.
TEST(Mt940Field86, FieldEnds) {
    EXPECT_EQ(field86(":86:166?20a\r\n:62F:C240131EUR1,00\r\n"), "gvc=166 purpose=[a]");
    EXPECT_EQ(field86(":86:166?20a\r\n:NS:not a tag\r\n"), "gvc=166 purpose=[a:NS:not a tag]");
    EXPECT_EQ(field86(":86:166?20a\r\n-}\r\n"), "gvc=166 purpose=[a]");

    // A statement whose last tag is ":86:" is not merged with the next one.
    parsed_text two(
        crlf({":20:A", ":61:240131C1,00NTRFX", ":86:166?20last", "-", ":20:B", ":61:240201C2,00NTRFY", "-"}));
    auto statements = two.result.statements();
    ASSERT_EQ(statements.size(), 2u);
    EXPECT_STREQ(statements[0]->tx_head->purpose, "last");
    EXPECT_STREQ(statements[1]->ref, "B");
    EXPECT_EQ(lines_of(statements[1]).size(), 1u);
}

// A second field 86 for the same line replaces the values it carries.
TEST(Mt940Field86, StatementLevelFieldIsNotGivenToALine) {
    parsed_text text(crlf({":20:A", ":61:240131C1,00NTRFX", ":86:166?20line", ":62F:C240131EUR1,00",
                           ":86:999statement information", "-"}));
    auto statements = text.result.statements();
    ASSERT_EQ(statements.size(), 1u);
    EXPECT_STREQ(statements[0]->tx_head->purpose, "line");
    EXPECT_EQ(statements[0]->tx_head->gvc, 166);
}

// ---------------------------------------------------------------------------
// Statement boundaries

TEST(Mt940Statements, Boundaries) {
    struct boundary_case {
        std::string text;
        std::vector<std::string> refs;
    };
    const boundary_case cases[] = {
        // The first statement starts at the very first byte.
        {":20:FIRST\r\n-\r\n:20:SECOND\r\n-\r\n", {"FIRST", "SECOND"}},
        {"\r\n:20:FIRST\r\n-\r\n", {"FIRST"}},
        {"{1:F01}{4:\r\n:20:E\r\n-}\r\n", {"E"}},
        {"no statement here\r\n", {}},
        {":20:LAST", {"LAST"}},
        {":20:LF\n:25:X\n-\n:20:LF2\n-\n", {"LF", "LF2"}},
        {"x:20:NOT\r\n", {}},
        {"\xEF\xBB\xBF:20:BOM\r\n-\r\n", {"BOM"}},
        {":20:A\r\n:20:B\r\n", {"A", "B"}},
    };
    for (const boundary_case &c : cases) {
        parsed_text parsed(c.text);
        // A text without a statement is refused rather than loaded empty.
        EXPECT_EQ(parsed.result.result(), c.refs.empty() ? 0 : 1);
        std::vector<std::string> refs;
        for (const sepa_stmt_t *s : parsed.result.statements()) refs.push_back(s->ref);
        EXPECT_EQ(refs, c.refs) << c.text;
    }
}

// The ":61:" line's type letter is never taken from a later line.
TEST(Mt940Statements, TypeLetterOnlyFromItsOwnLine) {
    parsed_text parsed(crlf({":20:A", ":61:240131C1,00", ":86:166?20NOT HERE", ":25:AFTER", "-"}));
    auto statements = parsed.result.statements();
    ASSERT_EQ(statements.size(), 1u);
    EXPECT_EQ(statements[0]->account, nullptr);
    ASSERT_NE(statements[0]->tx_head, nullptr);
    EXPECT_EQ(statements[0]->tx_head->purpose, nullptr);
    EXPECT_EQ(statements[0]->tx_head->amount, 0.0);
}

// Texts that end anywhere, with NUL bytes or very long lines: every load ends,
// and nothing is read outside the loaded text (the sanitizer build checks).
TEST(Mt940Statements, TextsThatEndAnywhere) {
    const std::string whole = read_bytes(fixtures + "commerzbank_multipage.sta") +
                              read_bytes(fixtures + "sparkasse_envelope.sta");
    for (size_t cut = 1; cut <= whole.size(); ++cut) {
        parsed_text parsed(whole.substr(0, cut));
        EXPECT_EQ(parsed.result.result(), parsed.result.statements().empty() ? 0 : 1) << cut;
    }
    std::string with_nul = whole;
    for (size_t i = 3; i < with_nul.size(); i += 7) with_nul[i] = '\0';
    parsed_text nul(with_nul);
    EXPECT_EQ(nul.result.result(), nul.result.statements().empty() ? 0 : 1);
    parsed_text starts_with_nul(std::string("\0:20:A\r\n", 8));
    EXPECT_EQ(starts_with_nul.result.result(), 0);
    EXPECT_EQ(starts_with_nul.result.error(), "No MT940 statement in the file");

    std::string long_field = ":20:L\r\n:61:240131C1,00NTRFX\r\n:86:166?20" + std::string(1 << 20, 'x') + "?21" +
                             std::string(100000, '?') + "\r\n" + std::string(300000, 'y') + "\r\n-";
    parsed_text long_text(long_field);
    ASSERT_EQ(long_text.result.statements().size(), 1u);
    EXPECT_EQ(std::strlen(long_text.result.statements()[0]->tx_head->purpose), (1u << 20) + 1 + 100000 + 300000);
}

// Statement files as real banks write them, one file per way a parser loses text:
// each line as read, with every field.
TEST(Mt940Files, RealBanksQuirksKeepAllText) {
    struct row {
        const char *file;
        std::vector<std::string> lines;
    };
    const row rows[] = {
        // Unstructured field 86: a line shorter than 65 characters ended a line of text.
        {"unstructured_line_breaks.sta",
         {"valuta=2024-01-31 booked=[2024-01-31] amount=10.00 code=[TRF] ref=[NONREF] gvc=999 "
          "purpose=[Miete Januar\nWohnung 3 links\nKundennummer 4711 Vertrag 0815 Zahlung fuer den "
          "Monat Januar 2024 wie vereinbart]"}},
        // "?11" after "?30", and a subfield number cut by the line break.
        {"subfield_after_30.sta",
         {"valuta=2024-01-31 booked=[2024-01-31] amount=10.00 code=[TRF] ref=[NONREF] gvc=166 "
          "txtext=[GUTSCHRIFT] primanota=[9310] extcode=997 bank=[COBADEFFXXX] "
          "account=[DE89370400440532013000] name=[Muster GmbH] svwz=[Rechnung 1 Teil zwei]"}},
        // Keywords inside purpose lines, several in one line.
        {"keywords_inside_lines.sta",
         {"valuta=2024-01-31 booked=[2024-01-31] amount=10.00 code=[TRF] ref=[NONREF] gvc=166 "
          "txtext=[GUTSCHRIFT] eref=[E-1] kref=[K-1] mref=[M-1] cred=[DE98ZZZ0999999] "
          "svwz=[Rechnung 7] abwa=[Hans Meier] abwe=[Firma X]"}},
        // Continuation lines that start with a time, even ":26:37", are no tags.
        {"time_continuation.sta",
         {"valuta=2024-01-31 booked=[2024-01-31] amount=-10.00 code=[MSC] ref=[NONREF] gvc=106 "
          "txtext=[KARTENZAHLUNG] svwz=[2024-01-31T16:26:37 Karte 1 Terminal 4711 um 16:26:37 Uhr]"}},
        // A second ":86:" line of the same booking continues the field.
        {"several_86_lines.sta",
         {"valuta=2024-01-31 booked=[2024-01-31] amount=10.00 code=[TRF] ref=[NONREF] gvc=166 "
          "txtext=[GUTSCHRIFT] name=[Muster GmbH] svwz=[Teil eins Teil zwei]"}},
        // A "?" at the very end of the field.
        {"trailing_question_mark.sta",
         {"valuta=2024-01-31 booked=[2024-01-31] amount=10.00 code=[TRF] ref=[NONREF] gvc=166 "
          "txtext=[GUTSCHRIFT] svwz=[Text am Ende]"}},
        // The customer reference has 16 characters; the rest is supplementary detail.
        {"long_customer_reference.sta",
         {"valuta=2024-01-31 booked=[2024-01-31] amount=10.00 code=[TRF] ref=[ABCDEFGHIJKLMNOP] "
          "supplementary=[QRSTUV]",
          "valuta=2024-01-31 booked=[2024-01-31] amount=0.00 code=[TRF] ref=[KREF-1] bankref=[BANK-1] "
          "gvc=166 txtext=[GUTSCHRIFT] supplementary=[/OCMT/EUR10,00/]"}},
        // Only exactly three digits make a business transaction code.
        {"gvc_three_digits.sta",
         {"valuta=2024-01-31 booked=[2024-01-31] amount=10.00 code=[TRF] ref=[NONREF] "
          "purpose=[20240131 Miete Januar]",
          "valuta=2024-01-31 booked=[2024-01-31] amount=0.00 code=[TRF] ref=[NONREF] gvc=805 "
          "purpose=[ Entgelt]"}},
        // FinTS clients receive "@@" as line separator.
        {"fints_at_signs.sta",
         {"valuta=2024-01-31 booked=[2024-01-31] amount=10.00 code=[TRF] ref=[NONREF] gvc=166 "
          "txtext=[GUTSCHRIFT] svwz=[Ueber FinTS]"}},
    };
    for (const row &r : rows) {
        std::string path = fixtures + r.file;
        loaded file(path.c_str());
        ASSERT_EQ(file.result(), 1) << r.file << ": " << file.error();
        auto statements = file.statements();
        ASSERT_EQ(statements.size(), 1u) << r.file;
        std::vector<std::string> lines;
        for (const sepa_stmt_tx_t *tx : lines_of(statements[0])) lines.push_back(describe(tx));
        EXPECT_EQ(lines, r.lines) << r.file;
        EXPECT_EQ(statements[0]->tx_count, r.lines.size());
        EXPECT_STREQ(statements[0]->message_type, "MT940");
    }
}

}  // namespace
