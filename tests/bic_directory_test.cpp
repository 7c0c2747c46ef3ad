// BIC directory: lookups by 8- and 11-character BICs, reachability flags, the entries
// whose flags are 0, and the block of sepa_bic_getBank.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "core/bank/bank_record.h"
#include "sepa.h"

namespace {

std::string text(const char *value) { return value != nullptr ? value : "(null)"; }

struct expected_bic {
    const char *query;
    const char *bic;
    uint8_t flags;
    const char *name;
    const char *country;
};

const expected_bic known_bics[] = {
    {"VOBADESSXXX", "VOBADESSXXX", SEPA_SCL_SCT | SEPA_SCL_SDD | SEPA_SCL_B2B, "VOLKSBANK STUTTGART EG", "DE"},
    {"vobadessxxx", "VOBADESSXXX", 11, "VOLKSBANK STUTTGART EG", "DE"},
    {"VOBADESS", "VOBADESSXXX", 11, "VOLKSBANK STUTTGART EG", "DE"},
    {"VobaDess", "VOBADESSXXX", 11, "VOLKSBANK STUTTGART EG", "DE"},
    {"COBADEFFXXX", "COBADEFFXXX", 11, "COMMERZBANK AG", "DE"},
    {"AABAFI22", "AABAFI22XXX", SEPA_SCL_SCT | SEPA_SCL_SDD, "BANK OF ALAND PLC", "FI"},
    {"AABSDE31", "AABSDE31XXX", SEPA_SCL_SCT, "AACHENER BAUSPARKASSE AKTIENGESELLSCHAFT", "DE"},
    // flags 0: the name still comes back
    {"GENODEF1STZ", "GENODEF1STZ", 0, "VOLKSBANK EG", "DE"},
    {"genode51gaa", "GENODE51GAA", 0, "RUESSELSHEIMER VOLKSBANK EG", "DE"},
    // listed as "ALCLESMM" (SCT, SDD, B2B) and as "ALCLESMMXXX" (SCT): one entry, all schemes
    {"ALCLESMM", "ALCLESMMXXX", 11, "BANCO ALCALA S.A.", "ES"},
    {"BIWBDE33", "BIWBDE33XXX", 11, "BIW BANK FUER INVESTMENTS UND WERTPAPIERE AG", "DE"},
};

TEST(BicLookup, FindsEntriesInAnyCaseWithAndWithoutBranch) {
    for (const auto &bic : known_bics) {
        SCOPED_TRACE(bic.query);
        bank_record_t record;
        ASSERT_EQ(bic_lookup(bic.query, &record), 1);
        EXPECT_EQ(text(record.bic), bic.bic);
        EXPECT_EQ(record.scl_flags, bic.flags);
        EXPECT_EQ(text(record.name), bic.name);
        EXPECT_EQ(text(record.country), bic.country);
        EXPECT_EQ(record.zip, nullptr);
        EXPECT_EQ(record.city, nullptr);
        EXPECT_EQ(record.successor, nullptr);
        EXPECT_EQ(record.deletion_flag, 0);
        EXPECT_EQ(record.method, 0);
        EXPECT_EQ(record.iban_rule, 0);
    }
}

TEST(BicLookup, RefusesMalformedAndUnknownBics) {
    const std::string over_long(500, 'A');
    const char *queries[] = {
        nullptr,           "",
        "VOBADES",         "VOBADESSX",
        "VOBADESSXX",      "VOBADESSXXXX",
        "VOBA-ESS",        "VOBADESS XX",
        "VOBA DESSXXX",    "VOBADESS\n",
        "_DE10000000",     "_AT12000xyz",
        "VOBADESSÄ",       "ZZZZZZZZ",
        "ZZZZZZZZZZZ",     "AAAADEFFXXX",
        over_long.c_str(),
    };
    for (const char *query : queries) {
        SCOPED_TRACE(text(query));
        bank_record_t record;
        EXPECT_EQ(bic_lookup(query, &record), 0);
        sepa_bankinfo_t *sentinel = reinterpret_cast<sepa_bankinfo_t *>(&record);
        sepa_bankinfo_t *info = sentinel;
        EXPECT_EQ(sepa_bic_getBank(query, &info), SEPA_BANK_ERR_UNKNOWN);
        EXPECT_EQ(info, sentinel);
        EXPECT_EQ(sepa_bic_getBank(query, nullptr), SEPA_BANK_ERR_UNKNOWN);
    }
    // A null record asks only whether the BIC is there.
    EXPECT_EQ(bic_lookup("VOBADESS", nullptr), 1);
    EXPECT_EQ(bic_lookup("VOBADESX", nullptr), 0);
}

TEST(BicGetBank, ReturnsNameCountryBicAndFlags) {
    for (const auto &bic : known_bics) {
        SCOPED_TRACE(bic.query);
        sepa_bankinfo_t *info = nullptr;
        ASSERT_EQ(sepa_bic_getBank(bic.query, &info), 1);
        ASSERT_NE(info, nullptr);
        EXPECT_EQ(text(info->name), bic.name);
        EXPECT_EQ(info->zip, nullptr);
        EXPECT_EQ(info->city, nullptr);
        EXPECT_EQ(text(info->country), bic.country);
        EXPECT_EQ(text(info->bic), bic.bic);
        EXPECT_EQ(info->flags, bic.flags);
        // name, country and BIC right behind the header, nothing else
        const char *base = reinterpret_cast<const char *>(info);
        EXPECT_EQ(info->name, base + sizeof(sepa_bankinfo_t));
        EXPECT_EQ(info->country, info->name + std::strlen(bic.name) + 1);
        EXPECT_EQ(info->bic, info->country + 3);
        std::free(info);
        EXPECT_EQ(sepa_bic_getBank(bic.query, nullptr), SEPA_BANK_OK);
    }
}

}  // namespace
