// The IBAN check: country table, length, layout, check digits, German bank code and
// account number, and the bank of an IBAN.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "core/bank/bank_record.h"
#include "core/iban_check/iban_validate.h"
#include "sepa.h"

namespace {

// Published example IBANs, one for every row of the country table.
const char *const valid_ibans[] = {
    "AT611904300234573201",
    "BE68539007547034",
    "BG80BNBG96611020345678",
    "HR1210010051863000160",
    "CY17002001280000001200527600",
    "CZ6508000000192000145399",
    "DK5000400440116243",
    "FO6264600001631634",
    "GL8964710001000206",
    "EE382200221020145685",
    "FI2112345600000785",
    "FR1420041010050500013M02606",
    "DE89370400440532013000",
    "GI75NWBK000000007099453",
    "GR1601101250000000012300695",
    "HU42117730161111101800000000",
    "IS140159260076545510730339",
    "IE29AIBK93115212345678",
    "IT60X0542811101000000123456",
    "LV80BANK0000435195001",
    "LI21088100002324013AA",
    "LT121000011101001000",
    "LU280019400644750000",
    "MT84MALT011000012345MTLCAST001S",
    "MC5811222000010123456789030",
    "NL91ABNA0417164300",
    "NO9386011117947",
    "PL61109010140000071219812874",
    "PT50000201231234567890154",
    "RO49AAAA1B31007593840000",
    "SM86U0322509800000000270100",
    "SK3112000000198742637541",
    "SI56263300012039086",
    "ES9121000418450200051332",
    "SE4550000000058398257466",
    "CH9300762011623852957",
    "GB82WEST12345698765432",
};

// An IBAN of `country` and `bban` with the check digits computed here (ISO 7064
// mod 97-10 over the digits of BBAN + country + "00").
std::string make_iban(const std::string &country, const std::string &bban) {
    std::string moved = bban + country + "00";
    int remainder = 0;
    for (char c : moved) {
        remainder = c >= '0' && c <= '9' ? (remainder * 10 + (c - '0')) % 97 : (remainder * 100 + (c - 'A' + 10)) % 97;
    }
    const int check = 98 - remainder;
    return country + static_cast<char>('0' + check / 10) + static_cast<char>('0' + check % 10) + bban;
}

std::string failure_of(const char *iban) {
    const char *error = nullptr;
    if (iban_validate(iban, &error) == 1) return "valid";
    return error == nullptr ? "(no text)" : error;
}

TEST(IbanValidate, AcceptsAnIbanOfEveryCountry) {
    std::set<std::string> covered;
    for (const char *iban : valid_ibans) {
        EXPECT_EQ(failure_of(iban), "valid") << iban;
        EXPECT_EQ(sepa_iban_check(iban), 1) << iban;
        covered.insert(std::string(iban, 2));
    }
    EXPECT_EQ(covered.size(), std::size(valid_ibans));
}

TEST(IbanValidate, FailureTexts) {
    struct failure_case {
        const char *iban;
        const char *text;
    };
    const failure_case cases[] = {
        {nullptr, "Invalid IBAN (NULL)"},
        {"", "Invalid or unknown IBAN country code"},
        {"A", "Invalid or unknown IBAN country code"},
        {"XK051212012345678906", "IBAN country not in SEPA"},  // registry country outside SEPA
        {"US12345678", "Invalid or unknown IBAN country code"},
        {"1E12", "Invalid or unknown IBAN country code"},
        {"DE89 3704 0044 0532 0130 00", "Wrong IBAN length"},
        {"NO93860111179470", "Wrong IBAN length"},
        {"NO938601111794", "Wrong IBAN length"},
        {"de89370400440532013000", "Invalid IBAN format"},
        {"gb82west12345698765432", "Invalid IBAN format"},
        {"AT61190430023457320A", "Invalid IBAN format"},
        {"NL91abna0417164300", "Invalid IBAN format"},
        {"GB82WEST12345698765423", "Invalid IBAN checksum"},  // last two digits swapped
        {"AT611904300234573210", "Invalid IBAN checksum"},
        {"FR1420041010050500013M02607", "Invalid IBAN checksum"},
        {"NL19ABNA0417164300", "Invalid IBAN checksum"},  // check digits swapped
    };
    for (const auto &c : cases) {
        EXPECT_EQ(failure_of(c.iban), c.text) << (c.iban ? c.iban : "NULL");
        EXPECT_EQ(sepa_iban_check(c.iban), SEPA_IBAN_ERR_INVALID);
    }
}

TEST(IbanValidate, NullErrorPointerIsAllowed) {
    EXPECT_EQ(iban_validate("XX00", nullptr), 0);
    EXPECT_EQ(iban_validate("NO9386011117947", nullptr), 1);
}

TEST(IbanValidate, NonGermanIbanNeedsNoBankLookup) {
    // Any Austrian bank code passes as long as the check digits are right.
    EXPECT_EQ(failure_of(make_iban("AT", "0000000000000001").c_str()), "valid");
}

TEST(IbanValidate, GermanBankCodeMustBeInTheDirectory) {
    const std::string unknown_bank = make_iban("DE", "000000000532013000");
    bank_record_t record;
    ASSERT_EQ(bank_lookup("DE", "00000000", &record), 0);
    EXPECT_EQ(failure_of(unknown_bank.c_str()), "Invalid bank ID (BLZ) in IBAN");
}

TEST(IbanValidate, GermanAccountMustPassTheBanksMethod) {
    // 37040044 (Commerzbank Köln) checks its accounts by method 13; 0532013000 is
    // right, 0532014000 is not.
    bank_record_t record;
    if (bank_lookup("DE", "37040044", &record) != 1) GTEST_SKIP() << "bank directory lacks 37040044";
    EXPECT_EQ(failure_of(make_iban("DE", "370400440532013000").c_str()), "valid");
    ASSERT_EQ(sepa_account_check2("0532014000", "37040044", record.method), -1);
    EXPECT_EQ(failure_of(make_iban("DE", "370400440532014000").c_str()), "Invalid account number in IBAN");
}

// Some banks' IBAN rules form IBANs whose account fails the bank's check-digit
// method: listed accounts accepted as they are, and accounts rotated when digit 5
// is "9". Those IBANs are real; a neighbouring account with a wrong check digit
// stays invalid.
TEST(IbanValidate, AcceptsAccountsThatTheBanksIbanRuleForms) {
    struct rule_case {
        const char *bban;  // bank code and account
        const char *expected;
    } cases[] = {
        {"350601900000055111", "valid"},                           // accepted-account list
        {"320603620000004444", "valid"},                           // accepted-account list
        {"300600109911820001", "valid"},                           // rotated account
        {"300600109990290099", "valid"},                           // rotated, found by fuzzing
        {"350601900000055112", "Invalid account number in IBAN"},  // not on the list
        {"300600100012345678", "Invalid account number in IBAN"},  // the rule refuses it too
    };
    for (const auto &c : cases) {
        std::string bank_code(c.bban, 8);
        bank_record_t record;
        if (bank_lookup("DE", bank_code.c_str(), &record) != 1) GTEST_SKIP() << "directory lacks " << bank_code;
        ASSERT_EQ(sepa_account_check2(c.bban + 8, bank_code.c_str(), record.method), -1) << c.bban;
        EXPECT_EQ(failure_of(make_iban("DE", c.bban).c_str()), c.expected) << c.bban;
    }
}

// Every IBAN the conversion hands out passes the check (the conversion fuzz target
// found rotated accounts that did not).
TEST(IbanValidate, AcceptsWhatTheConversionForms) {
    const char *const cases[][2] = {
        {"30060010", "0099999029"}, {"30060010", "0001991182"}, {"35060190", "0000055111"}, {"32060362", "4444"}};
    for (const auto &c : cases) {
        char iban[35];
        if (sepa_iban_convert("DE", c[1], c[0], iban, nullptr) != 1) GTEST_SKIP() << "directory lacks " << c[0];
        EXPECT_EQ(failure_of(iban), "valid") << c[0] << " " << c[1] << " " << iban;
    }
}

TEST(IbanValidate, CheckWorksAfterCleanup) {
    EXPECT_EQ(sepa_iban_check("GB82WEST12345698765432"), SEPA_IBAN_OK);
    sepa_cleanup();
    EXPECT_EQ(sepa_iban_check("GB82WEST12345698765432"), SEPA_IBAN_OK);
}

TEST(IbanValidate, FirstUseFromSeveralThreads) {
    sepa_cleanup();
    std::vector<std::thread> threads;
    std::vector<int> failures(8, 0);
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back([t, &failures] {
            for (int i = 0; i < 50; ++i) {
                if (sepa_iban_check(valid_ibans[(t * 5 + i) % std::size(valid_ibans)]) != 1) ++failures[t];
            }
        });
    }
    for (auto &thread : threads) thread.join();
    for (int f : failures) EXPECT_EQ(f, 0);
}

