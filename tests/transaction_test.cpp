// Transactions added with sepa_add: every key with its checks and failure texts,
// amounts, completeness rules, and that a refusal leaves the message unchanged.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "core/message/non_eea_bic.h"
#include "core/message/transactions.h"
#include "sepa.h"

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

const pair_list complete_dd = {{"name", "Debtor"},          {"iban", "AT611904300234573201"},
                               {"bic", "BKAUATWW"},         {"amount", "10.00"},
                               {"seq", "FRST"},             {"mref", "MANDATE-1"},
                               {"mdate", "2020-05-17"}};
const pair_list complete_ct = {{"name", "Creditor"}, {"iban", "NL91ABNA0417164300"}, {"amount", "10.00"}};

// Counts, sum and list ends of a message, compared before and after a refusal.
struct list_state {
    uint32_t count;
    double sum;
    const void *head;
    const void *tail;
    bool operator==(const list_state &) const = default;
};
list_state state_of(const sepa_t *m) { return {m->tx_count, m->control_sum, m->tx_head, m->tx_tail}; }

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
    const ddi_transaction *last_dd() const { return static_cast<const ddi_transaction *>(dd->tx_tail); }
    const cti_transaction *last_ct() const { return static_cast<const cti_transaction *>(ct->tx_tail); }

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
        {"purp", "SA\x01" "A", "Invalid character '\x01' in purpose"},
        {"purp", "S\xC3\xA4" "A", "Invalid character '\xC3' in purpose"},
        {"purp", "SA A", "Invalid character ' ' in purpose"},
        // Direct-debit and unknown keys are ignored, whatever their values.
        {"seq", "bogus", nullptr},
        {"mref", nullptr, nullptr},
        {"smnda", "0", nullptr},
        {"unknown", "x", nullptr},
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
        expect_add(dd, concat(complete_dd, {{"mref", "M 1"}}), "Invalid character ' ' in mandate reference",
                   rulebook);
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
               {{"NAME", "Debtor"}, {"Iban", "AT611904300234573201"}, {"AMOUNT", "1"}, {"SeQ", "Frst"},
                {"MREF", "M1"}, {"mDate", "2020-01-01"}},
               nullptr, "mixed case keys");
    EXPECT_EQ(last_dd()->seq_type, SEQ_FRST);
}

