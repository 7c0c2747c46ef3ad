// Transactions added with sepa_add: every key with its checks and failure texts,
// amounts, completeness rules, and that a refusal leaves the message unchanged.
#include <gtest/gtest.h>
#include <strings.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "core/frame/clock.h"
#include "core/frame/rulebook.h"
#include "core/frame/text_checks.h"
#include "core/message/message_id_check.h"
#include "core/message/non_eea_bic.h"
#include "core/message/transaction_list.h"
#include "core/message/transaction_rules.h"
#include "sepa.h"
#include "tests/test_random.h"

namespace {

using pair_list = std::vector<std::pair<const char *, const char *>>;

// A key-value array ended by the NULL-key pair, as callers pass it.
std::vector<sepa_kvpair_t> terminated(const pair_list &pairs) {
    std::vector<sepa_kvpair_t> list;
    for (const auto &p : pairs) list.push_back({p.first, p.second});
    list.push_back({nullptr, nullptr});
    return list;
}

pair_list concat(pair_list a, const pair_list &b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const pair_list complete_dd = {
    {"name", "Debtor"},    {"iban", "AT611904300234573201"}, {"bic", "BKAUATWW"}, {"amount", "10.00"}, {"seq", "FRST"},
    {"mref", "MANDATE-1"}, {"mdate", "2020-05-17"}};
const pair_list complete_ct = {{"name", "Creditor"}, {"iban", "NL91ABNA0417164300"}, {"amount", "10.00"}};

// Counts, sum and list ends of a message, compared before and after a refusal.
struct list_state {
    uint32_t count;
    double sum;
    int64_t sum_cents;
    const void *head;
    const void *tail;
    bool operator==(const list_state &) const = default;
};
list_state state_of(const sepa_t *m) {
    return {m->tx_count, m->control_sum, m->control_sum_cents, m->tx_head, m->tx_tail};
}

class TransactionTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(sepa_init(SEPA_INIT_RULEBOOK, "DE-3.5"), 1);
        dd = sepa_new(SEPA_MSGTYPE_DDI);
        ct = sepa_new(SEPA_MSGTYPE_CTI);
    }
    void TearDown() override {
        sepa_free(dd);
        sepa_free(ct);
    }
    int add(sepa_t *m, const pair_list &pairs) { return sepa_add(m, terminated(pairs).data()); }
    const tx_record *last_dd() const { return transaction_list_last(dd); }
    const tx_record *last_ct() const { return transaction_list_last(ct); }

    // Adds `pairs`; expects acceptance when `error` is nullptr, else the refusal text
    // and an unchanged transaction list.
    void expect_add(sepa_t *m, const pair_list &pairs, const char *error, const std::string &label) {
        const list_state before = state_of(m);
        const int result = add(m, pairs);
        if (error == nullptr) {
            EXPECT_EQ(result, 1) << label << ": " << (sepa_getError(m) ? sepa_getError(m) : "");
            EXPECT_EQ(m->tx_count, before.count + 1) << label;
        } else {
            EXPECT_EQ(result, 0) << label;
            EXPECT_STREQ(sepa_getError(m), error) << label;
            EXPECT_TRUE(before == state_of(m)) << label << " changed the list";
        }
    }

    sepa_t *dd = nullptr;
    sepa_t *ct = nullptr;
};

const std::string text35(35, 'x'), text36(36, 'x'), text70(70, 'x'), text71(71, 'x');
const std::string text140(140, 'x'), text141(141, 'x');

struct key_case {
    const char *key;
    const char *value;
    const char *error;  // nullptr: accepted
};

// Each value is added after a complete transaction's pairs, so it alone decides.
TEST_F(TransactionTest, KeysOfBothMessageTypes) {
    const key_case cases[] = {
        {"name", text70.c_str(), nullptr},
        {"name", "Müller & Co.", nullptr},
        {"name", "", "Invalid name (must be 1-70 characters)"},
        {"name", text71.c_str(), "Invalid name (must be 1-70 characters)"},
        {"name", nullptr, "Invalid name (must be 1-70 characters)"},
        {"iban", "GB82WEST12345698765432", nullptr},
        {"iban", "GB82WEST12345698765423", "Invalid IBAN checksum"},
        {"iban", nullptr, "Invalid IBAN (NULL)"},
        {"iban", "GB82 WEST 1234 5698 7654 32", "Wrong IBAN length"},
        {"bic", "bkauatww", nullptr},
        {"bic", "BKAUATWW500", nullptr},
        {"bic", "BKAUATWW5000", "Invalid BIC"},
        {"bic", nullptr, "Invalid BIC"},
        {"bic", "BKAUAT1W", "Invalid BIC format"},
        {"bic", "", "Invalid BIC format"},
        {"addrCC", "AT", nullptr},
        {"addrCC", "at", "Invalid country code"},
        {"addrCC", "A", "Invalid country code"},
        {"addrCC", "AUT", "Invalid country code"},
        {"addrCC", nullptr, "Invalid country code"},
        {"addrLine1", text70.c_str(), nullptr},
        {"addrLine1", "", "Invalid address line 1 (must be 1-70 chars)"},
        {"addrLine1", text71.c_str(), "Invalid address line 1 (must be 1-70 chars)"},
        {"addrLine1", nullptr, "Invalid address line 1 (must be 1-70 chars)"},
        {"addrLine1", "Gasse #1", "Invalid character '#' in address line 1"},
        {"addrLine2", "1010 Wien", nullptr},
        {"addrLine2", "", "Invalid address line 2 (must be 1-70 chars)"},
        {"addrLine2", text71.c_str(), "Invalid address line 2 (must be 1-70 chars)"},
        {"addrLine2", "1010 Wien;", "Invalid character ';' in address line 2"},
        {"ref", text140.c_str(), nullptr},
        {"ref", "", nullptr},
        {"ref", text141.c_str(), "Invalid unstructured remittance information (must be 0-140 characters)"},
        {"ref", nullptr, "Invalid unstructured remittance information (must be 0-140 characters)"},
        {"ref", "Rechnung <1>", "Invalid character '<' in unstructured remittance information"},
        {"date", "2030-02-28", nullptr},
        {"date", "2030-02-29", "Invalid execution date (format: yyyy-mm-dd)"},
        {"date", "2030-13-01", "Invalid execution date (format: yyyy-mm-dd)"},
        {"date", "2030-1-1", "Invalid execution date (format: yyyy-mm-dd)"},
        {"date", "abcdefghij", "Invalid execution date (format: yyyy-mm-dd)"},
        {"date", nullptr, "Invalid execution date (format: yyyy-mm-dd)"},
        {"id", text35.c_str(), nullptr},
        {"id", "E2E 1", nullptr},
        {"id", "", "Invalid end-to-end ID (must be 1-35 characters)"},
        {"id", text36.c_str(), "Invalid end-to-end ID (must be 1-35 characters)"},
        {"id", nullptr, "Invalid end-to-end ID (must be 1-35 characters)"},
        {"id", "E2E&1", "Invalid character '&' in end-to-end ID"},
    };
    for (sepa_t *m : {dd, ct}) {
        const pair_list &base = m == dd ? complete_dd : complete_ct;
        for (const auto &c : cases) {
            expect_add(m, concat(base, {{c.key, c.value}}), c.error,
                       std::string(m == dd ? "dd " : "ct ") + c.key + "=" + (c.value ? c.value : "NULL"));
        }
    }
}

