// Guard for the German account checks: every method byte 0x00..0xFF on 2000 accounts
// from a fixed generator (random 1-10 digit accounts, accounts padded with zeros,
// edge patterns and malformed input), summarised per method as the count of each
// result and a hash of the result sequence. The recorded summary in
// account_check_golden.txt was taken from the engine before its speed-up; any change
// of a single result shows up as a differing line.
// SEPA_GOLDEN_WRITE=<file> writes the summary instead of comparing (to record anew
// after a deliberate, reviewed change of a rule).
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "sepa.h"
#include "tests/test_random.h"

namespace {

constexpr int accounts_per_method = 2000;

// The methods that take the bank code, with the bank codes they are run with.
bool needs_bank_code(int method) { return method == 0x52 || method == 0x53 || method == 0xB6 || method == 0xC0; }
constexpr const char *bank_codes[] = {"20050550", "30050110", "13051172", "10090000", "86055592"};

// Fixed accounts every method sees first: lengths 1 and 10, zeros, nines, and input
// the argument checks must turn away.
const char *const edge_accounts[] = {
    "0",          "1",          "9",          "0000000000",  "0000000001",  "9999999999", "1000000000", "0000000009",
    "0000090000", "0099999999", "0900000000", "00000000000", "12345678901", "",           "12a4567890", " 123",
    "123 ",       "-123",       "1234567/90", "123456789:",  "0185125434",  "7777770000", "8888880000", "0269100000",
};

std::string random_account(generator &random) {
    std::string account;
    switch (random.below(4)) {
    case 0: {  // ten digits, the leftmost few of them zero
        int zeros = random.below(10);
        account.assign(static_cast<size_t>(zeros), '0');
        while (account.size() < 10) account += static_cast<char>('0' + random.below(10));
        break;
    }
    case 1: {  // digits drawn from few values, to reach special remainders and ranges
        int length = 1 + random.below(10);
        const char *pool = random.below(2) ? "09" : "019";
        int pool_size = pool[2] ? 3 : 2;
        for (int i = 0; i < length; ++i) account += pool[random.below(pool_size)];
        break;
    }
    default: {  // plain random account of 1 to 10 digits
        int length = 1 + random.below(10);
        for (int i = 0; i < length; ++i) account += static_cast<char>('0' + random.below(10));
        break;
    }
    }
    return account;
}

struct method_summary {
    int count[4] = {};                    // results -1, 0, 1, 2
    uint64_t hash = 0xCBF29CE484222325u;  // FNV-1a over the results
};

method_summary summarise(int method) {
    generator random{0x5EBA0000u + static_cast<uint64_t>(method)};
    method_summary summary;
    for (int i = 0; i < accounts_per_method; ++i) {
        constexpr int edge_count = sizeof(edge_accounts) / sizeof(edge_accounts[0]);
        std::string account = i < edge_count ? edge_accounts[i] : random_account(random);
        int result;
        if (needs_bank_code(method)) {
            const char *bank_code = bank_codes[i % (sizeof(bank_codes) / sizeof(bank_codes[0]))];
            result = sepa_account_check2(account.c_str(), bank_code, method);
        } else {
            result = sepa_account_check(account.c_str(), method);
            if (i % 4 == 0) {  // the second function gives the same for the other methods
                EXPECT_EQ(sepa_account_check2(account.c_str(), bank_codes[0], method), result)
                    << account << " method " << method;
            }
        }
        EXPECT_TRUE(result >= -1 && result <= 2) << account << " method " << method;
        if (result >= -1 && result <= 2) ++summary.count[result + 1];
        summary.hash = (summary.hash ^ static_cast<uint64_t>(result + 1)) * 0x100000001B3u;
    }
    return summary;
}

std::string summary_line(int method, const method_summary &s) {
    char line[96];
    std::snprintf(line, sizeof line, "%02X %d %d %d %d %016llx", method, s.count[0], s.count[1], s.count[2], s.count[3],
                  static_cast<unsigned long long>(s.hash));
    return line;
}

TEST(AccountCheckGolden, EveryMethodByteGivesTheRecordedResults) {
    std::vector<std::string> lines;
    for (int method = 0; method <= 0xFF; ++method) lines.push_back(summary_line(method, summarise(method)));

    if (const char *out = std::getenv("SEPA_GOLDEN_WRITE")) {
        std::ofstream file(out);
        file << "# method, results -1 / 0 / 1 / 2 of " << accounts_per_method
             << " accounts, FNV-1a hash of the result sequence\n";
        for (const std::string &line : lines) file << line << '\n';
        GTEST_SKIP() << "summary written to " << out;
    }

    std::ifstream file(std::string(SEPA_TEST_DIR) + "/account_check_golden.txt");
    ASSERT_TRUE(file) << "account_check_golden.txt is missing";
    std::vector<std::string> recorded;
    for (std::string line; std::getline(file, line);)
        if (!line.empty() && line[0] != '#') recorded.push_back(line);
    ASSERT_EQ(recorded.size(), lines.size());
    for (size_t i = 0; i < lines.size(); ++i) EXPECT_EQ(lines[i], recorded[i]);
}

}  // namespace
