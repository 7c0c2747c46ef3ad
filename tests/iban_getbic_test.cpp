// sepa_iban_getBIC: country layouts, the BICs fixed by IBAN rules, failures that
// leave the output all zero, and NULL arguments.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/bank/bank_record.h"
#include "sepa.h"

namespace {

bool all_zero(const char *bic) {
    for (int i = 0; i < 12; ++i)
        if (bic[i] != 0) return false;
    return true;
}

std::string directory_bic(const char *country, const char *code) {
    bank_record_t record;
    if (!bank_lookup(country, code, &record)) return "<absent>";
    return record.bic ? record.bic : "";
}

// A German IBAN with valid layout (check digits are not examined by the function).
std::string de_iban(const char *bank_code) { return std::string("DE00") + bank_code + "0000012345"; }

TEST(IbanGetBic, FailuresLeaveOutputZero) {
    struct Case {
        const char *iban;
        int result;
    };
    const Case cases[] = {
        {"de89370400440532013000", 0},  // prefix compared exactly
        {"FR7630006000011234567890189", 0},
        {"", 0},
        {"D", 0},
        {"DE8937040044053201300", -1},    // 21 characters
        {"DE893704004405320130000", -1},  // 23 characters
        {"AT61190430023457320", -1},
        {"CH930076201162385295", -1},
        {"LI2108810000232401", -1},
        {"DE00999999990000012345", -3},  // bank code not in the directory
        {"DE00ABCDEFGH0000012345", -3},
        {"DE00 37040040532013000", -3},
    };
    for (const Case &c : cases) {
        char bic[12];
        std::memset(bic, 'x', sizeof bic);
        EXPECT_EQ(sepa_iban_getBIC(c.iban, bic), c.result) << c.iban;
        EXPECT_TRUE(all_zero(bic)) << c.iban;
    }
}

TEST(IbanGetBic, NullArguments) {
    char bic[12];
    std::memset(bic, 'x', sizeof bic);
    EXPECT_EQ(sepa_iban_getBIC(nullptr, bic), SEPA_CONVERT_ERR_INVALID);
    EXPECT_TRUE(all_zero(bic));
    EXPECT_EQ(sepa_iban_getBIC("DE89370400440532013000", nullptr), SEPA_CONVERT_ERR_INVALID);
    EXPECT_EQ(sepa_iban_getBIC(nullptr, nullptr), SEPA_CONVERT_ERR_INVALID);
}

TEST(IbanGetBic, RuleFixedBics) {
    struct Case {
        const char *iban;
        const char *bic;
    };
    const Case cases[] = {
        // rule 000503, 4th digit "4", digits 5 and 6 "00"
        {"DE89370400440532013000", "COBADEFFXXX"},
        {"DE00100400000000012345", "COBADEFFXXX"},
        // rule 001400
        {"DE25300606010000060624", "DAAEDEDDXXX"},
    };
    for (const Case &c : cases) {
        char bic[12];
        EXPECT_EQ(sepa_iban_getBIC(c.iban, bic), 1) << c.iban;
        EXPECT_STREQ(bic, c.bic) << c.iban;
        EXPECT_EQ(bic[11], '\0');
    }
}

// Banks whose BIC comes from their own record: rule-5 banks with "411" in digits
// 4 to 6 or without "4" as 4th digit, banks of other rules, a bank without a BIC
// (its successor is not consulted).
TEST(IbanGetBic, OwnBicFromDirectory) {
    const char *bank_codes[] = {"20041111", "10080000", "10010010", "10000000", "25050299", "50810900"};
    for (const char *bank_code : bank_codes) {
        std::string expected = directory_bic("DE", bank_code);
        if (expected == "<absent>") continue;
        char bic[12];
        std::string iban = de_iban(bank_code);
        EXPECT_EQ(sepa_iban_getBIC(iban.c_str(), bic), 1) << bank_code;
        EXPECT_EQ(std::string(bic), expected) << bank_code;
        EXPECT_NE(std::string(bic), "COBADEFFXXX") << bank_code;
    }
    char bic[12];
    ASSERT_EQ(sepa_iban_getBIC(de_iban("25050299").c_str(), bic), 1);
    EXPECT_STREQ(bic, "");
}

TEST(IbanGetBic, OtherCountriesUseTheirTable) {
    struct Case {
        const char *iban;
        const char *country;
        const char *code;
    };
    const Case cases[] = {
        {"AT611904300234573201", "AT", "19043"},  {"AT021200000000000000", "AT", "12000"},
        {"AT022011100000000000", "AT", "20111"},  {"CH9300762011623852957", "CH", "00762"},
        {"CH1000100000000000000", "CH", "00100"}, {"LI2108801000232401300", "CH", "08801"},
        {"LI0008800000000000000", "CH", "08800"},
    };
    int found = 0;
    for (const Case &c : cases) {
        std::string expected = directory_bic(c.country, c.code);
        char bic[12];
        int result = sepa_iban_getBIC(c.iban, bic);
        if (expected == "<absent>") {
            EXPECT_EQ(result, -3) << c.iban;
            continue;
        }
        ++found;
        EXPECT_EQ(result, 1) << c.iban;
        EXPECT_EQ(std::string(bic), expected) << c.iban;
    }
    EXPECT_GT(found, 2);
}

// Well-known banks whose BIC does not depend on a choice of the data: Austrian,
// Swiss and Liechtenstein codes, the last through the Swiss table.
TEST(IbanGetBic, KnownBanks) {
    struct Case {
        const char *iban;
        const char *bic;
    };
    const Case cases[] = {
        {"AT021200000000000000", "BKAUATWWXXX"},
        {"CH1000100000000000000", "SNBZCHZZXXX"},
        {"LI0008800000000000000", "LILALI2XXXX"},
    };
    for (const Case &c : cases) {
        char bic[12];
        EXPECT_EQ(sepa_iban_getBIC(c.iban, bic), 1) << c.iban;
        EXPECT_STREQ(bic, c.bic) << c.iban;
    }
}

}  // namespace