TEST(IbanGetBank, ResultsByCountryAndValidity) {
    EXPECT_EQ(sepa_iban_getBank("FR1420041010050500013M02606", nullptr), SEPA_BANK_UNSUPPORTED);
    EXPECT_EQ(sepa_iban_getBank("GB82WEST12345698765432", nullptr), SEPA_BANK_UNSUPPORTED);
    EXPECT_EQ(sepa_iban_getBank("FR1420041010050500013M02607", nullptr), SEPA_BANK_ERR_IBAN);
    EXPECT_EQ(sepa_iban_getBank(nullptr, nullptr), SEPA_BANK_ERR_IBAN);
    // A German IBAN with an unknown bank code already fails the IBAN check.
    EXPECT_EQ(sepa_iban_getBank(make_iban("DE", "000000000532013000").c_str(), nullptr), SEPA_BANK_ERR_IBAN);
}

TEST(IbanGetBank, FindsBanksOfAustriaSwitzerlandLiechtensteinAndGermany) {
    struct bank_case {
        const char *country;
        const char *code;
        const char *account;
    };
    const bank_case cases[] = {
        {"DE", "37040044", "0532013000"},
        {"AT", "12000", "00234573201"},
        {"CH", "09000", "011623852957"},
        {"LI", "08810", "0002324013AA"},
    };
    for (const auto &c : cases) {
        if (sepa_bankid_check(c.country, c.code, nullptr) != 1) {
            ADD_FAILURE() << "directory lacks " << c.country << " " << c.code;
            continue;
        }
        const std::string iban = make_iban(c.country, std::string(c.code) + c.account);
        EXPECT_EQ(sepa_iban_getBank(iban.c_str(), nullptr), 1) << iban;
        sepa_bankinfo_t *info = nullptr;
        ASSERT_EQ(sepa_iban_getBank(iban.c_str(), &info), 1) << iban;
        ASSERT_NE(info, nullptr);
        EXPECT_EQ(info->flags, 0);
        EXPECT_NE(info->name, nullptr);
        std::free(info);
    }
}

TEST(IbanGetBank, UnknownAustrianBankCodeIsNotFound) {
    const std::string iban = make_iban("AT", "0000100000000001");
    ASSERT_EQ(sepa_iban_check(iban.c_str()), 1);
    if (sepa_bankid_check("AT", "00001", nullptr) == 1) GTEST_SKIP() << "00001 is a real bank code";
    sepa_bankinfo_t *info = nullptr;
    EXPECT_EQ(sepa_iban_getBank(iban.c_str(), &info), SEPA_BANK_ERR_UNKNOWN);
    EXPECT_EQ(info, nullptr);
}

}  // namespace
