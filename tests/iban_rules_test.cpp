// The IBAN rules on their own: shared building blocks, the generated rule lists and
// every rule entry driven directly with a working record (so that entries without a
// bank code in the compiled-in directory are covered too).
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "core/bank/account_check.h"
#include "core/convert/iban_work.h"
#include "core/iban/iban_check_digits.h"
#include "sepa.h"

namespace {

constexpr int keep = 99;  // expected check_result: "whatever the rule leaves"

iban_work_t make_work(const char *blz, const char *account, uint8_t method = 0x09, int8_t check = 1) {
    iban_work_t work{};
    std::memcpy(work.orig_account, account, 11);
    std::memcpy(work.account, account, 11);
    std::memcpy(work.blz, blz, 9);
    work.method = method;
    work.check_result = check;
    return work;
}

template <typename Row>
size_t count_rows(const Row *list) {
    size_t rows = 0;
    while (*reinterpret_cast<const char *const *>(&list[rows]) != nullptr) ++rows;
    return rows;
}

// The two checks some rules run on their own: the first calculation of method 13
// and method 06.
TEST(IbanRuleBlocks, M13FirstAndM06) {
    struct Case {
        const char *account;
        bool m13;
        bool m06;
    };
    const Case cases[] = {
        {"0532013000", true, false}, {"0421738600", true, false},  {"0004217386", false, false},
        {"0010441400", true, false}, {"0564119600", true, false},  {"0094012341", false, true},
        {"0536405259", false, true}, {"0435189991", false, false}, {"1234567890", false, false},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(account_check_13_first(c.account) == 1, c.m13) << c.account;
        EXPECT_EQ(account_check_internal(c.account, nullptr, 0x06) == 1, c.m06) << c.account;
    }
}

TEST(IbanRuleBlocks, Shift2AndPrefix) {
    char out[11];
    shift2("0004217386", out);
    EXPECT_STREQ(out, "0421738600");
    shift2("9912345678", out);
    EXPECT_STREQ(out, "1234567800");
    EXPECT_TRUE(account_starts_with("0000123456", "0000"));
    EXPECT_FALSE(account_starts_with("0001234567", "0000"));
}

TEST(IbanRuleBlocks, CheckDigits) {
    struct Case {
        const char *input;
        const char *output;
        bool ok;
    };
    const Case cases[] = {
        {"DE00370400440532013000", "DE89370400440532013000", true},
        {"DE12370400440532013000", "DE89370400440532013000", true},  // old digits ignored
        {"de00370400440532013000", "de89370400440532013000", true},  // lower case counts alike
        {"GB00WEST12345698765432", "GB82WEST12345698765432", true},
        {"gb00west12345698765432", "gb82west12345698765432", true},
        {"DE00 370400440532013000", "DE00 370400440532013000", false},
        {"DE00370400440532-13000", "DE00370400440532-13000", false},
        {"DE00", "DE00", false},
    };
    for (const Case &c : cases) {
        char text[40];
        std::strcpy(text, c.input);
        EXPECT_EQ(iban_set_check_digits(text), c.ok) << c.input;
        EXPECT_STREQ(text, c.output) << c.input;
    }
}

// German IBANs take a shortcut (the 18 digits as one number); random ones must get
// the digits of the general mod 97 walk. Texts with a letter leave the shortcut for
// that walk, which takes them; other characters are refused.
TEST(IbanRuleBlocks, GermanCheckDigitsAgreeWithTheGeneralWalk) {
    std::mt19937_64 random(15);
    for (int round = 0; round < 20000; ++round) {
        char text[23] = "DE00";
        for (int i = 4; i < 22; ++i) text[i] = static_cast<char>('0' + random() % 10);
        if (round % 10 == 0) text[4 + random() % 18] = "/:A a"[random() % 5];
        text[22] = '\0';
        const bool accepted = std::strspn(text + 4, "0123456789Aa") == 18;
        ASSERT_EQ(iban_set_check_digits(text), accepted) << text;
        if (accepted) {
            ASSERT_EQ(iban_mod97(text, 22), 1) << text;
        }
    }
}

TEST(IbanRuleBlocks, RangeBankCode) {
    struct Case {
        const char *account;
        const char *bank_code;
    };
    const Case cases[] = {
        {"1000000000", "76020070"}, {"1009999999", "76020070"}, {"1010000000", "10020890"}, {"1029999999", "78320076"},
        {"1670000000", "74320073"}, {"1679999999", "74320073"}, {"7330000000", "83020087"}, {"7989999999", "70020270"},
        {"1210100047", "76220073"}, {"0999999999", nullptr},    {"0000000000", nullptr},    {"7990000000", nullptr},
        {"9999999999", nullptr},
    };
    for (const Case &c : cases) {
        const char *found = range_bank_code(c.account);
        if (c.bank_code == nullptr) {
            EXPECT_EQ(found, nullptr) << c.account;
        } else {
            ASSERT_NE(found, nullptr) << c.account;
            EXPECT_STREQ(found, c.bank_code) << c.account;
        }
    }
}

TEST(IbanRuleLists, SizesAndShape) {
    EXPECT_EQ(count_rows(iban_rule_0004_accounts), 10u);
    EXPECT_EQ(count_rows(iban_rule_0007_accounts), 33u);
    EXPECT_EQ(count_rows(iban_rule_0015_accounts), 12u);
    EXPECT_EQ(count_rows(iban_rule_0054_accounts), 55u);
    EXPECT_EQ(count_rows(iban_rule_0005_accounts), 96u);
    EXPECT_EQ(count_rows(iban_rule_0005_excluded_bank_codes), 110u);
    EXPECT_EQ(count_rows(iban_rule_0030_accepted_accounts), 113u);
    EXPECT_EQ(count_rows(iban_rule_0052_accounts), 10u);
    EXPECT_EQ(count_rows(iban_rule_0053_accounts), 46u);
    EXPECT_EQ(count_rows(iban_rule_0054_ibans), 96u);
    EXPECT_EQ(count_rows(iban_rule_0056_ibans), 35u);

    // The range table: one row per distinct prefix, ascending, and terminated.
    EXPECT_EQ(iban_rule_0031_account_ranges_count, 458u);
    std::set<uint32_t> prefixes;
    for (unsigned i = 0; i < iban_rule_0031_account_ranges_count; ++i) {
        const account_range_row &row = iban_rule_0031_account_ranges[i];
        EXPECT_EQ(row.lowest, row.prefix * 10'000'000ULL);
        EXPECT_EQ(row.highest, row.lowest + 9'999'999ULL);
        if (i > 0) {
            EXPECT_LT(iban_rule_0031_account_ranges[i - 1].prefix, row.prefix);
        }
        prefixes.insert(row.prefix);
    }
    EXPECT_EQ(prefixes.size(), 458u);
    EXPECT_EQ(iban_rule_0031_account_ranges[458].prefix, 0u);

    // Every fixed IBAN carries correct check digits and holds its new account.
    for (const account_iban_row *list : {iban_rule_0054_ibans, iban_rule_0056_ibans}) {
        for (const account_iban_row *row = list; row->account != nullptr; ++row) {
            char text[23];
            std::strcpy(text, row->iban);
            ASSERT_TRUE(iban_set_check_digits(text));
            EXPECT_STREQ(text, row->iban);
            EXPECT_STREQ(row->iban + 12, row->new_account);
        }
    }
}

// The searches halve the lists, which holds only for lists ascending by their key.
// For every key in a list and for keys between and around them, the run of rows the
// search yields is exactly the rows a walk through the list finds, in list order.
template <typename Row, const Row *List, size_t Width>
void expect_search_matches_walk(const char *name) {
    SCOPED_TRACE(name);
    std::vector<std::string> probes = {std::string(Width, '0'), std::string(Width, '9')};
    const Row *previous = nullptr;
    for (const Row *row = List; row_key(*row) != nullptr; previous = row++) {
        const std::string key(row_key(*row), Width);
        ASSERT_EQ(std::strlen(row_key(*row)), Width) << key;
        if (previous != nullptr) {
            EXPECT_LE(std::string(row_key(*previous)), key) << "not ascending";
        }
        probes.push_back(key);
        for (const char step : {-1, 1}) {  // neighbours in the last digit
            std::string near = key;
            near.back() = static_cast<char>(near.back() + step);
            if (near.back() >= '0' && near.back() <= '9') probes.push_back(near);
        }
    }
    for (const std::string &probe : probes) {
        std::vector<const Row *> walked;
        for (const Row *row = List; row_key(*row) != nullptr; ++row)
            if (std::memcmp(row_key(*row), probe.data(), Width) == 0) walked.push_back(row);
        std::vector<const Row *> searched;
        for (const Row &row : rows_with_key<Row, List, Width>(probe.c_str())) searched.push_back(&row);
        EXPECT_EQ(searched, walked) << probe;
    }
}

TEST(IbanRuleLists, SearchFindsWhatAWalkFinds) {
    expect_search_matches_walk<account_replacement_row, iban_rule_0004_accounts, 10>("0004");
    expect_search_matches_walk<account_replacement_row, iban_rule_0005_accounts, 10>("0005");
    expect_search_matches_walk<account_replacement_row, iban_rule_0006_accounts, 10>("0006");
    expect_search_matches_walk<account_replacement_row, iban_rule_0007_accounts, 10>("0007");
    expect_search_matches_walk<account_replacement_row, iban_rule_0010_accounts, 10>("0010");
    expect_search_matches_walk<account_replacement_row, iban_rule_0011_accounts, 10>("0011");
    expect_search_matches_walk<account_replacement_row, iban_rule_0015_accounts, 10>("0015");
    expect_search_matches_walk<account_replacement_row, iban_rule_0016_accounts, 10>("0016");
    expect_search_matches_walk<account_replacement_row, iban_rule_0017_accounts, 10>("0017");
    expect_search_matches_walk<account_replacement_row, iban_rule_0018_accounts, 10>("0018");
    expect_search_matches_walk<account_replacement_row, iban_rule_0022_accounts, 10>("0022");
    expect_search_matches_walk<account_replacement_row, iban_rule_0023_accounts, 10>("0023");
    expect_search_matches_walk<account_replacement_row, iban_rule_0024_accounts, 10>("0024");
    expect_search_matches_walk<account_replacement_row, iban_rule_0033_accounts, 10>("0033");
    expect_search_matches_walk<account_replacement_row, iban_rule_0034_accounts, 10>("0034");
    expect_search_matches_walk<account_replacement_row, iban_rule_0035_accounts, 10>("0035");
    expect_search_matches_walk<account_replacement_row, iban_rule_0044_accounts, 10>("0044");
    expect_search_matches_walk<account_replacement_row, iban_rule_0049_accounts, 10>("0049");
    expect_search_matches_walk<account_replacement_row, iban_rule_0051_accounts, 10>("0051");
    expect_search_matches_walk<account_replacement_row, iban_rule_0054_accounts, 10>("0054");
    expect_search_matches_walk<code_row, iban_rule_0005_excluded_bank_codes, 8>("0005 excluded");
    expect_search_matches_walk<code_row, iban_rule_0030_accepted_accounts, 10>("0030");
    expect_search_matches_walk<bank_account_replacement_row, iban_rule_0052_accounts, 8>("0052");
    expect_search_matches_walk<bank_account_replacement_row, iban_rule_0053_accounts, 8>("0053");
    expect_search_matches_walk<account_iban_row, iban_rule_0054_ibans, 10>("0054 IBANs");
    expect_search_matches_walk<account_iban_row, iban_rule_0056_ibans, 10>("0056 IBANs");
}

// Values where the published rule files differ from older printed copies: the
// files are right (a wrong replacement is a wrong IBAN).
TEST(IbanRuleLists, PublishedValues) {
    auto replaced = [](const account_replacement_row *list, const char *account) -> std::string {
        for (const account_replacement_row *row = list; row->account != nullptr; ++row)
            if (std::strcmp(row->account, account) == 0) return row->new_account;
        return "";
    };
    EXPECT_EQ(replaced(iban_rule_0007_accounts, "0000001888"), "0018882068");
    EXPECT_EQ(replaced(iban_rule_0017_accounts, "0000006060"), "2016060014");
    std::set<std::string> excluded;
    for (const code_row *row = iban_rule_0005_excluded_bank_codes; row->code != nullptr; ++row)
        excluded.insert(row->code);
    EXPECT_TRUE(excluded.count("85080200"));
    EXPECT_FALSE(excluded.count("85080020"));
    EXPECT_STREQ(range_bank_code("1675555555"), "74320073");
}

TEST(IbanRuleTable, EveryEntryFilled) {
    for (int i = 0; i < iban_rule_count; ++i) EXPECT_NE(iban_rule_table[i], nullptr) << i;
}

struct RuleCase {
    int entry;
    const char *blz;
    const char *account;
    uint8_t method;
    int8_t check_in;
    int result;
    const char *blz_out;      // expected working bank code (nullptr: unchanged)
    const char *account_out;  // expected working account (nullptr: unchanged)
    int check_out;            // expected check_result, or `keep`
    uint8_t status;
    const char *iban;  // expected IBAN text when result is 1 (nullptr: standard)
};

// Rules whose decisions do not depend on the account-check methods.
const RuleCase rule_cases[] = {
    // entry blz         account       method check result blz_out     account_out  check status iban
    {0, "37040044", "0532013000", 0x00, 1, 1, nullptr, nullptr, 1, 0, "DE00370400440532013000"},
    {1, "21000000", "0123456789", 0x09, 1, -1, nullptr, nullptr, 1, 12, nullptr},
    {2, "12345678", "1234567600", 0x09, 1, -1, nullptr, nullptr, 1, 0, nullptr},
    {2, "12345678", "1234567860", 0x09, 1, -1, nullptr, nullptr, 1, 0, nullptr},
    {2, "12345678", "1234567890", 0x09, 1, 1, nullptr, nullptr, 1, 0, nullptr},
    {3, "12345678", "6161604670", 0x09, 1, -1, nullptr, nullptr, 1, 0, nullptr},
    {3, "12345678", "6161604671", 0x09, 1, 1, nullptr, nullptr, 1, 0, nullptr},
    {5, "50040033", "0930125004", 0x13, 1, -1, nullptr, nullptr, 1, 12, nullptr},
    {5, "12080000", "0998761700", 0x13, 1, -1, nullptr, nullptr, 1, 50, nullptr},
    {5, "12080000", "0999499999", 0x09, 1, -1, nullptr, nullptr, 1, 50, nullptr},
    {5, "12080000", "0999500000", 0x09, 1, 1, nullptr, nullptr, 1, 0, nullptr},
    {5, "12345678", "0998761700", 0x09, 1, 1, nullptr, nullptr, 1, 0, nullptr},
    {5, "50540028", "0004217386", 0x13, -1, 1, nullptr, "0421738600", 1, 0, nullptr},
    {5, "50540028", "0421738600", 0x13, 1, 1, nullptr, nullptr, 1, 0, nullptr},
    {5, "50540028", "0000014811", 0x13, -1, 1, nullptr, "0001481100", 1, 0, nullptr},
    {5, "50540028", "1234567890", 0x13, -1, -1, nullptr, nullptr, -1, 0, nullptr},
    {5, "50540028", "0012345600", 0x13, -1, -1, nullptr, nullptr, -1, 0, nullptr},
    {8, "10020200", "0123456789", 0x09, 1, 1, "50020200", nullptr, 1, 0, nullptr},
    {9, "68351976", "1116232594", 0x09, 1, 1, "68351557", "3047232594", 1, 0, nullptr},
    {9, "68351976", "1117232594", 0x09, 1, 1, "68351557", nullptr, 1, 0, nullptr},
    {10, "50050201", "0000002000", 0x09, -1, 1, nullptr, "0000222000", 1, 0, nullptr},
    {10, "50050201", "0000800000", 0x09, -1, 1, nullptr, "0000180802", 1, 0, nullptr},
    {10, "50050222", "0000002000", 0x09, 1, 1, "50050201", nullptr, 1, 0, nullptr},
    {10, "50050201", "0000001111", 0x09, 1, 1, nullptr, nullptr, 1, 0, nullptr},
    {11, "32050000", "0000047800", 0x09, -1, 1, nullptr, "0000047803", 1, 0, nullptr},
    {11, "32050000", "0000001000", 0x09, -1, 1, nullptr, "0008010001", 1, 0, nullptr},
    {12, "50850049", "5000002096", 0x09, 1, 1, "50050000", nullptr, 1, 0, nullptr},
    {13, "40050000", "0000060624", 0x09, 1, 1, "30050000", nullptr, 1, 0, nullptr},
    {14, "30060601", "0000060624", 0x09, 1, 1, "30060601", nullptr, 1, 0, nullptr},
    {19, "50130100", "0020475000", 0x09, 1, 1, "50120383", nullptr, 1, 0, nullptr},
    {20, "76026000", "0005641196", 0xC7, -1, 1, nullptr, "0564119600", 1, 0, nullptr},
    {20, "76026000", "0536405259", 0xC7, 1, -1, nullptr, nullptr, -1, 12, nullptr},
    {20, "76026001", "0536405259", 0xC7, -1, 1, nullptr, nullptr, 1, 0, nullptr},
    {20, "76026000", "0435189991", 0xC7, 1, -1, nullptr, nullptr, -1, 0, nullptr},
    {20, "76026000", "1234517892", 0xC7, 1, -1, nullptr, nullptr, -1, 0, nullptr},
    {20, "50070010", "0000000117", 0x63, 1, -1, nullptr, nullptr, 1, 0, nullptr},
    {20, "50070010", "5073321010", 0x63, 1, -1, nullptr, nullptr, 1, 0, nullptr},
    {20, "50070010", "0000014811", 0x63, -1, 1, nullptr, "0001481100", 1, 0, nullptr},
    {20, "50070010", "0007939192", 0x63, -1, 1, nullptr, "0793919200", 1, 0, nullptr},
    {20, "50070010", "0532013000", 0x63, 1, 1, nullptr, nullptr, 1, 0, nullptr},
    {20, "50070010", "0532013000", 0x63, -1, -1, nullptr, nullptr, -1, 0, nullptr},
    {20, "50070010", "0000001234", 0x09, 1, 1, nullptr, nullptr, 1, 0, nullptr},
    {21, "36020030", "0012345678", 0x09, 1, -1, nullptr, nullptr, 1, 0, nullptr},
    {21, "36020030", "0000012345", 0x09, 1, -1, nullptr, nullptr, 1, 0, nullptr},
    {21, "36220030", "0000900826", 0x09, 1, 1, "36020030", nullptr, 1, 0, nullptr},
    {25, "64150182", "0002777939", 0x09, 1, 1, "60050101", nullptr, 1, 0, nullptr},
    {26, "35060190", "0000055111", 0x09, -1, 1, nullptr, nullptr, 1, 0, nullptr},
    {26, "35060190", "0008090100", 0x09, -1, 1, nullptr, nullptr, 1, 0, nullptr},
    {26, "35060190", "0000055112", 0x09, -1, 1, nullptr, nullptr, -1, 0, nullptr},
    {27, "32060362", "0000004444", 0x09, -1, 1, nullptr, nullptr, 1, 0, nullptr},
    {27, "32060362", "0000003333", 0x09, -1, 1, nullptr, nullptr, 1, 0, nullptr},
    {28, "25050299", "0000017095", 0x09, 1, 1, "25050180", nullptr, 1, 0, nullptr},
    {29, "51210800", "2600123456", 0x09, 1, 1, nullptr, "0260123456", 1, 0, nullptr},
    {29, "51210800", "2611123456", 0x09, 1, 1, nullptr, nullptr, 1, 0, nullptr},
    {29, "51210800", "0600123456", 0x09, 1, 1, nullptr, nullptr, 1, 0, nullptr},
    {30, "13091054", "0001718190", 0x09, -1, 1, nullptr, nullptr, 1, 0, nullptr},
    {30, "13091054", "9999999999", 0x09, -1, 1, nullptr, nullptr, 1, 0, nullptr},
    {30, "13091054", "0001718191", 0x09, -1, 1, nullptr, nullptr, -1, 0, nullptr},
    {31, "10120760", "0000000897", 0x09, 1, -1, nullptr, nullptr, 1, 0, nullptr},
    {31, "54520071", "6791000000", 0x09, -1, -1, nullptr, nullptr, -1, 0, nullptr},
    {31, "79020325", "1210100047", 0x09, 1, 1, "76220073", nullptr, 1, 0, nullptr},
    {31, "54520071", "7990000000", 0x09, 1, 1, nullptr, nullptr, 1, 0, nullptr},
    {32, "85020086", "0847321750", 0x09, 1, -1, nullptr, nullptr, 1, 50, nullptr},
    {32, "10020890", "0000000897", 0x09, -1, -1, nullptr, nullptr, -1, 0, nullptr},
    {32, "76220073", "3200000012", 0x09, 1, 1, "71022182", nullptr, 1, 0, nullptr},
    {32, "10020890", "0005951950", 0x09, 1, 1, nullptr, nullptr, 1, 0, nullptr},
    {33, "70020270", "0847321750", 0x09, 1, 1, nullptr, nullptr, 1, 0, nullptr},
    {33, "72020270", "0847321750", 0x09, 1, -1, nullptr, nullptr, 1, 0, nullptr},
    {33, "70020270", "1457032621", 0x09, 1, 1, "66020286", nullptr, 1, 0, nullptr},
    {33, "70020270", "0000022222", 0x09, -1, 1, nullptr, "5803435253", keep, 0, nullptr},
    {34, "60020290", "0847321750", 0x09, 1, -1, nullptr, nullptr, 1, 0, nullptr},
    {34, "60020290", "0500500500", 0x09, 1, 1, nullptr, "4340111112", keep, 0, nullptr},
    {34, "60020290", "1457032621", 0x09, 1, 1, "66020286", nullptr, 1, 0, nullptr},
    {35, "79020076", "0000009696", 0x09, 1, 1, nullptr, "1490196966", keep, 0, nullptr},
    {35, "79020076", "1320815432", 0x09, 1, 1, "60020290", nullptr, 1, 0, nullptr},
    {35, "79020076", "0847321750", 0x09, 1, -1, nullptr, nullptr, 1, 0, nullptr},
    {36, "20050000", "0000123456", 0x09, 1, 1, "21050000", "0123456000", 1, 0, nullptr},
    {36, "20050000", "0000101105", 0x09, 1, 1, "21050000", "0101105000", 1, 0, nullptr},
    {36, "20050000", "0000099999", 0x09, 1, -1, nullptr, nullptr, 1, 50, nullptr},
    {36, "20050000", "0000099999", 0x09, -1, -1, nullptr, nullptr, -1, 0, nullptr},
    {36, "20050000", "0000900000", 0x09, 1, -1, nullptr, nullptr, 1, 50, nullptr},
    {36, "20050000", "0030000000", 0x09, 1, 1, "21050000", nullptr, 1, 0, nullptr},
    {36, "20050000", "2500000000", 0x09, 1, -1, nullptr, nullptr, 1, 50, nullptr},
    {36, "20050000", "8500000000", 0x09, 1, 1, "21050000", nullptr, 1, 0, nullptr},
    {36, "20050000", "8600000000", 0x09, 1, -1, nullptr, nullptr, 1, 50, nullptr},
    {40, "68052230", "0000012345", 0x09, 1, 1, "68052328", nullptr, 1, 0, nullptr},
    {41, "62220000", "1234567890", 0x09, 1, 1, "50060400", "0000011404", 1, 0, "DE96500604000000011404"},
    {42, "10000000", "1234412345", 0x09, 0, 1, nullptr, nullptr, 0, 0, nullptr},
    {42, "10000000", "1234512345", 0x09, 0, -1, nullptr, nullptr, 0, 0, nullptr},
    {42, "43000000", "0012305678", 0x09, 0, 1, nullptr, nullptr, 0, 0, nullptr},
    {42, "43000000", "0012300678", 0x09, 0, -1, nullptr, nullptr, 0, 0, nullptr},
    {42, "43000000", "0012345678", 0x09, 0, -1, nullptr, nullptr, 0, 0, nullptr},
    {42, "43000000", "0050462100", 0x09, 0, 1, nullptr, nullptr, 0, 0, nullptr},
    {42, "43000000", "0050469999", 0x09, 0, 1, nullptr, nullptr, 0, 0, nullptr},
    {42, "43000000", "0050464000", 0x09, 0, -1, nullptr, nullptr, 0, 0, nullptr},
    {42, "43000000", "0001234567", 0x09, 0, -1, nullptr, nullptr, 0, 0, nullptr},
    {43, "12345678", "0000000868", 0x09, 1, 1, nullptr, nullptr, 1, 0, nullptr},
    {44, "68050101", "0000000202", 0x09, 1, 1, nullptr, "0002282022", keep, 0, nullptr},
    {45, "12345678", "0000000868", 0x09, 1, 1, nullptr, nullptr, 1, 0, nullptr},
    {46, "25020600", "1234567897", 0x09, 1, 1, "31010833", nullptr, 1, 0, nullptr},
    {47, "20133300", "0012345678", 0x09, 1, 1, nullptr, "1234567800", 1, 0, nullptr},
    {47, "20133300", "0123456789", 0x09, 1, 1, nullptr, nullptr, 1, 0, nullptr},
    {48, "36010200", "0000012345", 0x09, 1, 1, "36010200", nullptr, 1, 0, nullptr},
    {49, "30060010", "0000000036", 0x09, -1, 1, nullptr, "0002310113", keep, 0, nullptr},
    {49, "30060010", "0001991182", 0x09, 1, 1, nullptr, "9911820001", 1, 0, nullptr},
    {49, "57060000", "2618040504", 0x09, 1, 1, nullptr, nullptr, 1, 0, nullptr},
    {50, "28550001", "0000012345", 0x09, 1, 1, "28550000", nullptr, 1, 0, nullptr},
    {52, "67220020", "5308810004", 0x09, 1, 1, "60050101", "0002662604", 1, 0, nullptr},
    {52, "69220020", "6402145400", 0x09, 1, 1, "60050101", "7485500252", 1, 0, nullptr},
    {52, "67220020", "5308810001", 0x09, 1, -1, nullptr, nullptr, 1, 0, nullptr},
    {52, "67020020", "5308810004", 0x09, 1, -1, nullptr, nullptr, 1, 0, nullptr},
    {53, "55050000", "0000035000", 0x09, 1, 1, "60050101", "7401555913", 1, 0, nullptr},
    {53, "55050000", "0000035001", 0x09, 1, 1, nullptr, nullptr, 1, 0, nullptr},
    {54, "21060237", "0000624044", 0x09, -1, 1, nullptr, nullptr, 1, 0, "DE96210602370000624044"},
    {54, "21060237", "1234567890", 0x09, 1, 1, nullptr, nullptr, 1, 0, nullptr},
    {55, "25410300", "0000012345", 0x09, 1, 1, "25410200", nullptr, 1, 0, nullptr},
    {56, "21010111", "0000000036", 0x13, -1, 1, "38010111", "1010240003", 1, 0, "DE29380101111010240003"},
    {56, "10010111", "0929070100", 0x13, 1, -1, nullptr, nullptr, 1, 0, nullptr},
    {56, "20010111", "9929070144", 0x13, 1, 1, nullptr, nullptr, 1, 0, nullptr},
    {57, "50810900", "0000012345", 0x09, 1, 1, "66010200", nullptr, 1, 0, nullptr},
    {57, "50810901", "0000012345", 0x09, 1, 1, nullptr, nullptr, 1, 0, nullptr},
};

TEST(IbanRules, EntriesOnWorkingRecord) {
    for (const RuleCase &c : rule_cases) {
        SCOPED_TRACE(testing::Message() << "entry " << c.entry << " " << c.blz << " " << c.account);
        iban_work_t work = make_work(c.blz, c.account, c.method, c.check_in);
        ASSERT_GE(c.entry, 0);
        ASSERT_LT(c.entry, iban_rule_count);
        int result = iban_rule_table[c.entry](&work);
        EXPECT_EQ(result, c.result);
        EXPECT_STREQ(work.blz, c.blz_out ? c.blz_out : c.blz);
        EXPECT_STREQ(work.account, c.account_out ? c.account_out : c.account);
        EXPECT_STREQ(work.orig_account, c.account);
        if (c.check_out != keep) {
            EXPECT_EQ(work.check_result, c.check_out);
        }
        EXPECT_EQ(work.status, c.status);
        if (result == 1) {
            std::string expected = c.iban ? c.iban : std::string("DE00") + work.blz + work.account;
            EXPECT_EQ(std::string(work.iban), expected);
        }
    }
}

// The replacement lists without a rule-specific twist: the first row of each list
// replaces the account, an unlisted account stays.
TEST(IbanRules, AccountListEntries) {
    struct Case {
        int entry;
        const account_replacement_row *list;
    };
    const Case cases[] = {
        {4, iban_rule_0004_accounts},  {6, iban_rule_0006_accounts},  {7, iban_rule_0007_accounts},
        {15, iban_rule_0015_accounts}, {16, iban_rule_0016_accounts}, {17, iban_rule_0017_accounts},
        {18, iban_rule_0018_accounts}, {22, iban_rule_0022_accounts}, {23, iban_rule_0023_accounts},
        {24, iban_rule_0024_accounts}, {44, iban_rule_0044_accounts}, {51, iban_rule_0051_accounts},
    };
    for (const Case &c : cases) {
        for (const account_replacement_row *row = c.list; row->account != nullptr; ++row) {
            SCOPED_TRACE(testing::Message() << "entry " << c.entry << " " << row->account);
            iban_work_t work = make_work("12345678", row->account);
            EXPECT_EQ(iban_rule_table[c.entry](&work), 1);
            // The first row with this account decides (rule 7 lists some targets twice).
            const account_replacement_row *first = c.list;
            while (std::strcmp(first->account, row->account) != 0) ++first;
            EXPECT_STREQ(work.account, first->new_account);
            if (c.entry == 44 || c.entry == 51) {
                EXPECT_NE(work.check_result, -1);
            }
        }
        iban_work_t work = make_work("12345678", "0000000001", 0x09, -1);
        EXPECT_EQ(iban_rule_table[c.entry](&work), 1);
        EXPECT_STREQ(work.account, "0000000001");
        EXPECT_EQ(work.check_result, -1);
    }
}

// Entry 20's own replacement is checked again: the failed check of 9999 does not
// refuse the account the rule names.
TEST(IbanRules, Entry20SpecialAccountIsRechecked) {
    iban_work_t work = make_work("50070010", "0000009999", 0x63, -1);
    iban_rule_table[20](&work);
    EXPECT_STREQ(work.account, "0092777202");
    EXPECT_EQ(work.check_result, sepa_account_check("0092777202", 0x63));
}

}  // namespace
