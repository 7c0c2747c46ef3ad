// The payment message: creation, release, and the setters of the initiating side.
#include <gtest/gtest.h>

#include <cstring>
#include <ctime>
#include <string>

#include "core/frame/clock.h"
#include "core/frame/rulebook.h"
#include "sepa.h"

namespace {

// Field values of a message, for "a refusal changes nothing" comparisons.
struct message_state {
    std::string iban, bic, name, creditor_id, date, message_id;
    int32_t dd_type;
    uint8_t batch_booking;
    uint32_t tx_count;
    double control_sum;
    const void *tx_head;
    const void *tx_tail;

    explicit message_state(const sepa_t *m)
        : iban(text(m->iban)), bic(text(m->bic)), name(text(m->name)), creditor_id(text(m->creditor_id)),
          date(text(m->date)), message_id(text(m->message_id)), dd_type(m->dd_type), batch_booking(m->batch_booking),
          tx_count(m->tx_count), control_sum(m->control_sum), tx_head(m->tx_head), tx_tail(m->tx_tail) {}
    static std::string text(const char *t) { return t ? t : "<null>"; }
    bool operator==(const message_state &) const = default;
};

class MessageTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(sepa_init(SEPA_INIT_RULEBOOK, "DE-3.5"), 1);
        dd = sepa_new(SEPA_MSGTYPE_DDI);
        ct = sepa_new(SEPA_MSGTYPE_CTI);
        ASSERT_NE(dd, nullptr);
        ASSERT_NE(ct, nullptr);
    }
    void TearDown() override {
        sepa_free(dd);
        sepa_free(ct);
    }
    sepa_t *dd = nullptr;
    sepa_t *ct = nullptr;
};

time_t local_noon(int year, int month, int day) {
    struct tm t {};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = 12;
    t.tm_isdst = -1;
    return mktime(&t);
}

TEST(MessageNew, RefusedTypeStillFixesTheDefaultRulebook) {
    const struct {
        int year, month, day;
        int rulebook;
    } cases[] = {{2021, 12, 20, RULEBOOK_DE_3_1}, {2021, 12, 21, RULEBOOK_DE_3_5},   {2019, 1, 1, RULEBOOK_DE_3_1},
                 {2026, 11, 14, RULEBOOK_DE_3_5}, {2026, 11, 15, RULEBOOK_DE_26_11}, {2030, 1, 1, RULEBOOK_DE_26_11}};
    for (const auto &c : cases) {
        reset_rulebook_for_tests();
        clock_pin_for_tests(local_noon(c.year, c.month, c.day));
        EXPECT_EQ(sepa_new(3), nullptr);
        EXPECT_EQ(current_rulebook(), c.rulebook) << c.year << "-" << c.month << "-" << c.day;
        // Once chosen, a later date does not change it.
        clock_pin_for_tests(local_noon(2030, 1, 1));
        sepa_free(sepa_new(SEPA_MSGTYPE_DDI));
        EXPECT_EQ(current_rulebook(), c.rulebook);
    }
    clock_unpin_for_tests();
}

TEST(MessageNew, RulebookChosenBeforeTheFirstMessageStays) {
    reset_rulebook_for_tests();
    ASSERT_EQ(sepa_init(SEPA_INIT_RULEBOOK, "DE-2.7"), 1);
    sepa_t *m = sepa_new(SEPA_MSGTYPE_CTI);
    EXPECT_EQ(current_rulebook(), RULEBOOK_DE_2_7);
    sepa_free(m);
}

TEST_F(MessageTest, NewMessageDefaults) {
    for (sepa_t *m : {dd, ct}) {
        EXPECT_EQ(m->dd_type, SEPA_DDTYPE_CORE);
        EXPECT_EQ(m->batch_booking, 1);
        EXPECT_EQ(m->tx_count, 0u);
        EXPECT_EQ(m->control_sum, 0.0);
        EXPECT_EQ(m->tx_head, nullptr);
        EXPECT_EQ(m->tx_tail, nullptr);
        EXPECT_EQ(m->iban, nullptr);
        EXPECT_EQ(m->error, nullptr);
        EXPECT_EQ(sepa_getError(m), nullptr);
    }
    EXPECT_EQ(dd->type, static_cast<uint32_t>(SEPA_MSGTYPE_DDI));
    EXPECT_EQ(ct->type, static_cast<uint32_t>(SEPA_MSGTYPE_CTI));
}

