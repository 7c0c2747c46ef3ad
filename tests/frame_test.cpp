// Library frame: rulebook selection and default, validators, error formatting, UTF-8.
#include <gtest/gtest.h>
#include <regex.h>

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <thread>
#include <vector>

#include "core/frame/clock.h"
#include "core/frame/rulebook.h"
#include "core/frame/text_checks.h"
#include "core/frame/utf8_text.h"
#include "sepa.h"
#include "tests/test_random.h"

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
    const char *names[] = {"DE-2.6", "DE-2.7", "AT-6",   "NL-6",   "DE-2.8", "DE-2.9",  "DE-3.0",
                           "DE-3.1", "DE-3.5", "DE-3.7", "DE-3.8", "DE-3.9", "DE-26.11"};
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
        {2021, 12, 20, RULEBOOK_DE_3_1},  {2021, 12, 21, RULEBOOK_DE_3_5}, {2021, 11, 30, RULEBOOK_DE_3_1},
        {2022, 1, 1, RULEBOOK_DE_3_5},    {2026, 11, 14, RULEBOOK_DE_3_5}, {2026, 11, 15, RULEBOOK_DE_26_11},
        {2026, 12, 8, RULEBOOK_DE_26_11}, {2031, 1, 1, RULEBOOK_DE_26_11},
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
    // A cut never leaves half a character behind.
    char five[5];
    format_text(five, sizeof five, "ab\xC3\xA9\xE2\x82\xAC");
    EXPECT_STREQ(five, "ab\xC3\xA9");
    format_text(five, sizeof five, "abc\xC3\xA9");
    EXPECT_STREQ(five, "abc");
    format_text(five, sizeof five, "a\xE2\x82\xAC");
    EXPECT_STREQ(five, "a\xE2\x82\xAC");
    format_text(five, sizeof five, "ab\xE2\x82\xAC");
    EXPECT_STREQ(five, "ab");
    format_text(five, sizeof five, "\xF0\x9F\x98\x80!");
    EXPECT_STREQ(five, "\xF0\x9F\x98\x80");
}

TEST(ErrorTexts, DescribeWholeCharactersOrTheirCodes) {
    const struct {
        const char *at;
        const char *shown;
    } cases[] = {
        {"a", "a"},
        {"\xC3\xA9x", "\xC3\xA9"},
        {"\xE2\x82\xAC", "\xE2\x82\xAC"},
        {"\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},
        {"\t", "U+0009"},
        {"\x7F", "U+007F"},
        {"\xC2\x85", "U+0085"},
        {"\xC2\xA0", "\xC2\xA0"},
        {"\xC5", "\\xC5"},
        {"\xC3(", "\\xC3"},
        {"\xC0\xAF", "\\xC0"},
        {"\xE0\x80\x80", "\\xE0"},
        {"\xED\xA0\x80", "\\xED"},
        {"\xF4\x90\x80\x80", "\\xF4"},
        {"\x80", "\\x80"},
        {"\xFF", "\\xFF"},
        // Java's modified UTF-8: NUL and a surrogate pair come back as they went in.
        {"\xC0\x80", "\xC0\x80"},
        {"\xED\xA0\xBD\xED\xB8\x80", "\xED\xA0\xBD\xED\xB8\x80"},
    };
    for (const auto &c : cases) {
        char shown[CHARACTER_TEXT_SIZE];
        describe_character(c.at, shown);
        EXPECT_STREQ(shown, c.shown) << c.shown;
    }
    char quoted[QUOTED_TEXT_SIZE];
    quote_text(nullptr, quoted);
    EXPECT_STREQ(quoted, "NULL");
    quote_text("60,00 \xE2\x82\xAC\xC5", quoted);
    EXPECT_STREQ(quoted, "60,00 \xE2\x82\xAC\\xC5");
    const std::string long_text(200, '\xC5');
    quote_text(long_text.c_str(), quoted);
    EXPECT_LT(std::strlen(quoted), QUOTED_TEXT_SIZE);
    EXPECT_EQ(std::string(quoted).substr(std::strlen(quoted) - 3), "...");
}

struct text_case {
    const char *rulebook;
    const char *text;
    int level;
    int expected;
    char bad;  // first byte of the reported character when refused
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
        const char *bad = nullptr;
        EXPECT_EQ(check_text(c.text, &bad, c.level), c.expected) << c.rulebook << " " << c.text;
        if (c.expected == 0) {
            ASSERT_NE(bad, nullptr) << c.text;
            EXPECT_EQ(*bad, c.bad) << c.text;
        }
    }
    EXPECT_EQ(check_text(nullptr, nullptr, 0), 1);
    EXPECT_EQ(check_text("a b", nullptr, 0), 0);
}