TEST_F(TransactionTest, LastAcceptedValueOfARepeatedKeyCounts) {
    expect_add(ct, concat(complete_ct, {{"name", "First"}, {"name", "Second"}}), nullptr, "repeat");
    EXPECT_STREQ(last_ct()->name, "Second");
    // A faulty repetition refuses the whole transaction.
    expect_add(ct, concat(complete_ct, {{"name", "First"}, {"name", ""}}),
               "Invalid name (must be 1-70 characters)", "faulty repeat");
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
        {{{"name", "D"}, {"iban", "AT611904300234573201"}, {"amount", "0.004"}, {"seq", "RCUR"}, {"mref", "M"},
          {"mdate", "2020-01-01"}},
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

TEST_F(TransactionTest, Amounts) {
    struct amount_case {
        const char *text;
        const char *error;
        double stored;
    };
    const amount_case cases[] = {
        {"12.50", nullptr, 12.50},
        {"1e2", nullptr, 100.00},
        {"1e", nullptr, 1.00},
        {" 5", nullptr, 5.00},
        {".5", nullptr, 0.50},
        {"0.29", nullptr, 0.29},
        {"0.57", nullptr, 0.57},
        {"1.005", nullptr, 1.01},
        {"2.675", nullptr, 2.68},
        {"0.125", nullptr, 0.13},
        {"0000000000000000012.34", nullptr, 12.34},
        {"0.0049", nullptr, 0.0},  // passes the key, then fails completeness
        {"999999999.99", nullptr, 999999999.99},
        {"999999999.994", nullptr, 999999999.99},
        {"999999999.995", "Invalid amount", 0},
        {"1000000000", "Invalid amount", 0},
        {"1e300", "Invalid amount", 0},
        {"1e308", "Invalid amount", 0},
        {"1e400", "Invalid amount", 0},
        {"12,50", "Invalid amount", 0},
        {"5 ", "Invalid amount", 0},
        {"EUR 5", "Invalid amount", 0},
        {"nan", "Invalid amount", 0},
        {"inf", "Invalid amount", 0},
        {"0x10", "Invalid amount", 0},
        {nullptr, "Invalid amount", 0},
        {"", "Empty amount not allowed", 0},
        {"0.00", "Empty amount not allowed", 0},
        {"-0", "Empty amount not allowed", 0},
        {"-1", "Negative or zero amount not allowed", 0},
        {"-1e300", "Negative or zero amount not allowed", 0},
    };
    for (const auto &c : cases) {
        const pair_list pairs = concat(complete_ct, {{"amount", c.text}});
        const char *error = c.error;
        if (error == nullptr && c.stored == 0) error = "Amount missing";
        expect_add(ct, pairs, error, c.text ? c.text : "NULL");
        if (error == nullptr) {
            EXPECT_EQ(last_ct()->amount, c.stored) << c.text;
        }
    }
}

TEST_F(TransactionTest, CountSumAndOrder) {
    expect_add(ct, concat(complete_ct, {{"amount", "0.10"}, {"id", "A"}}), nullptr, "first");
    expect_add(ct, concat(complete_ct, {{"amount", "0.20"}, {"id", "B"}}), nullptr, "second");
    EXPECT_EQ(ct->tx_count, 2u);
    EXPECT_DOUBLE_EQ(ct->control_sum, 0.30);
    const auto *first = static_cast<const cti_transaction *>(ct->tx_head);
    ASSERT_NE(first, nullptr);
    EXPECT_STREQ(first->end_to_end_id, "A");
    ASSERT_NE(first->next, nullptr);
    EXPECT_STREQ(first->next->end_to_end_id, "B");
    EXPECT_EQ(first->next, last_ct());
    EXPECT_EQ(last_ct()->next, nullptr);
}

TEST_F(TransactionTest, RefusalLeavesEarlierTransactionsAndSetterFieldsAlone) {
    ASSERT_EQ(sepa_setName(dd, "Creditor"), 1);
    expect_add(dd, concat(complete_dd, {{"id", "KEEP"}, {"ref", "Invoice 1"}}), nullptr, "kept");
    const ddi_transaction *kept = last_dd();
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
    EXPECT_STREQ(kept->end_to_end_id, "KEEP");
    EXPECT_STREQ(kept->remittance, "Invoice 1");
    EXPECT_STREQ(dd->name, "Creditor");
}

TEST_F(TransactionTest, StoredRecords) {
    expect_add(dd,
               {{"id", "E2E-1"}, {"name", "Debtor"}, {"iban", "AT611904300234573201"}, {"bic", "bkauatww"},
                {"addrCC", "AT"}, {"addrLine1", "Gasse 1"}, {"addrLine2", "1010 Wien"}, {"seq", "fnal"},
                {"amount", "3.456"}, {"date", "2030-01-02"}, {"mref", "M-1"}, {"mdate", "2020-03-04"},
                {"old_mref", "OLD-1"}, {"old_iban", "NL91ABNA0417164300"}, {"smnda", "1"}, {"ref", "Invoice"}},
               nullptr, "full dd");
    const ddi_transaction *d = last_dd();
    EXPECT_STREQ(d->end_to_end_id, "E2E-1");
    EXPECT_STREQ(d->bic, "BKAUATWW");
    EXPECT_STREQ(address_get(d->address, ADDR_COUNTRY), "AT");
    EXPECT_STREQ(address_get(d->address, ADDR_LINE1), "Gasse 1");
    EXPECT_STREQ(address_get(d->address, ADDR_LINE2), "1010 Wien");
    EXPECT_EQ(d->seq_type, SEQ_FNAL);
    EXPECT_EQ(d->amount, 3.46);
    EXPECT_STREQ(d->date, "2030-01-02");
    EXPECT_STREQ(d->mandate_ref, "M-1");
    EXPECT_STREQ(d->mandate_date, "2020-03-04");
    EXPECT_STREQ(d->old_mandate_ref, "OLD-1");
    EXPECT_STREQ(d->old_iban, "NL91ABNA0417164300");
    EXPECT_EQ(d->smnda, 1);
    EXPECT_STREQ(d->remittance, "Invoice");

    expect_add(ct, concat(complete_ct, {{"purp", "SALA"}, {"ref", ""}, {"date", "2030-01-02"}}), nullptr, "ct");
    const cti_transaction *c = last_ct();
    EXPECT_STREQ(c->purpose, "SALA");
    EXPECT_EQ(c->remittance, nullptr);  // an empty text means no remittance information
    EXPECT_STREQ(c->date, "2030-01-02");
    EXPECT_EQ(c->bic, nullptr);
    EXPECT_DOUBLE_EQ(ct->control_sum, 10.0);
}

}  // namespace