TEST_F(MessageTest, FreeIgnoresNullAndReleasesEverything) {
    sepa_free(nullptr);
    ASSERT_EQ(sepa_setIBAN(dd, "AT611904300234573201"), 1);
    ASSERT_EQ(sepa_setBIC(dd, "BKAUATWW"), 1);
    ASSERT_EQ(sepa_setName(dd, "Creditor"), 1);
    ASSERT_EQ(sepa_setCreditorIdentifier(dd, "DE98ZZZ09999999999"), 1);
    ASSERT_EQ(sepa_setDate(dd, "2030-01-31"), 1);
    ASSERT_EQ(sepa_setMessageId(dd, "MSG-1"), 1);
    // Leaks or double frees show up under the sanitizer build.
}

// Every handle function answers a NULL handle with its failure value.
TEST(MessageNullHandle, EveryFunctionRefuses) {
    EXPECT_EQ(sepa_setIBAN(nullptr, "AT611904300234573201"), 0);
    EXPECT_EQ(sepa_setBIC(nullptr, "BKAUATWW"), 0);
    EXPECT_EQ(sepa_setName(nullptr, "Name"), 0);
    EXPECT_EQ(sepa_setCreditorIdentifier(nullptr, "DE98ZZZ09999999999"), 0);
    EXPECT_EQ(sepa_setDate(nullptr, "2030-01-31"), 0);
    EXPECT_EQ(sepa_setDDType(nullptr, 0), 0);
    EXPECT_EQ(sepa_setBatchBooking(nullptr, 1), 0);
    EXPECT_EQ(sepa_setMessageId(nullptr, "ID"), 0);
    const sepa_kvpair_t end[] = {{nullptr, nullptr}};
    EXPECT_EQ(sepa_add(nullptr, end), 0);
    EXPECT_STREQ(sepa_getError(nullptr), "Invalid sepa_t handle (NULL)");
}

using setter = int (*)(sepa_t *, const char *);

struct setter_case {
    const char *label;
    setter set;
    const char *value;
    const char *error;  // nullptr: accepted
};

// Applies each case to a message holding accepted values and checks the result, the
// error text, and that a refusal changed nothing else.
void run_setter_cases(sepa_t *m, const setter_case *cases, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        const setter_case &c = cases[i];
        const message_state before(m);
        const int result = c.set(m, c.value);
        if (c.error == nullptr) {
            EXPECT_EQ(result, 1) << c.label << " " << (c.value ? c.value : "NULL") << ": " << sepa_getError(m);
        } else {
            EXPECT_EQ(result, 0) << c.label << " " << (c.value ? c.value : "NULL");
            EXPECT_STREQ(sepa_getError(m), c.error) << c.label;
            EXPECT_TRUE(before == message_state(m)) << c.label << " changed the message";
        }
    }
}

const std::string name70(70, 'a');
const std::string name71(71, 'a');
const std::string id35(35, 'I');
const std::string id36(36, 'I');