TEST(CheckBicFormat, Pattern) {
    const std::pair<const char *, int> cases[] = {
        {"ABCDDEFF", 1}, {"ABCDDEFF500", 1}, {"ABCDDEFF50", 0},   {"ABCDDE1F", 0}, {"ABCDDEFO", 0}, {"ABCDDE2F", 1},
        {"ABCDDEF0", 1}, {"abcddeff", 0},    {"ABCDDEFFXXXX", 0}, {"ABC1DEFF", 0}, {"", 0},         {"ABCDDEFF 50", 0},
    };
    for (const auto &[bic, expected] : cases) EXPECT_EQ(check_bic_format(bic), expected) << bic;
    EXPECT_EQ(check_bic_format(nullptr), 0);
}

// The BIC format was once checked by the POSIX pattern below; the plain check must
// accept exactly what it accepted. Every byte at every position of an 8- and an
// 11-character BIC, every pair of boundary characters at every pair of positions, every
// length, and many random texts of those characters.
TEST(CheckBicFormat, AcceptsWhatTheFormerPatternAccepted) {
    regex_t pattern;
    ASSERT_EQ(regcomp(&pattern, "^[A-Z]{6}[A-Z2-9][A-NP-Z0-9]([A-Z0-9]{3})?$", REG_EXTENDED | REG_NOSUB), 0);
    const auto pattern_accepts = [&](const std::string &bic) {
        return regexec(&pattern, bic.c_str(), 0, nullptr, 0) == 0;
    };
    long compared = 0, accepted = 0;
    const auto compare = [&](const std::string &bic) {
        const bool expected = pattern_accepts(bic);
        EXPECT_EQ(check_bic_format(bic.c_str()), expected ? 1 : 0) << bic;
        ++compared;
        accepted += expected ? 1 : 0;
    };
    for (const std::string valid : {"ABCDDEFF", "ABCDDEFF500"}) {
        for (size_t at = 0; at < valid.size(); ++at) {
            for (int byte = 1; byte < 256; ++byte) {
                std::string bic = valid;
                bic[at] = static_cast<char>(byte);
                compare(bic);
            }
        }
    }
    const std::string edges = "AZNOPaoz0129@[`{/: \n\x80\xC3";
    for (const std::string valid : {"ABCDDEFF", "ABCDDEFF500"}) {
        for (size_t i = 0; i < valid.size(); ++i) {
            for (size_t j = i + 1; j < valid.size(); ++j) {
                for (const char a : edges) {
                    for (const char b : edges) {
                        std::string bic = valid;
                        bic[i] = a;
                        bic[j] = b;
                        compare(bic);
                    }
                }
            }
        }
    }
    for (size_t length = 0; length <= 14; ++length) {
        compare(std::string(length, 'A'));
        compare(std::string(length, '9'));
        compare(std::string("ABCDDEFF500XYZ").substr(0, length));
    }
    generator random{15};
    // Mostly letters and digits, so that a good share of them is accepted.
    const std::string common = "ABNOPZ0129";
    for (int n = 0; n < 200000; ++n) {
        std::string bic(static_cast<size_t>(7 + random.below(6)), ' ');
        for (char &c : bic) {
            const std::string &from = random.below(10) == 0 ? edges : common;
            c = from[static_cast<size_t>(random.below(static_cast<int>(from.size())))];
        }
        compare(bic);
    }
    regfree(&pattern);
    EXPECT_GT(accepted, 3000) << "of " << compared;
}