TEST_F(TransactionTest, NameCharacterTextNamesTheSide) {
    expect_add(dd, concat(complete_dd, {{"name", "A~B"}}), "Invalid character '~' in debtor name", "dd");
    expect_add(ct, concat(complete_ct, {{"name", "A~B"}}), "Invalid character '~' in creditor name", "ct");
}

// Error texts show the whole offending character, so that they stay valid UTF-8;
// characters that cannot be shown are written as their code.
TEST_F(TransactionTest, CharacterTextsShowWholeCharacters) {
    const key_case cases[] = {
        {"name", "\xC5\x81ukasz", "Invalid character '\xC5\x81' in debtor name"},
        {"name", "Caf\xC3\xA9", "Invalid character '\xC3\xA9' in debtor name"},
        {"name", "10 \xE2\x82\xAC", "Invalid character '\xE2\x82\xAC' in debtor name"},
        {"name", "\xF0\x9F\x98\x80", "Invalid character '\xF0\x9F\x98\x80' in debtor name"},
        {"name", "A\xC5", "Invalid character '\\xC5' in debtor name"},
        {"name", "A\xC3\x28", "Invalid character '\\xC3' in debtor name"},
        {"name", "A\xC0\xAF", "Invalid character '\\xC0' in debtor name"},
        {"name", "A\xED\xA0\x80", "Invalid character '\\xED' in debtor name"},
        {"name", "A\tB", "Invalid character 'U+0009' in debtor name"},
        {"name", "A\xC2\x85", "Invalid character 'U+0085' in debtor name"},
        {"addrLine1", "\xC3\xB8", "Invalid character '\xC3\xB8' in address line 1"},
        {"ref", "x\x7F", "Invalid character 'U+007F' in unstructured remittance information"},
        {"id", "\xC3\xA4", "Invalid character '\xC3\xA4' in end-to-end ID"},
        {"mref", "M\xC3\xA4", "Invalid character '\xC3\xA4' in mandate reference"},
        {"smnda", "\xC3", "Invalid value '\\xC3' for SMNDA flag"},
    };
    for (const auto &c : cases) expect_add(dd, concat(complete_dd, {{c.key, c.value}}), c.error, c.error);
}

TEST_F(TransactionTest, DirectDebitKeys) {
    const key_case cases[] = {
        {"seq", "frst", nullptr},
        {"seq", "Rcur", nullptr},
        {"seq", "OOFF", nullptr},
        {"seq", "fnal", nullptr},
        {"seq", "first", "Invalid/unknown sequence type"},
        {"seq", "", "Invalid/unknown sequence type"},
        {"seq", nullptr, "Invalid/unknown sequence type"},
        {"mref", text35.c_str(), nullptr},
        {"mref", "M 1", nullptr},  // spaces allowed from DE-3.0 on
        {"mref", "", "Invalid mandate reference (must be 1-35 characters)"},
        {"mref", text36.c_str(), "Invalid mandate reference (must be 1-35 characters)"},
        {"mref", nullptr, "Invalid mandate reference (must be 1-35 characters)"},
        {"mref", "M&1", "Invalid character '&' in mandate reference"},
        {"mdate", "2024-02-29", nullptr},
        {"mdate", "2023-02-29", "Invalid mandate signature date (format: yyyy-mm-dd)"},
        {"mdate", "2023-11-31", "Invalid mandate signature date (format: yyyy-mm-dd)"},
        {"mdate", "20230101", "Invalid mandate signature date (format: yyyy-mm-dd)"},
        {"mdate", nullptr, "Invalid mandate signature date (format: yyyy-mm-dd)"},
        {"old_mref", "OLD-1", nullptr},
        {"old_mref", "", "Invalid old mandate reference (must be 1-35 characters)"},
        {"old_mref", text36.c_str(), "Invalid old mandate reference (must be 1-35 characters)"},
        {"old_mref", "OLD_1", "Invalid character '_' in old mandate reference"},
        {"old_iban", "NL91ABNA0417164300", nullptr},
        {"old_iban", "NL91ABNA0417164301", "Invalid IBAN checksum"},
        {"old_iban", nullptr, "Invalid IBAN (NULL)"},
        {"smnda", "1", nullptr},
        {"smnda", "0", "Invalid value '0' for SMNDA flag"},
        {"smnda", "true", "Invalid value 'true' for SMNDA flag"},
        {"smnda", nullptr, "Invalid value 'NULL' for SMNDA flag"},
        {"purp", "SALA", "Invalid transaction property 'purp'"},
        {"unknown", "x", "Invalid transaction property 'unknown'"},
    };
    for (const auto &c : cases) {
        expect_add(dd, concat(complete_dd, {{c.key, c.value}}), c.error,
                   std::string(c.key) + "=" + (c.value ? c.value : "NULL"));
    }
}