TEST_F(MessageTest, SettersOfTextFields) {
    const setter_case cases[] = {
        {"iban", sepa_setIBAN, "DE89370400440532013000", nullptr},
        {"iban", sepa_setIBAN, "DE89370400440532013001", "Invalid IBAN checksum (DE89370400440532013001)"},
        {"iban", sepa_setIBAN, "GB82WEST12345698765432", nullptr},
        {"iban", sepa_setIBAN, "GB82WEST12345698765423", "Invalid IBAN checksum (GB82WEST12345698765423)"},
        {"iban", sepa_setIBAN, "XX82", "Invalid or unknown IBAN country code (XX82)"},
        {"iban", sepa_setIBAN, nullptr, "Invalid IBAN (NULL)"},
        {"iban", sepa_setIBAN, "gb82west12345698765432", "Invalid IBAN format (gb82west12345698765432)"},
        {"bic", sepa_setBIC, "bkauatww", nullptr},
        {"bic", sepa_setBIC, "BKAUATWW500", nullptr},
        {"bic", sepa_setBIC, "BKAUATWW5000", "sepa_setBIC: invalid BIC"},
        {"bic", sepa_setBIC, nullptr, "sepa_setBIC: invalid BIC"},
        {"bic", sepa_setBIC, "BKAUATW", "sepa_setBIC: invalid BIC format"},
        {"bic", sepa_setBIC, "BKAUAT1W", "sepa_setBIC: invalid BIC format"},
        {"bic", sepa_setBIC, "BKAUATWO", "sepa_setBIC: invalid BIC format"},
        {"bic", sepa_setBIC, "", "sepa_setBIC: invalid BIC format"},
        {"name", sepa_setName, name70.c_str(), nullptr},
        {"name", sepa_setName, "Müller & Söhne", nullptr},
        {"name", sepa_setName, name71.c_str(), "sepa_setAccount: Name too long"},
        {"name", sepa_setName, "", "sepa_setAccount: Name too short"},
        {"name", sepa_setName, nullptr, "sepa_setAccount: Name too short"},
        {"name", sepa_setName, "A#B", "sepa_setName: invalid character '#' in name"},
        {"name", sepa_setName, "A_B", "sepa_setName: invalid character '_' in name"},
        {"cid", sepa_setCreditorIdentifier, "DE98ZZZ09999999999", nullptr},
        {"cid", sepa_setCreditorIdentifier, "DE98ABC09999999999", nullptr},  // business code not checked
        {"cid", sepa_setCreditorIdentifier, "de98zzz09999999999", nullptr},
        {"cid", sepa_setCreditorIdentifier, "DE98ZZZ09999999998", "Invalid Creditor Identifier checksum"},
        {"cid", sepa_setCreditorIdentifier, "DE98ZZ", "Creditor Identifier too short"},
        {"cid", sepa_setCreditorIdentifier, nullptr, "Creditor Identifier too short"},
        {"cid", sepa_setCreditorIdentifier, id36.c_str(), "Creditor Identifier too long"},
        {"cid", sepa_setCreditorIdentifier, "DE98ZZZ0999-999999", "Invalid character in Creditor Identifier"},
        // The layout the schemas demand: letters, digits, a business code without blanks.
        {"cid", sepa_setCreditorIdentifier, "DE98Z-Z09999999999", nullptr},
        {"cid", sepa_setCreditorIdentifier, "DE98Z Z09999999999", "Invalid character in Creditor Identifier"},
        {"cid", sepa_setCreditorIdentifier, "DE98Z&Z09999999999", "Invalid character in Creditor Identifier"},
        {"cid", sepa_setCreditorIdentifier,
         "DE98Z\xC3\xA4"
         "09999999999",
         "Invalid character in Creditor Identifier"},
        {"cid", sepa_setCreditorIdentifier, "1398ZZZ09999999999", "Invalid character in Creditor Identifier"},
        {"date", sepa_setDate, "2024-02-29", nullptr},
        {"date", sepa_setDate, "2000-02-29", nullptr},
        {"date", sepa_setDate, "2030-12-31", nullptr},
        {"date", sepa_setDate, "2024-1-1", "Invalid date"},
        {"date", sepa_setDate, nullptr, "Invalid date"},
        {"date", sepa_setDate, "2024-01-011", "Invalid date"},
        {"date", sepa_setDate, "2024-13-45", "Invalid date format"},
        {"date", sepa_setDate, "2023-02-29", "Invalid date format"},
        {"date", sepa_setDate, "1900-02-29", "Invalid date format"},
        {"date", sepa_setDate, "2024-04-31", "Invalid date format"},
        {"date", sepa_setDate, "2024-00-10", "Invalid date format"},
        {"date", sepa_setDate, "2024-01-00", "Invalid date format"},
        {"date", sepa_setDate, "0000-01-01", "Invalid date format"},
        {"date", sepa_setDate, "abcd-ef-gh", "Invalid date format"},
        {"date", sepa_setDate, "2024/01/01", "Invalid date format"},
        {"date", sepa_setDate, "2024-01-1x", "Invalid date format"},
        {"date", sepa_setDate, " 2024-1-01", "Invalid date format"},
        {"msgid", sepa_setMessageId, id35.c_str(), nullptr},
        {"msgid", sepa_setMessageId, "A b'()+,-./:?", nullptr},
        {"msgid", sepa_setMessageId, id36.c_str(), "Invalid message id"},
        {"msgid", sepa_setMessageId, "A_B", "Invalid message id"},
        {"msgid", sepa_setMessageId, "Ä", "Invalid message id"},
        {"msgid", sepa_setMessageId, "", "Invalid message id"},
        {"msgid", sepa_setMessageId, nullptr, "Invalid message id"},
    };
    for (sepa_t *m : {dd, ct}) run_setter_cases(m, cases, std::size(cases));
    EXPECT_STREQ(dd->bic, "BKAUATWW500");
    EXPECT_STREQ(dd->iban, "GB82WEST12345698765432");
    EXPECT_STREQ(dd->name, "Müller & Söhne");
    EXPECT_STREQ(dd->creditor_id, "DE98Z-Z09999999999");
    EXPECT_STREQ(dd->date, "2030-12-31");
    EXPECT_STREQ(dd->message_id, "A b'()+,-./:?");
}

