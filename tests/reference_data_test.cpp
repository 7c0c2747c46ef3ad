// The compiled-in directory against the publishers' files it was generated from: every
// Merkmal-1 German bank code of both editions (on both sides of the switch-over), every
// Austrian, Swiss and Liechtenstein bank code and every BIC is found with the fields of
// its source. The files are read here independently of the generator.
// Skipped when the reference data folder is absent.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "core/bank/bank_record.h"
#include "core/bank/directory_tables.h"
#include "core/frame/clock.h"

namespace {

const std::filesystem::path shared_data = SEPA_SHARED_DATA_DIR;

struct clock_scope {
    explicit clock_scope(time_t instant) { clock_pin_for_tests(instant); }
    ~clock_scope() { clock_unpin_for_tests(); }
};

// The file's lines, converted from ISO-8859-1 to UTF-8, without line ends.
std::vector<std::string> latin1_lines(const std::filesystem::path &path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream raw;
    raw << in.rdbuf();
    std::vector<std::string> lines(1);
    for (unsigned char c : raw.str()) {
        if (c == '\n') {
            lines.emplace_back();
        } else if (c == '\r') {
            continue;
        } else if (c < 0x80) {
            lines.back() += static_cast<char>(c);
        } else {
            lines.back() += static_cast<char>(0xC0 | (c >> 6));
            lines.back() += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    if (lines.back().empty()) lines.pop_back();
    return lines;
}

std::string trim(const std::string &s) {
    const size_t first = s.find_first_not_of(' ');
    if (first == std::string::npos) return "";
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

// Fixed-width field of an ISO-8859-1 line that was converted to UTF-8: columns count
// characters, so walk the UTF-8 text character by character.
std::string columns(const std::string &line, size_t first, size_t width) {
    size_t position = 0, byte = 0;
    auto advance = [&] {
        byte += (static_cast<unsigned char>(line[byte]) >= 0xC0) ? 2 : 1;
        ++position;
    };
    while (position < first && byte < line.size()) advance();
    const size_t start = byte;
    while (position < first + width && byte < line.size()) advance();
    return trim(line.substr(start, byte - start));
}

std::vector<std::string> split(const std::string &line, char separator) {
    std::vector<std::string> fields(1);
    for (char c : line) {
        if (c == separator) fields.emplace_back();
        else fields.back() += c;
    }
    return fields;
}

std::string text(const char *value) { return value != nullptr ? value : "(null)"; }

struct german_row {
    std::string bic, name, zip, city, successor;
    int deletion_flag, method, iban_rule;
};

std::map<std::string, german_row> read_german(const std::string &file) {
    std::map<std::string, german_row> rows;
    for (const std::string &line : latin1_lines(shared_data / "de" / file)) {
        if (columns(line, 8, 1) != "1") continue;
        german_row row;
        row.name = columns(line, 9, 58);
        row.zip = columns(line, 67, 5);
        row.city = columns(line, 72, 35);
        row.bic = columns(line, 139, 11);
        row.method = std::stoi(columns(line, 150, 2), nullptr, 16);
        row.deletion_flag = std::stoi(columns(line, 159, 1));
        row.successor = columns(line, 160, 8);
        if (row.successor == "00000000") row.successor.clear();
        row.iban_rule = std::stoi(columns(line, 168, 6));
        rows.emplace(columns(line, 0, 8), row);
    }
    return rows;
}

class ReferenceData : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::filesystem::exists(shared_data / "de" / "blz_2025-09-08.txt"))
            GTEST_SKIP() << "reference data not found at " << shared_data;
    }
};

void expect_german(const std::string &code, const german_row &row, time_t instant) {
    clock_scope clock(instant);
    bank_record_t record;
    ASSERT_EQ(bank_lookup("DE", code.c_str(), &record), 1) << code;
    EXPECT_EQ(text(record.bic), row.bic) << code;
    EXPECT_EQ(text(record.name), row.name) << code;
    EXPECT_EQ(text(record.zip), row.zip) << code;
    EXPECT_EQ(text(record.city), row.city) << code;
    EXPECT_EQ(text(record.country), "DE") << code;
    EXPECT_EQ(text(record.successor), row.successor) << code;
    EXPECT_EQ(record.deletion_flag, row.deletion_flag) << code;
    EXPECT_EQ(record.method, row.method) << code;
    EXPECT_EQ(record.iban_rule, row.iban_rule) << code;
}

TEST_F(ReferenceData, EveryGermanCodeOfBothEditionsOnBothSidesOfTheSwitchOver) {
    const auto first = read_german("blz_2025-06-09.txt");
    const auto second = read_german("blz_2025-09-08.txt");
    ASSERT_GT(first.size(), 3000u);
    ASSERT_GT(second.size(), 3000u);
    const time_t before = static_cast<time_t>(directory_switch_over) - 1;
    const time_t after = static_cast<time_t>(directory_switch_over);
    for (const auto &[code, row] : first) {
        expect_german(code, row, before);
        if (!second.count(code)) expect_german(code, row, after);  // withdrawn: still found
    }
    for (const auto &[code, row] : second) {
        expect_german(code, row, after);
        if (!first.count(code)) expect_german(code, row, before);  // new: found already
    }
}

TEST_F(ReferenceData, EveryAustrianCode) {
    const auto lines = latin1_lines(shared_data / "at" / "sepa-zv-vz_gesamt_2022-09-23.csv");
    size_t header = 0;
    while (header < lines.size() && lines[header].rfind("Kennzeichen;", 0) != 0) ++header;
    ASSERT_LT(header, lines.size());
    const auto names = split(lines[header], ';');
    auto column = [&](const std::string &name) {
        return static_cast<size_t>(std::find(names.begin(), names.end(), name) - names.begin());
    };
    const size_t code = column("Bankleitzahl"), name = column("Bankenname"), zip = column("PLZ"), city = column("Ort"),
                 bic = column("SWIFT-Code");
    size_t checked = 0;
    for (size_t i = header + 1; i < lines.size(); ++i) {
        const auto fields = split(lines[i], ';');
        ASSERT_EQ(fields.size(), names.size()) << lines[i];
        bank_record_t record;
        ASSERT_EQ(bank_lookup("AT", fields[code].c_str(), &record), 1) << fields[code];
        EXPECT_EQ(text(record.bic), fields[bic]) << fields[code];
        EXPECT_EQ(text(record.name), fields[name]) << fields[code];
        EXPECT_EQ(text(record.zip), fields[zip]) << fields[code];
        EXPECT_EQ(text(record.city), fields[city]) << fields[code];
        EXPECT_EQ(text(record.country), "AT") << fields[code];
        ++checked;
    }
    EXPECT_GT(checked, 800u);
}

TEST_F(ReferenceData, EverySwissAndLiechtensteinCodeThroughChAndLi) {
    size_t checked = 0, members_abroad = 0;
    for (const std::string &line : latin1_lines(shared_data / "ch" / "bcbankenstamm_2022-01-20.txt")) {
        if (columns(line, 7, 4) != "0000") continue;  // branches share their head office's IID
        const std::string iid = columns(line, 2, 5);
        const std::string country = columns(line, 270, 2);
        members_abroad += !country.empty();
        for (const char *served_as : {"CH", "LI"}) {
            bank_record_t record;
            ASSERT_EQ(bank_lookup(served_as, iid.c_str(), &record), 1) << served_as << " " << iid;
            EXPECT_EQ(text(record.bic), columns(line, 284, 14)) << iid;
            EXPECT_EQ(text(record.name), columns(line, 54, 60)) << iid;
            EXPECT_EQ(text(record.zip), columns(line, 184, 10)) << iid;
            EXPECT_EQ(text(record.city), columns(line, 194, 35)) << iid;
            EXPECT_EQ(text(record.country), country) << iid;
        }
        ++checked;
    }
    EXPECT_GT(checked, 1000u);
    EXPECT_GT(members_abroad, 10u);
}

TEST_F(ReferenceData, EveryBicWithItsFlags) {
    const auto lines = latin1_lines(shared_data / "scl" / "scl-directory_2016-12-20.csv");
    ASSERT_EQ(lines.at(0).rfind("BIC;Name;Service SCT;Service SDD;Service COR1;Service B2B", 0), 0u);
    // A BIC listed both as 8 characters and with "XXX" is one entry reachable for every
    // scheme either row names, under the first row's name.
    struct entry {
        std::string name;
        int flags = 0;
    };
    std::map<std::string, entry> expected;
    for (size_t i = 1; i < lines.size(); ++i) {
        const auto fields = split(lines[i], ';');
        ASSERT_EQ(fields.size(), 7u) << lines[i];
        std::string bic = trim(fields[0]);
        if (bic.size() == 8) bic += "XXX";
        const int flags = (fields[2] == "1" ? 1 : 0) | (fields[3] == "1" ? 2 : 0) | (fields[4] == "1" ? 4 : 0) |
                          (fields[5] == "1" ? 8 : 0);
        auto [it, fresh] = expected.emplace(bic, entry{trim(fields[1]), flags});
        if (!fresh) it->second.flags |= flags;
    }
    ASSERT_GT(expected.size(), 4000u);
    for (const auto &[bic, want] : expected) {
        bank_record_t record;
        ASSERT_EQ(bic_lookup(bic.c_str(), &record), 1) << bic;
        EXPECT_EQ(text(record.name), want.name) << bic;
        EXPECT_EQ(record.scl_flags, want.flags) << bic;
        EXPECT_EQ(text(record.country), bic.substr(4, 2)) << bic;
        if (bic.compare(8, 3, "XXX") == 0) {
            ASSERT_EQ(bic_lookup(bic.substr(0, 8).c_str(), &record), 1) << bic;
            EXPECT_EQ(text(record.bic), bic);
        }
    }
}

TEST_F(ReferenceData, DirectoryHoldsNothingBesidesTheSources) {
    // keys: BICs + AT + CH/LI head offices + German codes of either edition
    std::set<std::string> keys;
    const auto scl = latin1_lines(shared_data / "scl" / "scl-directory_2016-12-20.csv");
    for (size_t i = 1; i < scl.size(); ++i) {
        std::string bic = trim(split(scl[i], ';')[0]);
        keys.insert(bic.size() == 8 ? bic + "XXX" : bic);
    }
    const auto at = latin1_lines(shared_data / "at" / "sepa-zv-vz_gesamt_2022-09-23.csv");
    bool rows = false;
    for (const auto &line : at) {
        if (rows) {
            const std::string code = split(line, ';')[2];
            keys.insert("_AT" + std::string(5 - std::min<size_t>(5, code.size()), '0') + code);
        }
        rows = rows || line.rfind("Kennzeichen;", 0) == 0;
    }
    for (const auto &line : latin1_lines(shared_data / "ch" / "bcbankenstamm_2022-01-20.txt")) {
        if (columns(line, 7, 4) != "0000") continue;
        const std::string iid = columns(line, 2, 5);
        keys.insert("_CH" + std::string(5 - iid.size(), '0') + iid);
    }
    for (const char *file : {"blz_2025-06-09.txt", "blz_2025-09-08.txt"})
        for (const auto &[code, row] : read_german(file)) keys.insert("_DE" + code);
    EXPECT_EQ(keys.size(), directory_key_count);
}

}  // namespace
