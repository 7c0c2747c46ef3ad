// The locale-independent number reader shared by amounts and statements.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>

#include "core/frame/number_reader.h"

namespace {

struct number_case {
    const char *text;
    bool valid;
    double value;
};

// The statement reader's number scanner: it stops where the number ends.
bool read_decimal(const char *text, double *value) {
    bool out_of_range = false;
    return *scan_decimal(text, value, &out_of_range) == '\0' && !out_of_range;
}

TEST(ScanDecimal, AcceptsAndRefuses) {
    const number_case cases[] = {
        {"12.50", true, 12.5},
        {".5", true, 0.5},
        {"5.", true, 5.0},
        {"1e2", true, 100.0},
        {"1e", true, 1.0},
        {"1E+2", true, 100.0},
        {"2.5e-1", true, 0.25},
        {"  7", true, 7.0},
        {"-1", true, -1.0},
        {"+3", true, 3.0},
        {"0.00", true, 0.0},
        {"12,50", false, 0},
        {"7 ", false, 0},
        {"abc", false, 0},
        {".", false, 0},
        {"1e400", false, 0},
        {"1e512", false, 0},
        {"1..2", false, 0},
        {"   ", false, 0},
        {"-", false, 0},
        {"0.004", true, 0.004},
        {"1e300", true, 1e300},
        {"999999999.99", true, 999999999.99},
    };
    for (const auto &c : cases) {
        double value = -99;
        EXPECT_EQ(read_decimal(c.text, &value), c.valid) << '"' << c.text << '"';
        if (c.valid) {
            EXPECT_DOUBLE_EQ(value, c.value) << c.text;
        }
    }
}

TEST(ScanDecimal, OnlyEighteenDigitsCount) {
    double value = 0;
    ASSERT_TRUE(read_decimal("1234567890123456789012", &value));
    EXPECT_DOUBLE_EQ(value, 1234567890123456780000.0);
    ASSERT_TRUE(read_decimal("0.1234567890123456789", &value));
    EXPECT_NEAR(value, 0.123456789012345678, 1e-16);
}

TEST(ScanDecimal, LeadingZerosDoNotUseUpTheDigits) {
    double value = 0;
    ASSERT_TRUE(read_decimal("0000000000000000012.34", &value));
    EXPECT_DOUBLE_EQ(value, 12.34);
    ASSERT_TRUE(read_decimal("0.0000000000000000000012", &value));
    EXPECT_DOUBLE_EQ(value, 1.2e-21);
    ASSERT_TRUE(read_decimal("000.000", &value));
    EXPECT_EQ(value, 0.0);
    ASSERT_TRUE(read_decimal("-00", &value));
    EXPECT_EQ(value, 0.0);
}

TEST(ScanDecimal, IgnoresTheProcessLocale) {
    const char *old = std::setlocale(LC_NUMERIC, nullptr);
    std::string saved = old ? old : "C";
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr) std::setlocale(LC_NUMERIC, "de_DE");
    double value = 0;
    EXPECT_TRUE(read_decimal("12.34", &value));
    EXPECT_DOUBLE_EQ(value, 12.34);
    EXPECT_FALSE(read_decimal("12,34", &value));
    int64_t cents = 0;
    EXPECT_EQ(read_cents("12.34", 100000, &cents), cents_result::ok);
    EXPECT_EQ(cents, 1234);
    std::setlocale(LC_NUMERIC, saved.c_str());
}

// Amounts: digits, optionally a full stop and at most two decimals; exact cents.
TEST(ReadCents, OneFormExactly) {
    const struct {
        const char *text;
        cents_result result;
        int64_t cents;
    } cases[] = {
        {"0", cents_result::ok, 0},
        {"7", cents_result::ok, 700},
        {"7.", cents_result::ok, 700},
        {"7.5", cents_result::ok, 750},
        {"7.05", cents_result::ok, 705},
        {"007.50", cents_result::ok, 750},
        {"1000.00", cents_result::ok, 100000},
        {"1000.01", cents_result::too_large, 0},
        {"1001", cents_result::too_large, 0},
        {"99999999999999999999999", cents_result::too_large, 0},
        {"99999999999999999999999x", cents_result::malformed, 0},
        {"1001.001", cents_result::malformed, 0},
        {"", cents_result::malformed, 0},
        {".5", cents_result::malformed, 0},
        {"7.055", cents_result::malformed, 0},
        {"-7", cents_result::malformed, 0},
        {"+7", cents_result::malformed, 0},
        {" 7", cents_result::malformed, 0},
        {"7 ", cents_result::malformed, 0},
        {"1e2", cents_result::malformed, 0},
        {"7,50", cents_result::malformed, 0},
        {"7..5", cents_result::malformed, 0},
        {"7.5.", cents_result::malformed, 0},
        {nullptr, cents_result::malformed, 0},
    };
    for (const auto &c : cases) {
        int64_t cents = -1;
        EXPECT_EQ(read_cents(c.text, 100000, &cents), c.result) << (c.text ? c.text : "NULL");
        if (c.result == cents_result::ok) {
            EXPECT_EQ(cents, c.cents) << c.text;
        } else {
            EXPECT_EQ(cents, -1) << c.text;
        }
    }
}

}  // namespace
