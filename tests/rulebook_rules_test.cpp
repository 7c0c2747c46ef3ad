// What each rulebook row decides for payment messages, through the public
// interface: addresses per rulebook (structured, hybrid, lines only, structured
// keys under old rulebooks), the address rules for banks outside the EEA (by BIC
// and by IBAN country), SEPA Instant, and rendering under another rulebook than
// the one the transactions were added under.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "core/frame/rulebook.h"
#include "sepa.h"

namespace {

using pair_list = std::vector<std::pair<const char *, const char *>>;

struct rulebook_scope {
    explicit rulebook_scope(const char *name) { EXPECT_EQ(sepa_init(SEPA_INIT_RULEBOOK, name), 1) << name; }
    ~rulebook_scope() { sepa_init(SEPA_INIT_RULEBOOK, "DE-3.5"); }
};

// A message of `type` with its own data set, freed at the end of the scope.
struct filled_message {
    sepa_t *m;
    explicit filled_message(int type) : m(sepa_new(type)) {
        sepa_setIBAN(m, "DE89370400440532013000");
        sepa_setBIC(m, "COBADEFFXXX");
        sepa_setName(m, "Verein e.V.");
        if (type == SEPA_MSGTYPE_DDI) sepa_setCreditorIdentifier(m, "DE98ZZZ09999999999");
        sepa_setDate(m, "2026-12-15");
    }
    ~filled_message() { sepa_free(m); }
    int add(const pair_list &pairs) {
        // The mandate data of a direct debit first: a later pair of the same key wins.
        std::vector<sepa_kvpair_t> list;
        if (m->type == SEPA_MSGTYPE_DDI) list = {{"seq", "FRST"}, {"mref", "M-1"}, {"mdate", "2026-01-02"}};
        for (const auto &p : pairs) list.push_back({p.first, p.second});
        list.push_back({nullptr, nullptr});
        return sepa_add(m, list.data());
    }
    std::string xml() {
        char *text = sepa_toXML(m);
        std::string result = text != nullptr ? text : "";
        free(text);
        return result;
    }
    std::string error() const { return sepa_getError(m) != nullptr ? sepa_getError(m) : ""; }
};

const pair_list structured = {{"addrStreet", "Hauptstr."},
                              {"addrBuildingNumber", "1"},
                              {"addrPostCode", "10115"},
                              {"addrTown", "Berlin"},
                              {"addrCC", "DE"}};
const pair_list hybrid = {{"addrTown", "Wien"}, {"addrCC", "AT"}, {"addrLine1", "Ringstr. 1"}};
const pair_list lines_only = {{"addrCC", "AT"}, {"addrLine1", "Ringstr. 1"}, {"addrLine2", "1010 Wien"}};

pair_list with(pair_list a, const pair_list &b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// `pairs` with the values of `changes` in place of the same keys, new keys appended.
pair_list overridden(pair_list pairs, const pair_list &changes) {
    for (const auto &kv : changes) {
        bool replaced = false;
        for (auto &own : pairs) {
            if (std::string(own.first) == kv.first) {
                own.second = kv.second;
                replaced = true;
            }
        }
        if (!replaced) pairs.push_back(kv);
    }
    return pairs;
}

const pair_list base = {{"name", "Erika Muster"}, {"iban", "DE02120300000000202051"}, {"amount", "12.50"}};

TEST(Addresses, PerRulebook) {
    const char *needs_structured = "Structured address key 'addrStreet' needs rulebook DE-3.7 or later (rulebook %s)";
    const struct {
        const char *rulebook;
        const pair_list *address;
        const char *error;  // nullptr: accepted; %s = the rulebook
        const char *written;
    } cases[] = {
        {"DE-3.5", &lines_only, nullptr,
         "<PstlAdr>\n\t\t\t\t\t<Ctry>AT</Ctry>\n\t\t\t\t\t<AdrLine>Ringstr. 1</AdrLine>"},
        {"DE-3.5", &structured, needs_structured, nullptr},
        {"AT-6", &structured, needs_structured, nullptr},
        {"DE-2.6", &hybrid, "Structured address key 'addrTown' needs rulebook DE-3.7 or later (rulebook %s)", nullptr},
        {"DE-3.7", &lines_only, nullptr, "<Ctry>AT</Ctry>"},
        {"DE-3.7", &structured, nullptr,
         "<PstlAdr>\n\t\t\t\t\t<StrtNm>Hauptstr.</StrtNm>\n\t\t\t\t\t<BldgNb>1</BldgNb>\n\t\t\t\t\t<PstCd>10115</PstCd>\n"
         "\t\t\t\t\t<TwnNm>Berlin</TwnNm>\n\t\t\t\t\t<Ctry>DE</Ctry>\n\t\t\t\t\t</PstlAdr>"},
        {"DE-3.8", &hybrid, nullptr,
         "<TwnNm>Wien</TwnNm>\n\t\t\t\t\t<Ctry>AT</Ctry>\n\t\t\t\t\t<AdrLine>Ringstr. 1</AdrLine>"},
        {"DE-3.9", &lines_only, "Address needs town name and country", nullptr},
        {"DE-3.9", &hybrid, nullptr, "<TwnNm>Wien</TwnNm>"},
        {"DE-26.11", &lines_only, "Address needs town name and country", nullptr},
        {"DE-26.11", &structured, nullptr, "<StrtNm>Hauptstr.</StrtNm>"},
    };
    for (const auto &c : cases) {
        rulebook_scope scope(c.rulebook);
        filled_message ct(SEPA_MSGTYPE_CTI);
        const int added = ct.add(with(base, *c.address));
        if (c.error != nullptr) {
            char expected[256];
            snprintf(expected, sizeof expected, c.error, c.rulebook);
            EXPECT_EQ(added, 0) << c.rulebook;
            EXPECT_EQ(ct.error(), expected) << c.rulebook;
            // The message's own address follows the same rules.
            int set = 1;
            for (const auto &[key, value] : *c.address) set = set && sepa_setAddress(ct.m, key, value);
            if (std::string(c.error).find("town name") == std::string::npos) {
                EXPECT_EQ(set, 0) << c.rulebook;
                EXPECT_EQ(ct.error(), expected) << c.rulebook;
            }
            continue;
        }
        ASSERT_EQ(added, 1) << c.rulebook << ": " << ct.error();
        const std::string doc = ct.xml();
        EXPECT_NE(doc.find(c.written), std::string::npos) << c.rulebook << "\n" << doc;
    }
}

TEST(Addresses, KeysLengthsAndCharacters) {
    rulebook_scope scope("DE-26.11");
    filled_message dd(SEPA_MSGTYPE_DDI);
    const struct {
        const char *key, *value, *error;
    } cases[] = {
        {"addrTown", "123456789012345678901234567890123456", "Invalid town name (must be 1-35 characters)"},
        {"addrPostCode", "12345678901234567", "Invalid post code (must be 1-16 characters)"},
        {"addrBuildingNumber", "", "Invalid building number (must be 1-16 characters)"},
        {"addrStreet", "A~B", "Invalid character '~' in street name"},
        {"addrCC", "de", "Invalid country code"},
        {"ADDRTOWN", "Berlin", nullptr},
        {"addrCountrySubDivision", "Bayern", nullptr},
    };
    for (const auto &c : cases) {
        const int added = dd.add(with(base, {{c.key, c.value}, {"addrTown", "X"}, {"addrCC", "DE"}}));
        EXPECT_EQ(added, c.error == nullptr ? 1 : 0) << c.key;
        if (c.error != nullptr) {
            EXPECT_EQ(dd.error(), c.error) << c.key;
        }
    }
    EXPECT_EQ(sepa_setAddress(dd.m, "addrTwn", "Berlin"), 0);
    EXPECT_EQ(dd.error(), "Invalid address key 'addrTwn'");
    EXPECT_EQ(sepa_setAddress(nullptr, "addrTown", "Berlin"), 0);
    // Setting and removing parts of the creditor's own address.
    ASSERT_EQ(sepa_setAddress(dd.m, "addrTown", "Berlin"), 1);
    ASSERT_EQ(sepa_setAddress(dd.m, "addrCC", "DE"), 1);
    ASSERT_EQ(sepa_setAddress(dd.m, "addrDept", "Mitgliederverwaltung"), 1);
    ASSERT_EQ(sepa_setAddress(dd.m, "addrDept", nullptr), 1);
    const std::string doc = dd.xml();
    ASSERT_FALSE(doc.empty()) << dd.error();
    EXPECT_NE(doc.find("<Cdtr>\n\t\t\t\t<Nm>Verein e.V.</Nm>\n\t\t\t\t<PstlAdr>\n\t\t\t\t\t<TwnNm>Berlin</TwnNm>\n"
                       "\t\t\t\t\t<Ctry>DE</Ctry>\n\t\t\t\t</PstlAdr>"),
              std::string::npos)
        << doc;
    EXPECT_EQ(doc.find("Dept"), std::string::npos);
    // A town without country stays unrenderable under DE-26.11.
    ASSERT_EQ(sepa_setAddress(dd.m, "addrCC", nullptr), 1);
    EXPECT_TRUE(dd.xml().empty());
    EXPECT_EQ(dd.error(), "Creditor address: Address needs town name and country");
}

// A direct debit from a bank outside the EEA needs the debtor's address, found by
// the BIC or, without one, by the IBAN's country; under DE-26.11 a credit transfer
// to such a bank needs the payer's own town and country.
TEST(Addresses, BanksOutsideTheEea) {
    const char *swiss_iban = "CH9300762011623852957";
    const struct {
        const char *rulebook;
        int type;
        pair_list tx;
        const char *error;
    } cases[] = {
        {"DE-3.5", SEPA_MSGTYPE_DDI, {{"bic", "UBSWCHZH80A"}}, "Address required for BICs outside EEA"},
        {"DE-3.5", SEPA_MSGTYPE_DDI, {{"iban", swiss_iban}}, "Address required for BICs outside EEA"},
        {"DE-3.5", SEPA_MSGTYPE_DDI, {{"iban", "GB29NWBK60161331926819"}}, "Address required for BICs outside EEA"},
        {"DE-3.5", SEPA_MSGTYPE_DDI, {{"iban", swiss_iban}, {"addrLine1", "Bahnhofstr. 1"}}, nullptr},
        {"DE-3.5", SEPA_MSGTYPE_DDI, {{"iban", swiss_iban}, {"bic", "COBADEFFXXX"}}, nullptr},  // the BIC decides
        {"DE-3.0", SEPA_MSGTYPE_DDI, {{"iban", swiss_iban}}, nullptr},
        {"DE-3.5", SEPA_MSGTYPE_CTI, {{"iban", swiss_iban}}, nullptr},
        {"DE-26.11", SEPA_MSGTYPE_DDI, {{"iban", swiss_iban}}, "Address required for BICs outside EEA"},
        {"DE-26.11", SEPA_MSGTYPE_DDI, {{"iban", swiss_iban}, {"addrTown", "Basel"}, {"addrCC", "CH"}}, nullptr},
    };
    for (const auto &c : cases) {
        rulebook_scope scope(c.rulebook);
        filled_message m(c.type);
        const pair_list tx = overridden(base, c.tx);
        const int added = m.add(tx);
        EXPECT_EQ(added, c.error == nullptr ? 1 : 0) << c.rulebook << " " << c.tx.front().second;
        if (c.error != nullptr) {
            EXPECT_EQ(m.error(), c.error) << c.rulebook;
        }
    }

    rulebook_scope scope("DE-26.11");
    for (const pair_list &creditor : {pair_list{{"iban", swiss_iban}}, pair_list{{"bic", "NWBKGB2L"}},
                                      pair_list{{"iban", "GB29NWBK60161331926819"}}}) {
        filled_message ct(SEPA_MSGTYPE_CTI);
        pair_list tx = {{"name", "Supplier"}, {"amount", "5"}};
        if (std::string(creditor.front().first) == "bic") tx.push_back({"iban", "DE02120300000000202051"});
        tx.insert(tx.end(), creditor.begin(), creditor.end());
        ASSERT_EQ(ct.add(tx), 1) << ct.error();
        EXPECT_TRUE(ct.xml().empty());
        EXPECT_EQ(ct.error(),
                  "Debtor address with town name and country required for creditor banks outside EEA (transaction 1, "
                  "rulebook DE-26.11)");
        ASSERT_EQ(sepa_setAddress(ct.m, "addrTown", "Berlin"), 1);
        EXPECT_TRUE(ct.xml().empty());
        ASSERT_EQ(sepa_setAddress(ct.m, "addrCC", "DE"), 1);
        EXPECT_NE(ct.xml().find("<Dbtr>\n\t\t\t\t<Nm>Verein e.V.</Nm>\n\t\t\t\t<PstlAdr>"), std::string::npos)
            << ct.error();
    }
}

TEST(Instant, OnlyCreditTransfersUnderRulebooksWithPain00100109) {
    for (int r = 0; r < RULEBOOK_COUNT; ++r) {
        rulebook_scope scope(rulebook_table[r].name);
        filled_message ct(SEPA_MSGTYPE_CTI);
        ASSERT_EQ(ct.add(with(base, {{"bic", "BYLADEM1001"}})), 1);
        const bool allowed = std::string(rulebook_table[r].ct.name) == "pain.001.001.09";
        EXPECT_EQ(sepa_setInstant(ct.m, 1), allowed ? 1 : 0) << rulebook_table[r].name;
        const std::string doc = ct.xml();
        if (allowed) {
            EXPECT_NE(doc.find("<SvcLvl>\n\t\t\t\t\t<Cd>SEPA</Cd>\n\t\t\t\t</SvcLvl>\n\t\t\t\t<LclInstrm>\n"
                               "\t\t\t\t\t<Cd>INST</Cd>\n\t\t\t\t</LclInstrm>"),
                      std::string::npos)
                << doc;
        } else {
            EXPECT_EQ(ct.error(), "SEPA Instant needs rulebook DE-3.7 or later (pain.001.001.09)");
            EXPECT_EQ(doc.find("INST"), std::string::npos);
        }
        EXPECT_EQ(sepa_setInstant(ct.m, 0), 1);
        EXPECT_EQ(ct.xml().find("LclInstrm"), std::string::npos);
        EXPECT_EQ(sepa_setInstant(ct.m, 2), 0);
    }
    filled_message dd(SEPA_MSGTYPE_DDI);
    EXPECT_EQ(sepa_setInstant(dd.m, 1), 0);
    EXPECT_EQ(dd.error(), "Not a credit transfer message");
    EXPECT_EQ(sepa_setInstant(nullptr, 1), 0);
    // Set under DE-3.7, rendered under DE-3.5: refused, not silently dropped.
    filled_message ct(SEPA_MSGTYPE_CTI);
    {
        rulebook_scope scope("DE-3.7");
        ASSERT_EQ(ct.add(base), 1);
        ASSERT_EQ(sepa_setInstant(ct.m, 1), 1);
    }
    EXPECT_TRUE(ct.xml().empty());
    EXPECT_EQ(ct.error(), "SEPA Instant is not allowed with rulebook DE-3.5");
}

// Rendering applies the rules of the rulebook it renders under to every
// transaction, whatever rulebook they were added under.
TEST(RulebookSwitch, RenderingChecksTheRulesOfItsRulebook) {
    const struct {
        const char *added_under, *rendered_under;
        int type;
        pair_list tx;
        const char *error;
    } cases[] = {
        {"DE-3.0",
         "DE-3.1",
         SEPA_MSGTYPE_DDI,
         {{"bic", "UBSWCHZH80A"}},
         "Address required for BICs outside EEA in transaction 1 (required by rulebook DE-3.1)"},
        {"DE-3.0",
         "DE-3.5",
         SEPA_MSGTYPE_DDI,
         {{"iban", "CH9300762011623852957"}},
         "Address required for BICs outside EEA in transaction 1 (required by rulebook DE-3.5)"},
        {"DE-3.5",
         "DE-2.6",
         SEPA_MSGTYPE_CTI,
         {{"name", "M\xC3\xBCller & Co"}, {"bic", "COBADEFFXXX"}},
         "Invalid character '\xC3\xBC' in creditor name of transaction 1 (rulebook DE-2.6)"},
        {"AT-6",
         "DE-3.5",
         SEPA_MSGTYPE_CTI,
         {{"ref", "Preis 5 \xE2\x82\xAC {netto}"}},
         "Invalid character '\xE2\x82\xAC' in unstructured remittance information of transaction 1 (rulebook DE-3.5)"},
        {"AT-6",
         "DE-3.5",
         SEPA_MSGTYPE_DDI,
         {{"addrLine1", "Gasse {3}"}},
         "Invalid character '{' in address line 1 of transaction 1 (rulebook DE-3.5)"},
        {"DE-3.5", "DE-2.6", SEPA_MSGTYPE_DDI, {}, "BIC missing in transaction 1 (required by rulebook DE-2.6)"},
        {"DE-3.5",
         "DE-2.9",
         SEPA_MSGTYPE_DDI,
         {{"mref", "M 1"}},
         "Invalid character ' ' in mandate reference of transaction 1 (rulebook DE-2.9)"},
        {"DE-3.5",
         "AT-6",
         SEPA_MSGTYPE_DDI,
         {{"mref", "M 1"}},
         "Invalid character ' ' in mandate reference of transaction 1 (rulebook AT-6)"},
        {"DE-3.7",
         "DE-3.5",
         SEPA_MSGTYPE_CTI,
         {{"addrTown", "Berlin"}, {"addrCC", "DE"}},
         "Structured address key 'addrTown' needs rulebook DE-3.7 or later (rulebook DE-3.5) in transaction 1 "
         "(required by rulebook DE-3.5)"},
        {"DE-3.7",
         "DE-3.9",
         SEPA_MSGTYPE_DDI,
         {{"addrCC", "AT"}, {"addrLine1", "Ringstr. 1"}},
         "Address needs town name and country in transaction 1 (required by rulebook DE-3.9)"},
    };
    for (const auto &c : cases) {
        sepa_init(SEPA_INIT_RULEBOOK, c.added_under);
        filled_message m(c.type);
        const pair_list tx = overridden(base, c.tx);
        ASSERT_EQ(m.add(tx), 1) << c.added_under << ": " << m.error();
        ASSERT_FALSE(m.xml().empty()) << c.added_under << ": " << m.error();
        rulebook_scope scope(c.rendered_under);
        EXPECT_TRUE(m.xml().empty()) << c.added_under << " -> " << c.rendered_under;
        EXPECT_EQ(m.error(), c.error);
    }
    // Under the rulebook they were added with, the same messages render again.
}

}  // namespace
