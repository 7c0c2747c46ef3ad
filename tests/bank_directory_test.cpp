// Bank directory: perfect hash, bank code lookups of every country, German versions on
// both sides of the switch-over, the public bank-info block.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <random>
#include <set>
#include <string>
#include <string_view>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

// With glibc this program counts calls of malloc (it forwards them to glibc's own), so
// that a test can show a lookup allocates nothing. Sanitizers bring their own heap.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define SEPA_TEST_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define SEPA_TEST_SANITIZED 1
#endif
#endif
#if defined(__GLIBC__) && !defined(SEPA_TEST_SANITIZED)
#define SEPA_COUNT_MALLOC 1
#include <atomic>
namespace {
std::atomic<long> malloc_calls{0};
std::atomic<bool> fail_next_malloc{false};  // lets a test see the out-of-memory path
}  // namespace
extern "C" void *__libc_malloc(size_t size);
extern "C" void *malloc(size_t size) {
    malloc_calls.fetch_add(1, std::memory_order_relaxed);
    if (fail_next_malloc.exchange(false)) return nullptr;
    return __libc_malloc(size);
}
#endif

#include "core/bank/bank_record.h"
#include "core/bank/directory_tables.h"
#include "core/frame/clock.h"
#include "sepa.h"

namespace {

// Pins the clock for one test and returns to the system clock afterwards.
struct clock_scope {
    explicit clock_scope(time_t instant) { clock_pin_for_tests(instant); }
    ~clock_scope() { clock_unpin_for_tests(); }
};

const time_t before_switch = static_cast<time_t>(directory_switch_over) - 1;
const time_t at_switch = static_cast<time_t>(directory_switch_over);

std::string text(const char *value) { return value != nullptr ? value : "(null)"; }

struct expected_bank {
    const char *country;
    const char *code;
    const char *bic;
    const char *name;
    const char *zip;
    const char *city;
    const char *record_country;
};

// One row per kind of source record; the values are those of the source files.
const expected_bank national_banks[] = {
    {"DE", "10000000", "MARKDEF1100", "Bundesbank", "10591", "Berlin", "DE"},
    {"DE", "37040044", "COBADEFFXXX", "Commerzbank", "50447", "Köln", "DE"},
    {"AT", "12000", "BKAUATWWXXX", "UniCredit Bank Austria AG", "1020", "Wien", "AT"},
    {"AT", "100", "NABAATWWXXX", "Oesterreichische Nationalbank", "1090", "Wien", "AT"},
    {"AT", "00100", "NABAATWWXXX", "Oesterreichische Nationalbank", "1090", "Wien", "AT"},
    {"AT", "1000", "BUNDATWWXXX", "Republik Österreich", "1010", "Wien", "AT"},
    {"CH", "100", "SNBZCHZZXXX", "Schweizerische Nationalbank", "8022", "Zürich", ""},
    {"CH", "00100", "SNBZCHZZXXX", "Schweizerische Nationalbank", "8022", "Zürich", ""},
    {"LI", "8800", "LILALI2XXXX", "Liechtensteinische Landesbank Aktiengesellschaft", "9490", "Vaduz", "LI"},
    {"CH", "8800", "LILALI2XXXX", "Liechtensteinische Landesbank Aktiengesellschaft", "9490", "Vaduz", "LI"},
    {"LI", "100", "SNBZCHZZXXX", "Schweizerische Nationalbank", "8022", "Zürich", ""},
    {"CH", "193", "SECGDEFFXXX", "SECB Swiss Euro Clearing Bank", "60486", "Frankfurt am Main", "DE"},
};

TEST(BankLookup, FindsEveryKindOfNationalRecord) {
    for (const auto &bank : national_banks) {
        SCOPED_TRACE(std::string(bank.country) + " " + bank.code);
        bank_record_t record;
        ASSERT_EQ(bank_lookup(bank.country, bank.code, &record), 1);
        EXPECT_EQ(text(record.bic), bank.bic);
        EXPECT_EQ(text(record.name), bank.name);
        EXPECT_EQ(text(record.zip), bank.zip);
        EXPECT_EQ(text(record.city), bank.city);
        EXPECT_EQ(text(record.country), bank.record_country);
        EXPECT_EQ(record.scl_flags, 0);
        if (std::strcmp(bank.country, "DE") != 0) {
            EXPECT_EQ(record.successor, nullptr);
            EXPECT_EQ(record.method, 0);
            EXPECT_EQ(record.iban_rule, 0);
            EXPECT_EQ(record.deletion_flag, 0);
        }
    }
}

struct expected_german {
    const char *code;
    uint8_t deletion_flag;
    uint8_t method;
    int32_t iban_rule;
    const char *successor;
    const char *bic;
    const char *name;
};

void expect_german(const expected_german &bank) {
    SCOPED_TRACE(bank.code);
    bank_record_t record;
    ASSERT_EQ(bank_lookup("DE", bank.code, &record), 1);
    EXPECT_EQ(record.deletion_flag, bank.deletion_flag);
    EXPECT_EQ(record.method, bank.method);
    EXPECT_EQ(record.iban_rule, bank.iban_rule);
    EXPECT_EQ(text(record.successor), bank.successor);
    EXPECT_EQ(text(record.bic), bank.bic);
    EXPECT_EQ(text(record.name), bank.name);
    EXPECT_EQ(text(record.country), "DE");
}

TEST(BankLookup, GermanHeaderFields) {
    const expected_german banks[] = {
        {"10000000", 0, 0x09, 4201, "", "MARKDEF1100", "Bundesbank"},
        {"10010010", 0, 0x24, 0, "", "PBNKDEFFXXX", "Postbank Ndl der Deutsche Bank"},
        // announced for deletion, with successor
        {"13061088", 1, 0x32, 0, "13061078", "GENODEF1HWR", "Raiffeisenbank Wismar -alt-"},
        {"10060198", 1, 0x06, 100, "37060193", "GENODED1PA6", "Pax-Bank"},
        // no BIC: the field is an empty string, not null
        {"25050299", 1, 0xA3, 2800, "25050180", "", "Sparkasse Hannover -alt-"},
        {"10050000", 0, 0xB8, 400, "", "BELADEBEXXX", nullptr},  // name checked below
    };
    for (time_t instant : {before_switch, at_switch}) {
        clock_scope clock(instant);
        for (const auto &bank : banks)
            if (bank.name != nullptr) expect_german(bank);
    }
}

TEST(BankLookup, SecondVersionAppliesFromTheSwitchOverOn) {
    struct two_versions {
        const char *code;
        expected_german first, second;
    };
    const two_versions banks[] = {
        {"10050000",
         {"10050000", 0, 0xB8, 400, "", "BELADEBEXXX", "Landesbank Berlin - Berliner Sparkasse"},
         {"10050000", 0, 0xB8, 400, "", "BELADEBEXXX", "BSK 1818 - Berliner Sparkasse"}},
        {"70010588",
         {"70010588", 0, 0x09, 0, "", "SCABDEMMXXX", "Deutsche Pfandbriefbank (Gf: Scalable Capital)"},
         {"70010588", 0, 0x09, 0, "", "", "Deutsche Pfandbriefbank (Gf: Scalable Capital)"}},
    };
    for (const auto &bank : banks) {
        {
            clock_scope clock(before_switch);
            expect_german(bank.first);
        }
        {
            clock_scope clock(at_switch);
            expect_german(bank.second);
        }
        {
            clock_scope clock(at_switch + 86400 * 365);
            expect_german(bank.second);
        }
        {
            clock_scope clock(0);
            expect_german(bank.first);
        }
    }
}

TEST(BankLookup, CodeOfOneEditionIsFoundAtAllTimes) {
    const expected_german banks[] = {
        // only in the first edition (withdrawn)
        {"50961312", 0, 0x32, 0, "", "GENODE51GRM", "Raiffeisenbank Groß-Rohrheim"},
        {"70012400", 0, 0x09, 0, "", "FLGMDE77XXX", "Bankhaus Obotritia"},
        // only in the second edition (new)
        {"21050055", 0, 0x09, 0, "", "HSHNDEHH555", "Hamburg Commercial Bank, GF Retail"},
        {"86021000", 0, 0x09, 0, "", "AIPGDE82XXX", "aifinyo payments"},
    };
    for (time_t instant : {time_t{0}, before_switch, at_switch, at_switch + 86400 * 365}) {
        clock_scope clock(instant);
        for (const auto &bank : banks) expect_german(bank);
    }
}

TEST(BankLookup, RefusesWhatIsNoStoredBankCode) {
    struct query {
        const char *country;
        const char *code;
    };
    const std::string over_long(300, '1');
    // clang-format off
    const query queries[] = {
        {"DE", "100000000"},   // nine digits
        {"DE", "1000000"},     // "_DE01000000" is no bank code
        {"AT", "120000"},      // six digits
        {"CH", "001000"},
        {"de", "10000000"},    // country names are exact
        {"ch", "100"},
        {"FR", "30004"},
        {"D", "10000000"},
        {"DEU", "10000000"},
        {"", "10000000"},
        {nullptr, "10000000"},
        {"DE", nullptr},
        {"DE", ""},
        {"DE", "1000000 "},    // blank below the key alphabet
        {"DE", "10 00000"},
        {"DE", "-1000000"},
        {"DE", "1000000\xC3"},
        {"DE", "ABCDEFGH"},    // hashed, but no stored key matches
        {"AT", "abcde"},
        {"DE", over_long.c_str()},
    };
    // clang-format on
    for (const auto &q : queries) {
        SCOPED_TRACE(text(q.country) + " " + text(q.code));
        bank_record_t record;
        EXPECT_EQ(bank_lookup(q.country, q.code, &record), 0);
    }
    // A null record asks only whether the code is there.
    EXPECT_EQ(bank_lookup("DE", "10000000", nullptr), 1);
    EXPECT_EQ(bank_lookup("DE", "99999999", nullptr), 0);
}

TEST(DirectoryHash, RefusesKeysOutsideTheAlphabetAndLengths) {
    EXPECT_LT(directory_hash(nullptr), 0);
    EXPECT_LT(directory_hash(""), 0);
    EXPECT_LT(directory_hash("_DE10"), 0);               // five characters
    EXPECT_LT(directory_hash("_DE100000000000000"), 0);  // sixteen characters
    EXPECT_LT(directory_hash("_DE 10000000"), 0);
    EXPECT_LT(directory_hash("_DE1000000{"), 0);  // '{' is 123
    EXPECT_LT(directory_hash("_DE10000/00"), 0);  // '/' is 47
    EXPECT_GE(directory_hash("_DE10000000"), 0);
    EXPECT_GE(directory_hash("zzzzzzzzzzzzzzz"), -static_cast<int>(directory_key_count));
}

// The key a stored record starts with: BICs and German codes 11 characters, others 8.
std::string stored_key(std::string_view record) {
    if (record.substr(0, 3) == "_AT" || record.substr(0, 3) == "_CH") return std::string(record.substr(0, 8));
    return std::string(record.substr(0, 11));
}

TEST(DirectoryHash, EveryStoredKeyHashesToItsOwnSlotAndIsFound) {
    ASSERT_GT(directory_key_count, 0u);
    size_t bics = 0, banks = 0;
    for (uint32_t slot = 0; slot < directory_key_count; ++slot) {
        const std::string key = stored_key(directory_record(slot));
        ASSERT_EQ(directory_hash(key.c_str()), static_cast<int>(slot)) << key;
        bank_record_t record;
        if (key[0] != '_') {
            ASSERT_EQ(bic_lookup(key.c_str(), &record), 1) << key;
            EXPECT_EQ(text(record.bic), key);
            ++bics;
        } else {
            const std::string country = key.substr(1, 2);
            for (time_t instant : {before_switch, at_switch}) {
                clock_scope clock(instant);
                ASSERT_EQ(bank_lookup(country.c_str(), key.c_str() + 3, &record), 1) << key;
                ASSERT_NE(record.name, nullptr) << key;
                ASSERT_NE(record.country, nullptr) << key;
                if (country != "CH") {
                    EXPECT_EQ(text(record.country), country) << key;
                }
                // The conversion's lean lookup reads the same version's rule fields.
                bank_record_t rule;
                ASSERT_EQ(bank_lookup_rule(country.c_str(), key.c_str() + 3, &rule), 1) << key;
                if (country == "DE") {
                    EXPECT_EQ(rule.method, record.method) << key;
                    EXPECT_EQ(rule.iban_rule, record.iban_rule) << key;
                    EXPECT_EQ(rule.deletion_flag, record.deletion_flag) << key;
                    EXPECT_EQ(text(rule.successor), text(record.successor)) << key;
                }
            }
            ++banks;
        }
    }
    EXPECT_EQ(bics + banks, directory_key_count);
    EXPECT_GT(bics, 4000u);
    EXPECT_GT(banks, 6000u);
}

// Random codes and BICs (valid in form or not): found exactly when their key is stored,
// and never anything else. Under the sanitizers this also shows that no input reads
// outside the tables.
TEST(DirectoryHash, RandomQueriesAreFoundExactlyWhenStored) {
    std::set<std::string> stored;
    for (uint32_t slot = 0; slot < directory_key_count; ++slot) stored.insert(stored_key(directory_record(slot)));
    std::mt19937 random(20250908);
    const std::string alphabet = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcxyz_-| \x7f\xc3";
    const char *countries[] = {"AT", "CH", "DE", "LI"};
    auto pick = [&](size_t n) { return static_cast<size_t>(random() % n); };
    for (int i = 0; i < 200000; ++i) {
        const bool digits_only = i % 2 == 0;
        std::string query;
        const size_t length = pick(14);
        for (size_t k = 0; k < length; ++k)
            query += digits_only ? static_cast<char>('0' + pick(10)) : alphabet[pick(alphabet.size())];
        bank_record_t record;
        const char *country = countries[pick(4)];
        const size_t width = std::strcmp(country, "DE") == 0 ? 8 : 5;
        const std::string table = std::strcmp(country, "LI") == 0 ? "CH" : country;
        const bool stored_code = length > 0 && length <= width &&
                                 stored.count("_" + table + std::string(width - length, '0') + query) > 0;
        ASSERT_EQ(bank_lookup(country, query.c_str(), &record), stored_code ? 1 : 0) << country << " " << query;

        std::string bic = query;
        for (char &c : bic) c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
        if (bic.size() == 8) bic += "XXX";
        const bool stored_bic = (query.size() == 8 || query.size() == 11) &&
                                bic.find_first_of("_-| \x7f\xc3") == std::string::npos && stored.count(bic) > 0;
        ASSERT_EQ(bic_lookup(query.c_str(), &record), stored_bic ? 1 : 0) << query;
    }
    // and a sample of real BICs and codes with one character changed
    size_t found_elsewhere = 0;
    for (const std::string &key : stored) {
        std::string changed = key;
        changed[key.size() - 1 - pick(3)] ^= 1;
        const bool expected = stored.count(changed) > 0;
        found_elsewhere += expected;
        EXPECT_EQ(directory_hash(changed.c_str()) >= 0 &&
                      stored_key(directory_record(static_cast<uint32_t>(directory_hash(changed.c_str())))) == changed,
                  expected)
            << changed;
    }
    EXPECT_LT(found_elsewhere, stored.size());
}

TEST(DirectoryTables, VertexTableHoldsSlotsOrMinusOne) {
    EXPECT_EQ(directory_vertex_count, (directory_key_count * 123 + 99) / 100);
    for (uint32_t v = 0; v < directory_vertex_count; ++v) {
        ASSERT_GE(directory_g[v], -1);
        ASSERT_LT(directory_g[v], static_cast<int32_t>(directory_key_count));
    }
    for (uint32_t i = 0; i < directory_hash_positions * directory_hash_alphabet; ++i) {
        ASSERT_LT(directory_t1[i], directory_vertex_count);
        ASSERT_LT(directory_t2[i], directory_vertex_count);
        ASSERT_LT(directory_t3[i], directory_vertex_count);
    }
}

// Checks that the strings follow `flags` in the order name, zip, city, country, bic,
// each right behind the previous one's NUL, and that absent ones take no room.
void expect_packed(const sepa_bankinfo_t *block) {
    const char *next = reinterpret_cast<const char *>(block) + sizeof(sepa_bankinfo_t);
    for (const char *field : {block->name, block->zip, block->city, block->country, block->bic}) {
        if (field == nullptr) continue;
        EXPECT_EQ(field, next);
        next = field + std::strlen(field) + 1;
    }
#if defined(__GLIBC__)
    EXPECT_GE(malloc_usable_size(const_cast<sepa_bankinfo_t *>(block)),
              static_cast<size_t>(next - reinterpret_cast<const char *>(block)));
#endif
}

TEST(BankidCheck, ReturnsThePackedBlock) {
    sepa_bankinfo_t *info = nullptr;
    ASSERT_EQ(sepa_bankid_check("DE", "10000000", &info), 1);
    ASSERT_NE(info, nullptr);
    EXPECT_STREQ(info->name, "Bundesbank");
    EXPECT_STREQ(info->zip, "10591");
    EXPECT_STREQ(info->city, "Berlin");
    EXPECT_STREQ(info->country, "DE");
    EXPECT_STREQ(info->bic, "MARKDEF1100");
    EXPECT_EQ(info->flags, 0);
    expect_packed(info);
    std::free(info);

    // A Swiss bank's empty country is an empty string in the block, not null.
    info = nullptr;
    ASSERT_EQ(sepa_bankid_check("CH", "100", &info), 1);
    ASSERT_NE(info->country, nullptr);
    EXPECT_STREQ(info->country, "");
    EXPECT_STREQ(info->city, "Zürich");
    expect_packed(info);
    std::free(info);

    info = nullptr;
    ASSERT_EQ(sepa_bankid_check("LI", "8800", &info), 1);
    EXPECT_STREQ(info->country, "LI");
    EXPECT_EQ(info->flags, 0);
    std::free(info);
}

TEST(BankidCheck, ResultCodes) {
    struct query {
        const char *country;
        const char *code;
        int result;
    };
    const query queries[] = {
        {"DE", "10000000", 1}, {"AT", "12000", 1},     {"CH", "100", 1},    {"LI", "8800", 1},
        {"de", "10000000", 0}, {"ch", "100", 0},       {"FR", "30004", 0},  {nullptr, "1", 0},
        {"", "1", 0},          {"DE", "99999999", -2}, {"DE", "", -2},      {"DE", nullptr, -2},
        {"AT", "123456", -2},  {"DE", "1000000x", -2}, {"LI", "99999", -2},
    };
    for (const auto &q : queries) {
        SCOPED_TRACE(text(q.country) + " " + text(q.code));
        sepa_bankinfo_t *sentinel = reinterpret_cast<sepa_bankinfo_t *>(&sentinel);
        sepa_bankinfo_t *info = sentinel;
        EXPECT_EQ(sepa_bankid_check(q.country, q.code, &info), q.result);
        if (q.result == 1) {
            ASSERT_NE(info, sentinel);
            std::free(info);
        } else {
            EXPECT_EQ(info, sentinel);  // nothing written unless found
        }
        EXPECT_EQ(sepa_bankid_check(q.country, q.code, nullptr), q.result);
    }
}

#if defined(SEPA_COUNT_MALLOC)
TEST(BankidCheck, LookupWithoutBlockAllocatesNothing) {
    bank_record_t record;
    int results = 0;
    const long before = malloc_calls.load();
    for (int i = 0; i < 100; ++i) {
        results += sepa_bankid_check("DE", "10000000", nullptr);
        results += sepa_bic_getBank("VOBADESS", nullptr);
        results += bank_lookup("CH", "100", &record);
        results += bic_lookup("COBADEFFXXX", &record);
    }
    const long after = malloc_calls.load();
    EXPECT_EQ(results, 400);
    EXPECT_EQ(after, before);

    sepa_bankinfo_t *info = nullptr;
    ASSERT_EQ(sepa_bankid_check("DE", "10000000", &info), 1);
    EXPECT_EQ(malloc_calls.load(), after + 1);  // the block, and nothing else
    std::free(info);
}

TEST(BankidCheck, OutOfMemoryLeavesTheCallersPointerAlone) {
    sepa_bankinfo_t *sentinel = reinterpret_cast<sepa_bankinfo_t *>(&sentinel);
    sepa_bankinfo_t *info = sentinel;
    fail_next_malloc = true;
    EXPECT_EQ(sepa_bankid_check("DE", "10000000", &info), SEPA_BANK_ERR_NOMEM);
    EXPECT_EQ(info, sentinel);
    fail_next_malloc = true;
    EXPECT_EQ(sepa_bic_getBank("VOBADESS", &info), SEPA_BANK_ERR_NOMEM);
    EXPECT_EQ(info, sentinel);
    fail_next_malloc = false;
    ASSERT_EQ(sepa_bic_getBank("VOBADESS", &info), 1);
    std::free(info);
}
#endif

}  // namespace