TEST_F(TransactionTest, CreditTransferKeys) {
    const key_case cases[] = {
        {"purp", "SALA", nullptr},
        {"purp", "SAL", "Invalid purpose (must be 4 characters)"},
        {"purp", "SALAR", "Invalid purpose (must be 4 characters)"},
        {"purp", nullptr, "Invalid purpose (must be 4 characters)"},
        {"purp",
         "SA\x01"
         "A",
         "Invalid character 'U+0001' in purpose"},
        {"purp",
         "S\xC3\xA4"
         "A",
         "Invalid character '\xC3\xA4' in purpose"},
        {"purp", "SA A", "Invalid character ' ' in purpose"},
        // Direct-debit and unknown keys are refused as on a direct debit: a misspelt
        // key must not vanish from the document.
        {"seq", "frst", "Invalid transaction property 'seq'"},
        {"mref", nullptr, "Invalid transaction property 'mref'"},
        {"smnda", "1", "Invalid transaction property 'smnda'"},
        {"unknown", "x", "Invalid transaction property 'unknown'"},
        {"TwnNm", "Wien", "Invalid transaction property 'TwnNm'"},
        {"Stra\xC3\x9F"
         "e",
         "x",
         "Invalid transaction property 'Stra\xC3\x9F"
         "e'"},
        {"k\xC5", "x", "Invalid transaction property 'k\\xC5'"},
    };
    for (const auto &c : cases) {
        expect_add(ct, concat(complete_ct, {{c.key, c.value}}), c.error,
                   std::string(c.key) + "=" + (c.value ? c.value : "NULL"));
    }
}

TEST_F(TransactionTest, MandateReferenceCharactersFollowTheRulebook) {
    ASSERT_EQ(sepa_init(SEPA_INIT_RULEBOOK, "DE-2.9"), 1);
    expect_add(dd, concat(complete_dd, {{"mref", "M 1"}}), "Invalid character ' ' in mandate reference", "2.9");
    ASSERT_EQ(sepa_init(SEPA_INIT_RULEBOOK, "DE-3.0"), 1);
    expect_add(dd, concat(complete_dd, {{"mref", "M 1"}}), nullptr, "3.0");
    // An old mandate reference was once a mandate reference: the same rule applies.
    expect_add(dd, concat(complete_dd, {{"old_mref", "M 1"}}), nullptr, "old 3.0");
    for (const char *rulebook : {"DE-2.9", "AT-6", "NL-6"}) {
        ASSERT_EQ(sepa_init(SEPA_INIT_RULEBOOK, rulebook), 1);
        expect_add(dd, concat(complete_dd, {{"old_mref", "M 1"}}), "Invalid character ' ' in old mandate reference",
                   rulebook);
        expect_add(dd, concat(complete_dd, {{"mref", "M 1"}}), "Invalid character ' ' in mandate reference", rulebook);
    }
}

// "AT-6" widens the character check at every level, but the schemas admit only the
// SEPA identifier set in ids and mandate references.
TEST_F(TransactionTest, IdentifiersKeepTheSepaSetUnderAt6) {
    ASSERT_EQ(sepa_init(SEPA_INIT_RULEBOOK, "AT-6"), 1);
    expect_add(dd, concat(complete_dd, {{"name", "A#B"}, {"ref", "Nr. #1 {x}"}}), nullptr, "names keep it");
    expect_add(dd, concat(complete_dd, {{"id", "E2E#1"}}), "Invalid character '#' in end-to-end ID", "id");
    expect_add(dd, concat(complete_dd, {{"mref", "M_1"}}), "Invalid character '_' in mandate reference", "mref");
    expect_add(dd, concat(complete_dd, {{"old_mref", "O@1"}}), "Invalid character '@' in old mandate reference",
               "old_mref");
}

TEST_F(TransactionTest, ListsAndKeysMatchedWithoutCase) {
    EXPECT_EQ(sepa_add(dd, nullptr), 0);
    EXPECT_STREQ(sepa_getError(dd), "No key-value list submitted");
    expect_add(dd, {}, "IBAN missing", "empty dd");
    expect_add(ct, {}, "IBAN missing", "empty ct");
    expect_add(dd,
               {{"NAME", "Debtor"},
                {"Iban", "AT611904300234573201"},
                {"AMOUNT", "1"},
                {"SeQ", "Frst"},
                {"MREF", "M1"},
                {"mDate", "2020-01-01"}},
               nullptr, "mixed case keys");
    EXPECT_EQ(last_dd()->seq_type, SEQ_FRST);
}

