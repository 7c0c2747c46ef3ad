// Library frame: rulebook selection and default, validators, error formatting.
#include <gtest/gtest.h>

#include <cstring>
#include <ctime>
#include <string>
#include <thread>
#include <vector>

#include "core/frame/clock.h"
#include "core/frame/pattern_set.h"
#include "core/frame/rulebook.h"
#include "core/frame/text_checks.h"
#include "sepa.h"

namespace {

// Selects a rulebook for one test and restores "DE-3.5" afterwards.
struct rulebook_scope {
    explicit rulebook_scope(const char *name) { EXPECT_EQ(sepa_init(SEPA_INIT_RULEBOOK, name), SEPA_OK); }
    ~rulebook_scope() { sepa_init(SEPA_INIT_RULEBOOK, "DE-3.5"); }
};

// The exported version is the one of the generated header, in both forms.
TEST(Version, ExportsNumberAndText) {
    EXPECT_EQ(sepa_version_int, SEPA_VERSION_MAJOR * 10000 + SEPA_VERSION_MINOR * 100 + SEPA_VERSION_PATCH);
    EXPECT_EQ(sepa_version_str, std::to_string(SEPA_VERSION_MAJOR) + "." + std::to_string(SEPA_VERSION_MINOR));
    EXPECT_STREQ(sepa_version_str, SEPA_VERSION_STRING);
}

TEST(Rulebook, InitSelectsByExactName) {
    const char *names[] = {"DE-2.6", "DE-2.7", "AT-6", "NL-6", "DE-2.8",
                           "DE-2.9", "DE-3.0", "DE-3.1", "DE-3.5", "DE-3.7"};
    for (int i = 0; i < RULEBOOK_COUNT; ++i) {
        ASSERT_EQ(sepa_init(SEPA_INIT_RULEBOOK, names[i]), 1) << names[i];
        EXPECT_EQ(current_rulebook(), i) << names[i];
    }
    ASSERT_EQ(sepa_init(SEPA_INIT_RULEBOOK, "NL-6"), 1);
    EXPECT_EQ(sepa_init(SEPA_INIT_RULEBOOK, "de-3.5"), 0);
    EXPECT_EQ(sepa_init(SEPA_INIT_RULEBOOK, "DE-3.6"), 0);
    EXPECT_EQ(sepa_init(SEPA_INIT_RULEBOOK, ""), 0);
    EXPECT_EQ(sepa_init(SEPA_INIT_RULEBOOK, nullptr), 0);
    EXPECT_EQ(sepa_init(2, "DE-3.5"), 0);
    EXPECT_EQ(current_rulebook(), RULEBOOK_NL_6);
    sepa_init(SEPA_INIT_RULEBOOK, "DE-3.5");
}

TEST(Rulebook, DefaultFollowsTheLocalDate) {
    struct when {
        int year, month, day;
        int expected;
    } cases[] = {
        {2021, 12, 20, RULEBOOK_DE_3_1},
        {2021, 12, 21, RULEBOOK_DE_3_5},
        {2021, 11, 30, RULEBOOK_DE_3_1},
        {2022, 1, 1, RULEBOOK_DE_3_5},
        {2026, 12, 8, RULEBOOK_DE_3_5},
    };
    for (const auto &c : cases) {
        struct tm local {};
        local.tm_year = c.year - 1900;
        local.tm_mon = c.month - 1;
        local.tm_mday = c.day;
        local.tm_hour = 12;
        local.tm_isdst = -1;
        clock_pin_for_tests(mktime(&local));
        reset_rulebook_for_tests();
        apply_default_rulebook();
        EXPECT_EQ(current_rulebook(), c.expected) << c.year << "-" << c.month << "-" << c.day;
    }
    // A rulebook chosen before the first message stays in force.
    reset_rulebook_for_tests();
    ASSERT_EQ(sepa_init(SEPA_INIT_RULEBOOK, "DE-2.7"), 1);
    apply_default_rulebook();
    EXPECT_EQ(current_rulebook(), RULEBOOK_DE_2_7);
    clock_unpin_for_tests();
    sepa_init(SEPA_INIT_RULEBOOK, "DE-3.5");
}

TEST(Error, NullHandleHasConstantText) {
    EXPECT_STREQ(sepa_getError(nullptr), "Invalid sepa_t handle (NULL)");
    sepa_t blank{};
    EXPECT_EQ(sepa_getError(&blank), nullptr);
}

TEST(FormatText, CutsAndTerminates) {
    char small[8];
    std::memset(small, 'x', sizeof small);
    format_text(small, sizeof small, "%s-%d", "abcdef", 42);
    EXPECT_STREQ(small, "abcdef-");
    char buf[256];
    std::string long_text(400, 'a');
    format_text(buf, sizeof buf, "Invalid character '%c' in %s", 'x', long_text.c_str());
    EXPECT_EQ(std::strlen(buf), 255u);
}

struct text_case {
    const char *rulebook;
    const char *text;
    int level;
    int expected;
    char bad;  // reported byte when refused
};

TEST(CheckText, LevelsAndRulebooks) {
    const text_case cases[] = {
        {"DE-3.5", "Abc09':?,-()+/.", 0, 1, 0},
        {"DE-3.5", "two words", 0, 0, ' '},
        {"DE-3.5", "two words", 1, 1, 0},
        {"DE-3.5", "a&b", 1, 0, '&'},
        {"DE-3.5", "a&b*c$d%", 2, 1, 0},
        {"DE-3.5", "M\xC3\xBCller", 2, 1, 0},
        {"DE-3.5", "M\xC3\xBCller", 1, 0, '\xC3'},
        {"DE-2.6", "M\xC3\xBCller", 2, 0, '\xC3'},
        {"DE-2.6", "M\xC3\xBCller und Co", 1, 0, '\xC3'},
        {"DE-2.6", "a b", 2, 1, 0},
        {"DE-2.6", "a&b", 2, 0, '&'},
        {"DE-3.5", "\xC3\xA9t\xC3\xA9", 2, 0, '\xC3'},  // é is not in the set
        {"DE-3.5", "\xC3", 2, 0, '\xC3'},               // lone lead byte at the end
        {"DE-3.5", "a#b", 0, 0, '#'},
        {"AT-6", "a#b", 0, 1, 0},
        {"AT-6", "<>{}[]\"|!=#~;@_^", 0, 1, 0},
        {"AT-6", "10 \xE2\x82\xAC", 1, 1, 0},
        {"AT-6", "10\xE2\x82", 1, 0, '\xE2'},
        {"DE-3.5", "10\xE2\x82\xAC", 2, 0, '\xE2'},
        {"AT-6", "a b", 0, 0, ' '},
        {"DE-3.5", "", 0, 1, 0},
        {"DE-3.5", "tab\there", 2, 0, '\t'},
    };
    for (const auto &c : cases) {
        rulebook_scope scope(c.rulebook);
        char bad = 0;
        EXPECT_EQ(check_text(c.text, &bad, c.level), c.expected) << c.rulebook << " " << c.text;
        if (c.expected == 0) {
            EXPECT_EQ(bad, c.bad) << c.text;
        }
    }
    EXPECT_EQ(check_text(nullptr, nullptr, 0), 1);
    EXPECT_EQ(check_text("a b", nullptr, 0), 0);
}

TEST(CheckBicFormat, Pattern) {
    const std::pair<const char *, int> cases[] = {
        {"ABCDDEFF", 1},     {"ABCDDEFF500", 1}, {"ABCDDEFF50", 0}, {"ABCDDE1F", 0},
        {"ABCDDEFO", 0},     {"ABCDDE2F", 1},    {"ABCDDEF0", 1},   {"abcddeff", 0},
        {"ABCDDEFFXXXX", 0}, {"ABC1DEFF", 0},    {"", 0},           {"ABCDDEFF 50", 0},
    };
    for (const auto &[bic, expected] : cases) EXPECT_EQ(check_bic_format(bic), expected) << bic;
    EXPECT_EQ(check_bic_format(nullptr), 0);
}

TEST(CheckLineLength, Bounds) {
    EXPECT_EQ(check_line_length(nullptr), 0);
    EXPECT_EQ(check_line_length(""), 0);
    EXPECT_EQ(check_line_length("x"), 1);
    EXPECT_EQ(check_line_length(std::string(70, 'a').c_str()), 1);
    EXPECT_EQ(check_line_length(std::string(71, 'a').c_str()), 0);
}

TEST(Cleanup, PatternsCompileAgainAfterRelease) {
    EXPECT_EQ(check_bic_format("ABCDDEFF"), 1);
    sepa_cleanup();
    EXPECT_EQ(check_bic_format("ABCDDEFF"), 1);
    sepa_cleanup();
    sepa_cleanup();  // releasing twice is harmless
    EXPECT_EQ(check_line_length("line"), 1);
}

TEST(Cleanup, ConcurrentFirstUseCompilesOnce) {
    for (int round = 0; round < 20; ++round) {
        sepa_cleanup();
        std::vector<std::thread> threads;
        std::atomic<int> failures{0};
        for (int t = 0; t < 8; ++t) {
            threads.emplace_back([&] {
                for (int i = 0; i < 50; ++i) {
                    if (check_bic_format("ABCDDEFF500") != 1) ++failures;
                    if (check_bic_format("ABCDDE1F") != 0) ++failures;
                }
            });
        }
        for (auto &t : threads) t.join();
        EXPECT_EQ(failures.load(), 0);
    }
}

}  // namespace