TEST_F(MessageTest, LowerCaseBicIsStoredInUpperCase) {
    ASSERT_EQ(sepa_setBIC(ct, "bkauatww"), 1);
    EXPECT_STREQ(ct->bic, "BKAUATWW");
}

TEST_F(MessageTest, LongIbanIsCutInTheErrorText) {
    const std::string long_iban = "GB" + std::string(400, '1');
    EXPECT_EQ(sepa_setIBAN(ct, long_iban.c_str()), 0);
    // The IBAN is quoted shortened, so the text ends with its closing parenthesis.
    const std::string error = sepa_getError(ct);
    EXPECT_LT(error.size(), 255u);
    EXPECT_EQ(error.rfind("Wrong IBAN length (GB111", 0), 0u);
    EXPECT_EQ(error.substr(error.size() - 5), "1...)");
}

TEST_F(MessageTest, NameCharacterSetFollowsTheRulebook) {
    ASSERT_EQ(sepa_init(SEPA_INIT_RULEBOOK, "DE-2.6"), 1);
    EXPECT_EQ(sepa_setName(ct, "Jürgen"), 0);
    EXPECT_STREQ(sepa_getError(ct), "sepa_setName: invalid character '\xC3\xBC' in name");
    ASSERT_EQ(sepa_init(SEPA_INIT_RULEBOOK, "AT-6"), 1);
    EXPECT_EQ(sepa_setName(ct, "A#B"), 1);
}

TEST_F(MessageTest, ErrorTextSurvivesLaterSuccess) {
    EXPECT_EQ(sepa_setDate(ct, "bad"), 0);
    EXPECT_EQ(sepa_setDate(ct, "2030-01-01"), 1);
    EXPECT_STREQ(sepa_getError(ct), "Invalid date");
}

TEST_F(MessageTest, DirectDebitType) {
    struct dd_type_case {
        const char *rulebook;
        int code;
        const char *error;
    };
    const dd_type_case cases[] = {
        {"DE-3.5", SEPA_DDTYPE_COR1, "COR1 is not allowed with selected SEPA rulebook"},
        {"DE-2.6", SEPA_DDTYPE_COR1, "COR1 is not allowed with selected SEPA rulebook"},
        {"DE-3.7", SEPA_DDTYPE_COR1, "COR1 is not allowed with selected SEPA rulebook"},
        {"DE-2.9", SEPA_DDTYPE_COR1, nullptr},
        {"AT-6", SEPA_DDTYPE_COR1, nullptr},
        {"DE-3.5", SEPA_DDTYPE_B2B, nullptr},
        {"DE-3.5", SEPA_DDTYPE_CORE, nullptr},
        {"DE-3.5", 3, "Unknown/unsupported LocalInstrumentCode (setDDType)"},
        {"DE-3.5", -1, "Unknown/unsupported LocalInstrumentCode (setDDType)"},
    };
    for (const auto &c : cases) {
        ASSERT_EQ(sepa_init(SEPA_INIT_RULEBOOK, c.rulebook), 1);
        const int before = dd->dd_type;
        const int result = sepa_setDDType(dd, c.code);
        if (c.error == nullptr) {
            EXPECT_EQ(result, 1) << c.rulebook << " " << c.code;
            EXPECT_EQ(dd->dd_type, c.code);
        } else {
            EXPECT_EQ(result, 0) << c.rulebook << " " << c.code;
            EXPECT_STREQ(sepa_getError(dd), c.error);
            EXPECT_EQ(dd->dd_type, before);
        }
    }
    for (int code : {0, 1, 2}) {
        EXPECT_EQ(sepa_setDDType(ct, code), 0);
        EXPECT_STREQ(sepa_getError(ct), "Not a direct debit message");
    }
}

TEST_F(MessageTest, BatchBooking) {
    for (sepa_t *m : {dd, ct}) {
        EXPECT_EQ(sepa_setBatchBooking(m, 0), 1);
        EXPECT_EQ(m->batch_booking, 0);
        EXPECT_EQ(sepa_setBatchBooking(m, 2), 0);
        EXPECT_STREQ(sepa_getError(m), "Invalid BatchBooking mode (only 0 or 1 allowed)");
        EXPECT_EQ(m->batch_booking, 0);
        EXPECT_EQ(sepa_setBatchBooking(m, 1), 1);
        EXPECT_EQ(m->batch_booking, 1);
    }
}

}  // namespace