// Every key of either message type, in every case spelling, acts as its own spelling;
// whatever differs in more than the case of an ASCII letter (a byte with 0x20 flipped
// that is not a letter, 0x80 flipped, one byte more or less) is no key.
TEST_F(TransactionTest, EveryKeyInAnyCaseAndNoNearMiss) {
    ASSERT_EQ(sepa_init(SEPA_INIT_RULEBOOK, "DE-3.8"), 1);  // structured addresses
    const std::pair<const char *, const char *> both[] = {{"name", "Other Name"},
                                                          {"iban", "NL91ABNA0417164300"},
                                                          {"bic", "ABNANL2A"},
                                                          {"ref", "Invoice"},
                                                          {"amount", "2.50"},
                                                          {"date", "2030-01-02"},
                                                          {"id", "E2E-9"},
                                                          {"addrDept", "D"},
                                                          {"addrSubDept", "S"},
                                                          {"addrStreet", "Gasse"},
                                                          {"addrBuildingNumber", "1"},
                                                          {"addrBuildingName", "B"},
                                                          {"addrFloor", "2"},
                                                          {"addrPostBox", "P"},
                                                          {"addrRoom", "R"},
                                                          {"addrPostCode", "1010"},
                                                          {"addrTown", "Wien"},
                                                          {"addrTownLocation", "L"},
                                                          {"addrDistrict", "I"},
                                                          {"addrCountrySubDivision", "W"},
                                                          {"addrCC", "AT"},
                                                          {"addrLine1", "Gasse 1"},
                                                          {"addrLine2", "1010 Wien"}};
    const std::pair<const char *, const char *> dd_only[] = {{"seq", "OOFF"},
                                                             {"mref", "M-9"},
                                                             {"mdate", "2021-02-03"},
                                                             {"old_mref", "OLD-9"},
                                                             {"old_iban", "NL91ABNA0417164300"},
                                                             {"smnda", "1"}};
    const std::pair<const char *, const char *> ct_only[] = {{"purp", "SALA"}};
    for (sepa_t *m : {dd, ct}) {
        std::vector<std::pair<const char *, const char *>> keys(std::begin(both), std::end(both));
        if (m == dd) keys.insert(keys.end(), std::begin(dd_only), std::end(dd_only));
        else keys.insert(keys.end(), std::begin(ct_only), std::end(ct_only));
        const auto is_key = [&](const std::string &text) {
            for (const auto &[key, value] : keys)
                if (strcasecmp(text.c_str(), key) == 0) return true;
            return false;
        };
        const pair_list &base = m == dd ? complete_dd : complete_ct;
        for (const auto &[key, value] : keys) {
            ASSERT_EQ(add(m, concat(base, {{key, value}})), 1) << key << ": " << sepa_getError(m);
            const tx_record *as_written = transaction_list_last(m);
            std::vector<std::string> same{key}, different{std::string(key) + "x", std::string(" ") + key,
                                                          std::string(key).substr(0, std::strlen(key) - 1)};
            for (size_t at = 0; key[at] != '\0'; ++at) {
                const bool letter = std::isalpha(static_cast<unsigned char>(key[at])) != 0;
                std::string flipped = key, high = key;
                flipped[at] = static_cast<char>(flipped[at] ^ 0x20);
                high[at] = static_cast<char>(high[at] ^ 0x80);
                (letter ? same : different).push_back(flipped);
                different.push_back(high);
            }
            std::string upper = key, lower = key;
            for (char &c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            for (char &c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            same.push_back(upper);
            same.push_back(lower);
            for (const std::string &spelling : same) {
                ASSERT_EQ(add(m, concat(base, {{spelling.c_str(), value}})), 1) << spelling;
                const tx_record *tx = transaction_list_last(m);
                EXPECT_EQ(tx->size, as_written->size) << spelling;
                EXPECT_EQ(std::memcmp(tx, as_written, tx->size), 0) << spelling;
            }
            for (const std::string &spelling : different) {
                if (is_key(spelling)) continue;  // "mdate" less its first byte is "date"
                const list_state before = state_of(m);
                EXPECT_EQ(add(m, concat(base, {{spelling.c_str(), value}})), 0) << spelling;
                EXPECT_EQ(std::string(sepa_getError(m)).rfind("Invalid transaction property '", 0), 0u) << spelling;
                EXPECT_TRUE(before == state_of(m)) << spelling;
            }
        }
    }
}

// The draft holds each text in a room of its own: the longest value of every text is
// stored whole, and a repeated key leaves only its last value, however long the
// earlier one was, also when transliteration shortens it.
TEST_F(TransactionTest, LongestValuesAndRepeatedKeysStoredWhole) {
    const std::string id35(35, 'I'), mref35(35, 'M'), old35(35, 'O'), name70(70, 'N'), ref140(140, 'R');
    const char *const malta = "MT84MALT011000012345MTLCAST001S";
    expect_add(dd,
               {{"id", id35.c_str()},
                {"name", name70.c_str()},
                {"iban", malta},
                {"bic", "bkauatwwxxx"},
                {"ref", ref140.c_str()},
                {"date", "2030-01-02"},
                {"amount", "1"},
                {"seq", "FRST"},
                {"mref", mref35.c_str()},
                {"mdate", "2020-03-04"},
                {"old_mref", old35.c_str()},
                {"old_iban", malta}},
               nullptr, "longest");
    const tx_record *d = last_dd();
    EXPECT_EQ(d->end_to_end_id(), id35);
    EXPECT_EQ(d->name(), name70);
    EXPECT_STREQ(d->iban(), malta);
    EXPECT_STREQ(d->bic(), "BKAUATWWXXX");
    EXPECT_EQ(d->remittance(), ref140);
    EXPECT_EQ(d->mandate_ref(), mref35);
    EXPECT_EQ(d->old_mandate_ref(), old35);
    EXPECT_STREQ(d->old_iban(), malta);

    expect_add(ct,
               concat(complete_ct, {{"name", name70.c_str()},
                                    {"name", "Bo"},
                                    {"ref", ref140.c_str()},
                                    {"ref", ""},
                                    {"id", id35.c_str()},
                                    {"id", "E"},
                                    {"bic", "ABNANL2AXXX"},
                                    {"bic", "ABNANL2A"},
                                    {"purp", "SALA"},
                                    {"purp", "GDDS"}}),
               nullptr, "repeated");
    const tx_record *c = last_ct();
    EXPECT_STREQ(c->name(), "Bo");
    EXPECT_EQ(c->remittance(), nullptr);
    EXPECT_STREQ(c->end_to_end_id(), "E");
    EXPECT_STREQ(c->bic(), "ABNANL2A");
    EXPECT_STREQ(c->purpose(), "GDDS");

    // 35 two-byte characters are 70 bytes, converted to 35.
    std::string accented;
    for (int i = 0; i < 35; ++i) accented += "\xC3\xA9";
    ASSERT_EQ(sepa_setTransliteration(ct, SEPA_TRANSLITERATION_ON), 1);
    expect_add(ct, concat(complete_ct, {{"name", name70.c_str()}, {"name", accented.c_str()}, {"ref", "Ab"}}), nullptr,
               "transliterated");
    EXPECT_EQ(last_ct()->name(), std::string(35, 'e'));
    EXPECT_STREQ(last_ct()->remittance(), "Ab");
}

// An identifier passes when the rulebook's character check at its level passes and
// then every character is of the identifier set; else the first character the two
// checks in that order find is reported. Random texts under every rulebook and level
// against exactly that.
TEST(IdentifierCharacters, AsTheCharacterCheckThenTheIdentifierSet) {
    const auto reference = [](const rulebook_t *rulebook, const char *text, int level, const char **bad) {
        if (check_text_under(rulebook, text, bad, level) == 0) return false;
        for (const char *p = text; *p != '\0'; ++p) {
            if (std::isalnum(static_cast<unsigned char>(*p)) == 0 && std::strchr(" '()+,-./:?", *p) == nullptr) {
                *bad = p;
                return false;
            }
        }
        return true;
    };
    for (int c = 1; c < 256; ++c) {
        const bool expected = std::isalnum(c) != 0 || std::strchr(" '()+,-./:?", c) != nullptr;
        EXPECT_EQ(is_identifier_char(static_cast<char>(c)), expected) << c;
    }
    EXPECT_FALSE(is_identifier_char('\0'));
    const char *const pieces[] = {"A",    "z",    "0",        "9",        " ",
                                  "'",    "(",    "+",        ",",        "-",
                                  ".",    "/",    ":",        "?",        "&",
                                  "*",    "#",    "_",        "<",        "~",
                                  "\x01", "\x7F", "\xC3\xA4", "\xC3\x9F", "\xE2\x82\xAC",
                                  "\xC3"};
    generator random{42};
    int passed = 0;
    for (int n = 0; n < 20000; ++n) {
        std::string text;
        const int length = random.below(8);
        for (int i = 0; i < length; ++i) {
            // Mostly identifier characters, so that many texts pass or fail late.
            text += pieces[random.below(4) != 0 ? random.below(14) : random.below(static_cast<int>(std::size(pieces)))];
        }
        for (int r = -1; r < RULEBOOK_COUNT; ++r) {
            const rulebook_t *rulebook = r < 0 ? nullptr : rulebook_row(r);
            for (int level = 0; level <= 2; ++level) {
                const char *bad = nullptr, *expected_bad = nullptr;
                const bool expected = reference(rulebook, text.c_str(), level, &expected_bad);
                ASSERT_EQ(identifier_chars_ok(rulebook, text.c_str(), level, &bad), expected) << text << " " << level;
                if (!expected) {
                    EXPECT_EQ(bad, expected_bad) << text << " " << level;
                }
                passed += expected ? 1 : 0;
            }
        }
    }
    EXPECT_GT(passed, 100000);
}

TEST_F(TransactionTest, LastAcceptedValueOfARepeatedKeyCounts) {
    expect_add(ct, concat(complete_ct, {{"name", "First"}, {"name", "Second"}}), nullptr, "repeat");
    EXPECT_STREQ(last_ct()->name(), "Second");
    // A faulty repetition refuses the whole transaction.
    expect_add(ct, concat(complete_ct, {{"name", "First"}, {"name", ""}}), "Invalid name (must be 1-70 characters)",
               "faulty repeat");
    // Of two faulty pairs the earlier one is reported.
    expect_add(ct, concat(complete_ct, {{"bic", "X"}, {"name", ""}}), "Invalid BIC format", "first fault");
}

TEST_F(TransactionTest, CompletenessChecksInOrder) {
    struct completeness_case {
        pair_list pairs;
        const char *error;
    };
    const completeness_case dd_cases[] = {
        {{{"name", "D"}, {"amount", "1"}, {"seq", "FRST"}, {"mref", "M"}, {"mdate", "2020-01-01"}}, "IBAN missing"},
        {{{"name", "D"}, {"iban", "AT611904300234573201"}, {"amount", "1"}, {"mref", "M"}, {"mdate", "2020-01-01"}},
         "Sequence type missing"},
        {{{"name", "D"}, {"iban", "AT611904300234573201"}, {"seq", "RCUR"}, {"mref", "M"}, {"mdate", "2020-01-01"}},
         "Amount missing"},
        {{{"iban", "AT611904300234573201"}, {"amount", "1"}, {"seq", "RCUR"}, {"mref", "M"}, {"mdate", "2020-01-01"}},
         "Name missing"},
        {{{"name", "D"}, {"iban", "AT611904300234573201"}, {"amount", "1"}, {"seq", "RCUR"}, {"mdate", "2020-01-01"}},
         "Mandate reference missing"},
        {{{"name", "D"}, {"iban", "AT611904300234573201"}, {"amount", "1"}, {"seq", "RCUR"}, {"mref", "M"}},
         "Mandate signature date missing"},
    };
    for (const auto &c : dd_cases) expect_add(dd, c.pairs, c.error, c.error);
    expect_add(ct, {{"iban", "AT611904300234573201"}, {"amount", "1"}}, "Name missing", "ct name");
    expect_add(ct, {{"iban", "AT611904300234573201"}, {"name", "C"}}, "Amount missing", "ct amount");
    expect_add(ct, {{"name", "C"}, {"amount", "1"}}, "IBAN missing", "ct iban");
}

TEST_F(TransactionTest, BicRequiredOnlyUnderDe26) {
    const pair_list no_bic = {{"name", "C"}, {"iban", "AT611904300234573201"}, {"amount", "1"}};
    expect_add(ct, no_bic, nullptr, "3.5 without bic");
    ASSERT_EQ(sepa_init(SEPA_INIT_RULEBOOK, "DE-2.6"), 1);
    expect_add(ct, no_bic, "BIC missing", "2.6 without bic");
    expect_add(dd, concat(complete_dd, {{"bic", "BKAUATWW"}}), nullptr, "2.6 with bic");
}

TEST_F(TransactionTest, AddressRequiredForDirectDebitsOutsideTheEea) {
    const pair_list swiss = concat(complete_dd, {{"bic", "UBSWCHZH80A"}});
    expect_add(dd, swiss, "Address required for BICs outside EEA", "no address");
    expect_add(dd, concat(swiss, {{"addrLine1", "Bahnhofstrasse 1"}}), nullptr, "line 1");
    expect_add(dd, concat(swiss, {{"addrLine2", "8001 Zuerich"}}), nullptr, "line 2");
    expect_add(ct, concat(complete_ct, {{"bic", "UBSWCHZH80A"}}), nullptr, "credit transfer");
    ASSERT_EQ(sepa_init(SEPA_INIT_RULEBOOK, "DE-3.0"), 1);
    expect_add(dd, swiss, nullptr, "before DE-3.1");
    ASSERT_EQ(sepa_init(SEPA_INIT_RULEBOOK, "DE-3.7"), 1);
    expect_add(dd, swiss, "Address required for BICs outside EEA", "DE-3.7");
}

TEST(NonEeaBic, CountryCodesOutsideTheEea) {
    EXPECT_EQ(is_non_eea_bic(nullptr), -1);
    EXPECT_EQ(is_non_eea_bic("UBSWCH"), -1);
    EXPECT_EQ(is_non_eea_bic("UBSWCHZH"), 1);
    EXPECT_EQ(is_non_eea_bic("ubswchzh80a"), 1);
    EXPECT_EQ(is_non_eea_bic("NWBKGB2L"), 1);
    EXPECT_EQ(is_non_eea_bic("ABCDVAXX"), 1);
    EXPECT_EQ(is_non_eea_bic("BKAUATWW"), 0);
    EXPECT_EQ(is_non_eea_bic("COBADEFF"), 0);
    EXPECT_EQ(is_non_eea_bic("ABCDLIXX"), 0);  // Liechtenstein is in the EEA
}

// One documented form: digits, optionally a full stop and at most two decimals.
// Everything else is refused with the value named.
TEST_F(TransactionTest, Amounts) {
    const std::string form = " (digits, optionally a full stop and up to two decimals, e.g. 60.00)";
    const std::string too_large = " (at most 999999999.99)";
    struct amount_case {
        const char *text;
        std::string error;  // empty: accepted
        int64_t cents;
    };
    const amount_case cases[] = {
        {"12.50", "", 1250},
        {"12.5", "", 1250},
        {"12.", "", 1200},
        {"60", "", 6000},
        {"0.29", "", 29},
        {"0.57", "", 57},
        {"0.01", "", 1},
        {"0000000000000000012.34", "", 1234},
        {"999999999.99", "", 99999999999},
        {"60,00", "Invalid amount '60,00'" + form, 0},
        {"1e2", "Invalid amount '1e2'" + form, 0},
        {"1e", "Invalid amount '1e'" + form, 0},
        {" 5", "Invalid amount ' 5'" + form, 0},
        {"5 ", "Invalid amount '5 '" + form, 0},
        {"+5", "Invalid amount '+5'" + form, 0},
        {".5", "Invalid amount '.5'" + form, 0},
        {"1.005", "Invalid amount '1.005'" + form, 0},
        {"0.004", "Invalid amount '0.004'" + form, 0},
        {"1..2", "Invalid amount '1..2'" + form, 0},
        {"true", "Invalid amount 'true'" + form, 0},
        {"EUR 5", "Invalid amount 'EUR 5'" + form, 0},
        {"nan", "Invalid amount 'nan'" + form, 0},
        {"0x10", "Invalid amount '0x10'" + form, 0},
        {"5\xE2\x82\xAC", "Invalid amount '5\xE2\x82\xAC'" + form, 0},
        {"5\xC3", "Invalid amount '5\\xC3'" + form, 0},
        {"-x", "Invalid amount '-x'" + form, 0},
        {"999999999.995", "Invalid amount '999999999.995'" + form, 0},
        {"1000000000", "Invalid amount '1000000000'" + too_large, 0},
        {"1000000000.00", "Invalid amount '1000000000.00'" + too_large, 0},
        {"99999999999999999999999999", "Invalid amount '99999999999999999999999999'" + too_large, 0},
        {nullptr, "Invalid amount (NULL)", 0},
        {"", "Empty amount not allowed", 0},
        {"0.00", "Empty amount not allowed", 0},
        {"0", "Empty amount not allowed", 0},
        {"-0", "Empty amount not allowed", 0},
        {"-1", "Negative or zero amount not allowed", 0},
        {"-1.50", "Negative or zero amount not allowed", 0},
        {"-1000000000", "Negative or zero amount not allowed", 0},
    };
    for (const auto &c : cases) {
        const pair_list pairs = concat(complete_ct, {{"amount", c.text}});
        expect_add(ct, pairs, c.error.empty() ? nullptr : c.error.c_str(), c.text ? c.text : "NULL");
        if (c.error.empty()) {
            EXPECT_EQ(last_ct()->amount_cents(), c.cents) << c.text;
        }
    }
}

TEST_F(TransactionTest, CountSumAndOrder) {
    expect_add(ct, concat(complete_ct, {{"amount", "0.10"}, {"id", "A"}}), nullptr, "first");
    expect_add(ct, concat(complete_ct, {{"amount", "0.20"}, {"id", "B"}}), nullptr, "second");
    EXPECT_EQ(ct->tx_count, 2u);
    EXPECT_EQ(ct->control_sum_cents, 30);
    EXPECT_EQ(ct->control_sum, 0.30);
    const tx_record *first = transaction_list_first(ct);
    ASSERT_NE(first, nullptr);
    EXPECT_STREQ(first->end_to_end_id(), "A");
    ASSERT_NE(first->next(), nullptr);
    EXPECT_STREQ(first->next()->end_to_end_id(), "B");
    EXPECT_EQ(first->next(), last_ct());
    EXPECT_EQ(last_ct()->next(), nullptr);
}

TEST_F(TransactionTest, RefusalLeavesEarlierTransactionsAndSetterFieldsAlone) {
    ASSERT_EQ(sepa_setName(dd, "Creditor"), 1);
    expect_add(dd, concat(complete_dd, {{"id", "KEEP"}, {"ref", "Invoice 1"}}), nullptr, "kept");
    const tx_record *kept = last_dd();
    const pair_list faults[] = {
        concat(complete_dd, {{"amount", "-1"}}),
        concat(complete_dd, {{"seq", "x"}}),
        concat(complete_dd, {{"ref", "r"}, {"smnda", "2"}}),
        concat({{"ref", "r"}, {"old_mref", "O"}, {"old_iban", "NL91ABNA0417164300"}}, {{"mref", "M"}}),
        concat(complete_dd, {{"bic", "UBSWCHZH"}}),
    };
    for (const auto &pairs : faults) {
        const list_state before = state_of(dd);
        EXPECT_EQ(add(dd, pairs), 0);
        EXPECT_TRUE(before == state_of(dd));
    }
    EXPECT_EQ(dd->tx_tail, kept);
    EXPECT_STREQ(kept->end_to_end_id(), "KEEP");
    EXPECT_STREQ(kept->remittance(), "Invoice 1");
    EXPECT_STREQ(dd->name, "Creditor");
}

TEST_F(TransactionTest, StoredRecords) {
    expect_add(dd,
               {{"id", "E2E-1"},
                {"name", "Debtor"},
                {"iban", "AT611904300234573201"},
                {"bic", "bkauatww"},
                {"addrCC", "AT"},
                {"addrLine1", "Gasse 1"},
                {"addrLine2", "1010 Wien"},
                {"seq", "fnal"},
                {"amount", "3.46"},
                {"date", "2030-01-02"},
                {"mref", "M-1"},
                {"mdate", "2020-03-04"},
                {"old_mref", "OLD-1"},
                {"old_iban", "NL91ABNA0417164300"},
                {"smnda", "1"},
                {"ref", "Invoice"}},
               nullptr, "full dd");
    const tx_record *d = last_dd();
    EXPECT_STREQ(d->end_to_end_id(), "E2E-1");
    EXPECT_STREQ(d->bic(), "BKAUATWW");
    EXPECT_STREQ(address_get(d->address(), ADDR_COUNTRY), "AT");
    EXPECT_STREQ(address_get(d->address(), ADDR_LINE1), "Gasse 1");
    EXPECT_STREQ(address_get(d->address(), ADDR_LINE2), "1010 Wien");
    EXPECT_EQ(d->seq_type, SEQ_FNAL);
    EXPECT_EQ(d->amount_cents(), 346);
    EXPECT_STREQ(d->date(), "2030-01-02");
    EXPECT_STREQ(d->mandate_ref(), "M-1");
    EXPECT_STREQ(d->mandate_date(), "2020-03-04");
    EXPECT_STREQ(d->old_mandate_ref(), "OLD-1");
    EXPECT_STREQ(d->old_iban(), "NL91ABNA0417164300");
    EXPECT_EQ(d->smnda, 1);
    EXPECT_STREQ(d->remittance(), "Invoice");

    expect_add(ct, concat(complete_ct, {{"purp", "SALA"}, {"ref", ""}, {"date", "2030-01-02"}}), nullptr, "ct");
    const tx_record *c = last_ct();
    EXPECT_STREQ(c->purpose(), "SALA");
    EXPECT_EQ(c->remittance(), nullptr);  // an empty text means no remittance information
    EXPECT_STREQ(c->date(), "2030-01-02");
    EXPECT_EQ(c->bic(), nullptr);
    EXPECT_DOUBLE_EQ(ct->control_sum, 10.0);
}

// Many records of every size across chunk ends: each reads back as added, in order,
// and the document equals that of a message whose chunk allocations failed on the
// way (each failed add refused with the message unchanged, then repeated).
TEST(TransactionList, RecordsAcrossChunksAndFailedChunkAllocations) {
    ASSERT_EQ(sepa_init(SEPA_INIT_RULEBOOK, "DE-3.5"), 1);
    constexpr int count = 2500;
    struct tx_texts {
        std::string id, name, ref, mref, line1;
    };
    std::vector<tx_texts> texts(count);
    for (int i = 0; i < count; ++i) {
        const std::string n = std::to_string(i);
        // Sizes from a few bytes to the longest values, so records of many sizes meet chunk ends.
        texts[i] = {"E2E-" + n, n + std::string(i * 7 % 66, 'N'), i % 5 == 0 ? "" : std::string(i * 13 % 141, 'r'),
                    "M-" + n, i % 3 == 0 ? std::string(1 + i % 70, 'L') : ""};
    }
    const auto pairs_of = [&](int i) {
        pair_list pairs = {{"id", texts[i].id.c_str()},      {"name", texts[i].name.c_str()},
                           {"iban", "AT611904300234573201"}, {"amount", i % 2 ? "1.01" : "999999999.99"},
                           {"seq", i % 4 ? "RCUR" : "FRST"}, {"mref", texts[i].mref.c_str()},
                           {"mdate", "2020-05-17"},          {"bic", "BKAUATWW"}};
        if (!texts[i].ref.empty()) pairs.push_back({"ref", texts[i].ref.c_str()});
        if (!texts[i].line1.empty()) pairs.push_back({"addrLine1", texts[i].line1.c_str()});
        return pairs;
    };
    const auto fill = [](sepa_t *m) {
        return sepa_setIBAN(m, "DE89370400440532013000") && sepa_setBIC(m, "COBADEFFXXX") &&
               sepa_setName(m, "Creditor") && sepa_setCreditorIdentifier(m, "DE98ZZZ09999999999") &&
               sepa_setDate(m, "2025-03-03") && sepa_setMessageId(m, "MSG-1");
    };
    sepa_t *plain = sepa_new(SEPA_MSGTYPE_DDI);
    sepa_t *starved = sepa_new(SEPA_MSGTYPE_DDI);
    ASSERT_TRUE(fill(plain) && fill(starved));
    int refusals = 0;
    for (int i = 0; i < count; ++i) {
        ASSERT_EQ(sepa_add(plain, terminated(pairs_of(i)).data()), 1) << i;
        // Every chunk allocation fails once before it succeeds.
        transaction_chunks_fail_after_for_tests(0);
        const list_state before = state_of(starved);
        if (sepa_add(starved, terminated(pairs_of(i)).data()) == 0) {
            ++refusals;
            EXPECT_STREQ(sepa_getError(starved), "Out of memory");
            EXPECT_TRUE(before == state_of(starved)) << i;
            transaction_chunks_fail_after_for_tests(-1);
            ASSERT_EQ(sepa_add(starved, terminated(pairs_of(i)).data()), 1) << i;
        }
        transaction_chunks_fail_after_for_tests(-1);
    }
    EXPECT_GT(refusals, 5);  // the first record and several chunk ends

    int i = 0;
    for (const tx_record *tx = transaction_list_first(plain); tx != nullptr; tx = tx->next(), ++i) {
        ASSERT_LT(i, count);
        EXPECT_STREQ(tx->end_to_end_id(), texts[i].id.c_str());
        EXPECT_STREQ(tx->name(), texts[i].name.c_str());
        EXPECT_STREQ(tx->mandate_ref(), texts[i].mref.c_str());
        EXPECT_STREQ(tx->remittance(), texts[i].ref.empty() ? nullptr : texts[i].ref.c_str());
        EXPECT_STREQ(address_get(tx->address(), ADDR_LINE1), texts[i].line1.empty() ? nullptr : texts[i].line1.c_str());
        EXPECT_EQ(tx->amount_cents(), i % 2 ? 101 : 99999999999);
        EXPECT_EQ(tx->seq_type, i % 4 ? SEQ_RCUR : SEQ_FRST);
        EXPECT_EQ(tx->purpose(), nullptr);
        if (tx->next() == nullptr) {
            EXPECT_EQ(tx, transaction_list_last(plain));
        }
    }
    EXPECT_EQ(i, count);
    EXPECT_EQ(plain->tx_count, static_cast<uint32_t>(count));
    EXPECT_EQ(starved->tx_count, plain->tx_count);
    EXPECT_EQ(starved->control_sum_cents, plain->control_sum_cents);

    clock_pin_for_tests(1736501405);
    char *expected = sepa_toXML(plain);
    char *document = sepa_toXML(starved);
    clock_unpin_for_tests();
    ASSERT_NE(expected, nullptr);
    ASSERT_NE(document, nullptr);
    EXPECT_TRUE(std::strcmp(expected, document) == 0);
    std::free(expected);
    std::free(document);
    sepa_free(plain);
    sepa_free(starved);
}

// Large chunks (those of a large message) hold records like small ones: records read
// back in order across the small chunks, the change to large ones and a large chunk's
// end, and a failed large chunk allocation refuses the add with the message unchanged.
TEST(TransactionList, RecordsAcrossLargeChunks) {
    ASSERT_EQ(sepa_init(SEPA_INIT_RULEBOOK, "DE-3.5"), 1);
    const size_t default_large_from = transaction_chunks_large_from_for_tests(100 * 1024);
    constexpr int count = 16000;  // about 5 MB: two small chunks, then two large ones
    const std::string ref(140, 'r'), name(60, 'n');
    sepa_t *m = sepa_new(SEPA_MSGTYPE_DDI);
    int refusals = 0;
    std::string id;
    for (int i = 0; i < count; ++i) {
        id = "E2E-" + std::to_string(i);
        const pair_list pairs = concat(complete_dd, {{"id", id.c_str()}, {"name", name.c_str()}, {"ref", ref.c_str()}});
        transaction_chunks_fail_after_for_tests(0);
        const list_state before = state_of(m);
        if (sepa_add(m, terminated(pairs).data()) == 0) {
            ++refusals;
            EXPECT_STREQ(sepa_getError(m), "Out of memory");
            EXPECT_TRUE(before == state_of(m)) << i;
            transaction_chunks_fail_after_for_tests(-1);
            ASSERT_EQ(sepa_add(m, terminated(pairs).data()), 1) << i;
        }
        transaction_chunks_fail_after_for_tests(-1);
    }
    EXPECT_EQ(refusals, 4);
    int i = 0;
    for (const tx_record *tx = transaction_list_first(m); tx != nullptr; tx = tx->next(), ++i) {
        ASSERT_LT(i, count);
        ASSERT_STREQ(tx->end_to_end_id(), ("E2E-" + std::to_string(i)).c_str());
        ASSERT_EQ(tx->remittance(), ref);
        if (tx->next() == nullptr) {
            EXPECT_EQ(tx, transaction_list_last(m));
        }
    }
    EXPECT_EQ(i, count);
    sepa_free(m);
    transaction_chunks_large_from_for_tests(default_large_from);
}

}  // namespace

namespace {

// Opt-in transliteration: Latin letters outside the SEPA set take their SEPA
// spelling; umlauts and ß stay where the rulebook admits them; texts without a
// conversion and identifiers are still refused. Off by default.
TEST(Transliteration, ConvertsFreeTextsWhereAsked) {
    struct case_t {
        const char *rulebook;
        const char *key;
        const char *in;
        const char *stored;  // nullptr: refused
    };
    const case_t cases[] = {
        {"DE-3.5", "name", "Ren\xC3\xA9 Fran\xC3\xA7ois", "Rene Francois"},
        {"DE-3.5", "name", "\xC5\x81ukasz B\xC5\x82\x61szczykowski", "Lukasz Blaszczykowski"},
        {"DE-3.5", "name", "S\xC3\xB8ren \xC3\x86r\xC3\xB8", "Soren AEro"},
        {"DE-3.5", "name", "Jos\xC3\xA9 Nu\xC3\xB1\x65z", "Jose Nunez"},
        {"DE-3.5", "name", "Dvo\xC5\x99\xC3\xA1k", "Dvorak"},
        {"DE-3.5", "name", "\xC8\x98tefan \xC8\x9Aoma", "Stefan Toma"},
        {"DE-3.5", "name",
         "M\xC3\xBCller Stra\xC3\x9F"
         "e",
         "M\xC3\xBCller Stra\xC3\x9F"
         "e"},  // kept
        {"DE-2.6", "name",
         "M\xC3\xBCller Stra\xC3\x9F"
         "e",
         "Mueller Strasse"},
        {"DE-3.5", "addrLine1", "Rue de l\xE2\x80\x99\xC3\x89glise", "Rue de l'Eglise"},
        {"DE-3.5", "ref", "Rechnung \xE2\x80\x93 \xC3\xA0 payer", "Rechnung - a payer"},
        {"DE-3.5", "name", "\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD", nullptr},  // Cyrillic: no conversion
        {"DE-3.5", "name", "Caf\xC3\xA9 \xE2\x82\xAC", nullptr},
        {"DE-3.5", "id", "E2E-\xC3\xA9", nullptr},  // identifiers are not converted
    };
    for (const case_t &c : cases) {
        ASSERT_EQ(sepa_init(SEPA_INIT_RULEBOOK, c.rulebook), 1);
        sepa_t *m = sepa_new(SEPA_MSGTYPE_CTI);
        pair_list pairs = concat(complete_ct, {{"bic", "ABNANL2A"}, {c.key, c.in}});
        // Off by default: what needs converting is refused as before.
        const bool unchanged = c.stored != nullptr && std::strcmp(c.in, c.stored) == 0;
        EXPECT_EQ(sepa_add(m, terminated(pairs).data()), unchanged ? 1 : 0) << c.in;
        ASSERT_EQ(sepa_setTransliteration(m, SEPA_TRANSLITERATION_ON), 1);
        const int added = sepa_add(m, terminated(pairs).data());
        EXPECT_EQ(added, c.stored != nullptr ? 1 : 0) << c.in << ": " << (sepa_getError(m) ? sepa_getError(m) : "");
        if (added == 1) {
            const tx_record *tx = transaction_list_last(m);
            const char *stored = std::string(c.key) == "name"        ? tx->name()
                                 : std::string(c.key) == "addrLine1" ? address_get(tx->address(), ADDR_LINE1)
                                                                     : tx->remittance();
            EXPECT_STREQ(stored, c.stored) << c.in;
        }
        if (std::strcmp(c.key, "name") == 0) {
            EXPECT_EQ(sepa_setName(m, c.in), c.stored != nullptr ? 1 : 0) << c.in;
            if (c.stored != nullptr) {
                EXPECT_STREQ(m->name, c.stored);
            }
        }
        sepa_free(m);
    }
    ASSERT_EQ(sepa_init(SEPA_INIT_RULEBOOK, "DE-3.5"), 1);
    sepa_t *m = sepa_new(SEPA_MSGTYPE_DDI);
    EXPECT_EQ(sepa_setTransliteration(m, 2), 0);
    EXPECT_STREQ(sepa_getError(m), "Invalid transliteration mode (only 0 or 1 allowed)");
    EXPECT_EQ(sepa_setTransliteration(m, SEPA_TRANSLITERATION_OFF), 1);
    EXPECT_EQ(sepa_setTransliteration(nullptr, 1), 0);
    sepa_free(m);
}

}  // namespace