TEST(CheckLineLength, Bounds) {
    EXPECT_EQ(check_line_length(nullptr), 0);
    EXPECT_EQ(check_line_length(""), 0);
    EXPECT_EQ(check_line_length("x"), 1);
    EXPECT_EQ(check_line_length(std::string(70, 'a').c_str()), 1);
    EXPECT_EQ(check_line_length(std::string(71, 'a').c_str()), 0);
}

TEST(Cleanup, ChecksWorkAfterCleanup) {
    EXPECT_EQ(check_bic_format("ABCDDEFF"), 1);
    sepa_cleanup();
    EXPECT_EQ(check_bic_format("ABCDDEFF"), 1);
    sepa_cleanup();
    sepa_cleanup();  // releasing twice is harmless
    EXPECT_EQ(check_line_length("line"), 1);
}

TEST(Cleanup, ChecksOnManyThreadsBetweenCleanups) {
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

namespace {

// Every class of byte sequence once: what latin1_to_utf8 (and sepa_text_toUTF8) makes
// of it. Well-formed UTF-8 stays; anything else is read byte by byte as Latin-1.
struct utf8_case {
    const char *name;
    std::string input;
    std::string expected;
};

const utf8_case utf8_cases[] = {
    {"ascii", "Muster GmbH", "Muster GmbH"},
    {"empty", "", ""},
    {"two-byte umlaut", "M\xC3\xBCller", "M\xC3\xBCller"},
    {"three-byte euro", "\xE2\x82\xAC", "\xE2\x82\xAC"},
    {"four-byte emoji", "\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},
    {"highest code point", "\xF4\x8F\xBF\xBF", "\xF4\x8F\xBF\xBF"},
    {"latin-1 umlauts", "M\xFCller \xC4", "M\xC3\xBCller \xC3\x84"},
    {"stray continuation", "\x80", "\xC2\x80"},
    {"lead byte at the end", "a\xC3", "a\xC3\x83"},
    {"lead byte before ascii",
     "\xC3"
     "a",
     "\xC3\x83"
     "a"},
    {"overlong slash", "\xC0\xAF", "\xC3\x80\xC2\xAF"},
    {"overlong nul", "\xC0\x80", "\xC3\x80\xC2\x80"},
    {"overlong three-byte", "\xE0\x80\xAF", "\xC3\xA0\xC2\x80\xC2\xAF"},
    {"surrogate", "\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xC2\x80"},
    {"beyond U+10FFFF", "\xF4\x90\x80\x80", "\xC3\xB4\xC2\x90\xC2\x80\xC2\x80"},
    {"cut four-byte", "\xF0\x9F\x98", "\xC3\xB0\xC2\x9F\xC2\x98"},
    {"byte FF", "\xFF", "\xC3\xBF"},
};

TEST(Utf8Text, Latin1ToUtf8Table) {
    for (const utf8_case &c : utf8_cases) {
        std::string out(latin1_to_utf8_capacity(c.input.size()), '\0');
        out.resize(latin1_to_utf8(c.input.data(), c.input.size(), out.data()));
        EXPECT_EQ(out, c.expected) << c.name;
        // Converting again changes nothing: the result is well-formed UTF-8.
        std::string again(latin1_to_utf8_capacity(out.size()), '\0');
        again.resize(latin1_to_utf8(out.data(), out.size(), again.data()));
        EXPECT_EQ(again, out) << c.name;

        char *exported = sepa_text_toUTF8(c.input.c_str());
        ASSERT_NE(exported, nullptr) << c.name;
        EXPECT_EQ(std::string(exported), c.expected) << c.name;
        std::free(exported);
    }
    EXPECT_EQ(sepa_text_toUTF8(nullptr), nullptr);
}

TEST(Utf8Text, SequenceLengthStopsAtTheEndOfTheText) {
    const auto *euro = reinterpret_cast<const unsigned char *>("\xE2\x82\xAC");
    EXPECT_EQ(utf8_sequence_length(euro, 3), 3u);
    EXPECT_EQ(utf8_sequence_length(euro, 2), 0u);
    EXPECT_EQ(utf8_sequence_length(euro, 0), 0u);
}

}  // namespace
