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

TEST(ReadDecimal, AcceptsAndRefuses) {
    const number_case cases[] = {
        {"12.50", true, 12.5},   {".5", true, 0.5},      {"5.", true, 5.0},
        {"1e2", true, 100.0},    {"1e", true, 1.0},      {"1E+2", true, 100.0},
        {"2.5e-1", true, 0.25},  {"  7", true, 7.0},     {"-1", true, -1.0},
        {"+3", true, 3.0},       {"", true, 0.0},        {"0.00", true, 0.0},
        {"12,50", false, 0},     {"7 ", false, 0},       {"abc", false, 0},
        {".", false, 0},         {"1e400", false, 0},    {"1e512", false, 0},
        {"1..2", false, 0},      {"   ", false, 0},      {"-", false, 0},
        {"0.004", true, 0.004},  {"1e300", true, 1e300}, {"999999999.99", true, 999999999.99},
    };
    for (const auto &c : cases) {
        double value = -99;
        EXPECT_EQ(read_decimal(c.text, &value), c.valid) << '"' << c.text << '"';
        if (c.valid) {
            EXPECT_DOUBLE_EQ(value, c.value) << c.text;
        }
    }
    double value;
    EXPECT_FALSE(read_decimal(nullptr, &value));
}

TEST(ReadDecimal, OnlyEighteenDigitsCount) {
    double value = 0;
    ASSERT_TRUE(read_decimal("1234567890123456789012", &value));
    EXPECT_DOUBLE_EQ(value, 1234567890123456780000.0);
    ASSERT_TRUE(read_decimal("0.1234567890123456789", &value));
    EXPECT_NEAR(value, 0.123456789012345678, 1e-16);
}

TEST(ReadDecimal, LeadingZerosDoNotUseUpTheDigits) {
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

TEST(ReadDecimal, IgnoresTheProcessLocale) {
    const char *old = std::setlocale(LC_NUMERIC, nullptr);
    std::string saved = old ? old : "C";
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr) std::setlocale(LC_NUMERIC, "de_DE");
    double value = 0;
    EXPECT_TRUE(read_decimal("12.34", &value));
    EXPECT_DOUBLE_EQ(value, 12.34);
    EXPECT_FALSE(read_decimal("12,34", &value));
    std::setlocale(LC_NUMERIC, saved.c_str());
}

// Decimal halves that doubles hold a little below .5 still round up.
TEST(RoundHalfUp, DecimalHalvesOfCents) {
    const struct {
        const char *text;
        double cents;
    } cases[] = {{"1.005", 101}, {"2.675", 268}, {"0.125", 13}, {"1.015", 102}, {"8.345", 835},
                 {"0.285", 29},  {"1.004", 100}, {"1.0049", 100}, {"999999999.995", 100000000000.0}};
    for (const auto &c : cases) {
        double value = 0;
        ASSERT_TRUE(read_decimal(c.text, &value));
        EXPECT_EQ(round_half_up(value * 100), c.cents) << c.text;
    }
}

TEST(RoundHalfUp, Cents) {
    EXPECT_EQ(round_half_up(0.5), 1.0);
    EXPECT_EQ(round_half_up(0.49), 0.0);
    EXPECT_EQ(round_half_up(-0.5), 0.0);
    EXPECT_EQ(round_half_up(-1.5), -1.0);
    EXPECT_EQ(round_half_up(1234.0), 1234.0);
}

}  // namespace
