// Shared by the XML tests: messages built field by field (as sepa_add would store
// them), fixed clock and rulebook scopes, and schema validation through xmllint.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "core/frame/clock.h"
#include "core/frame/rulebook.h"
#include "core/message/transaction_list.h"
#include "sepa.h"

namespace xml_test {

inline char *dup(const char *text) { return text == nullptr ? nullptr : strdup(text); }

inline const char *const rulebook_names[RULEBOOK_COUNT] = {"DE-2.6", "DE-2.7", "AT-6",    "NL-6",   "DE-2.8",
                                                           "DE-2.9", "DE-3.0", "DE-3.1",  "DE-3.5", "DE-3.7",
                                                           "DE-3.8", "DE-3.9", "DE-26.11"};

// Messages built without sepa_new need a rulebook chosen: the tests start from "DE-3.5".
static const int default_rulebook_chosen = sepa_init(SEPA_INIT_RULEBOOK, "DE-3.5");

// Selects a rulebook for one scope and restores "DE-3.5" afterwards.
struct rulebook_scope {
    explicit rulebook_scope(const char *name) { EXPECT_EQ(sepa_init(SEPA_INIT_RULEBOOK, name), 1) << name; }
    ~rulebook_scope() { sepa_init(SEPA_INIT_RULEBOOK, "DE-3.5"); }
};

// Pins the clock for one scope.
struct clock_scope {
    explicit clock_scope(time_t instant) { clock_pin_for_tests(instant); }
    ~clock_scope() { clock_unpin_for_tests(); }
};

// 2025-01-10 09:30:05 UTC.
inline constexpr time_t fixed_instant = 1736501405;

// Transaction data as key names of sepa_add; NULL = key absent.
struct tx_data {
    const char *id = nullptr, *name = "Max Mustermann", *iban = "DE02120300000000202051", *bic = nullptr;
    const char *country = nullptr, *line1 = nullptr, *line2 = nullptr, *ref = nullptr, *purp = nullptr;
    const char *street = nullptr, *post_code = nullptr, *town = nullptr;
    double amount = 1.0;
    const char *date = nullptr;
    int seq = SEQ_RCUR;
    const char *mref = "MANDATE-1", *mdate = "2024-01-15", *old_mref = nullptr, *old_iban = nullptr;
    bool smnda = false;
};

// A message filled directly, the way the setters and sepa_add store their data.
class message {
public:
    explicit message(uint32_t type) : m_(static_cast<sepa_t *>(calloc(1, sizeof(sepa_t)))) {
        m_->type = type;
        m_->batch_booking = 1;
    }
    ~message() {
        transaction_list_free(m_);
        for (char *p : {m_->iban, m_->bic, m_->name, m_->creditor_id, m_->date, m_->message_id}) free(p);
        free(m_->address);
        free(m_);
    }
    message(const message &) = delete;
    message &operator=(const message &) = delete;

    sepa_t *get() { return m_; }
    sepa_t *operator->() { return m_; }

    message &iban(const char *v) { return set(m_->iban, v); }
    message &bic(const char *v) { return set(m_->bic, v); }
    message &name(const char *v) { return set(m_->name, v); }
    message &creditor_id(const char *v) { return set(m_->creditor_id, v); }
    message &date(const char *v) { return set(m_->date, v); }
    message &message_id(const char *v) { return set(m_->message_id, v); }
    message &address(address_field field, const char *v) {
        auto **block = reinterpret_cast<postal_address **>(&m_->address);
        EXPECT_TRUE(address_set(block, field, v));
        return *this;
    }

    static postal_address *address_of(const tx_data &d) {
        const char *values[ADDRESS_FIELD_COUNT] = {};
        values[ADDR_STREET] = d.street;
        values[ADDR_POST_CODE] = d.post_code;
        values[ADDR_TOWN] = d.town;
        values[ADDR_COUNTRY] = d.country;
        values[ADDR_LINE1] = d.line1;
        values[ADDR_LINE2] = d.line2;
        bool failed = false;
        return address_pack(values, &failed);
    }

    // Stores the transaction through the list sepa_add stores into, without its checks.
    void add(const tx_data &d) {
        tx_fields fields;
        fields.text[TX_END_TO_END_ID] = d.id;
        fields.text[TX_NAME] = d.name;
        fields.text[TX_IBAN] = d.iban;
        fields.text[TX_BIC] = d.bic;
        fields.text[TX_REMITTANCE] = d.ref;
        fields.text[TX_DATE] = d.date;
        if (m_->type == SEPA_MSGTYPE_CTI) {
            fields.text[TX_PURPOSE] = d.purp;
        } else {
            fields.text[TX_MANDATE_REF] = d.mref;
            fields.text[TX_MANDATE_DATE] = d.mdate;
            fields.text[TX_OLD_MANDATE_REF] = d.old_mref;
            fields.text[TX_OLD_IBAN] = d.old_iban;
            fields.seq_type = static_cast<uint8_t>(d.seq);
            fields.smnda = d.smnda ? 1 : 0;
        }
        postal_address *address = address_of(d);
        fields.address = address;
        fields.amount_cents = cents(d.amount);
        EXPECT_TRUE(transaction_list_add(m_, fields));
        address_free(&address);
    }

    static int64_t cents(double euro) { return std::llround(euro * 100); }

    // Renders and returns the document ("" when sepa_toXML failed).
    std::string xml() {
        char *text = sepa_toXML(m_);
        std::string result = text != nullptr ? text : "";
        free(text);
        return result;
    }

private:
    message &set(char *&field, const char *v) {
        free(field);
        field = dup(v);
        return *this;
    }
    sepa_t *m_;
};

// A credit transfer with the debtor's data set.
inline void fill_debtor(message &m) { m.iban("DE89370400440532013000").bic("COBADEFFXXX").name("Debtor Company GmbH"); }
// A direct debit with the creditor's data set.
inline void fill_creditor(message &m) {
    m.iban("DE89370400440532013000").bic("COBADEFFXXX").name("Creditor AG").creditor_id("DE98ZZZ09999999999");
}

// Schema name of a document: the text after "xsd:" in its xmlns.
inline std::string schema_of(const std::string &doc) {
    const std::string key = "xmlns=\"urn:iso:std:iso:20022:tech:xsd:";
    size_t at = doc.find(key);
    if (at == std::string::npos) return "";
    at += key.size();
    return doc.substr(at, doc.find('"', at) - at);
}

inline bool schemas_available() {
    std::ifstream probe(std::string(SEPA_SCHEMA_DIR) + "/pain.001.001.03.xsd");
    return probe.good() && system("xmllint --version >/dev/null 2>&1") == 0;
}

// Validates documents against the schema named in each, one xmllint run per schema.
// Returns, for each document that does not validate, its index and xmllint's report.
// `schema_file` maps a schema name ("pain.001.001.09") to the file to validate with
// (default: the ISO schema in SEPA_SCHEMA_DIR).
inline std::string iso_schema_file(const std::string &schema) {
    return std::string(SEPA_SCHEMA_DIR) + "/" + schema + ".xsd";
}

// The DK subset GBIC_5 of a schema (tests only; the files stay outside the repository),
// or "" when it has none or the folder is absent.
inline std::string dk_gbic5_file(const std::string &schema) {
    const std::string path = std::string(SEPA_SHARED_DATA_DIR) + "/schemas/dk/" + schema + "_GBIC_5.xsd";
    return std::ifstream(path).good() ? path : "";
}

inline std::map<size_t, std::string> validate(const std::vector<std::string> &docs,
                                              std::string (*schema_file)(const std::string &) = iso_schema_file) {
    std::map<size_t, std::string> failures;
    char dir_template[] = "/tmp/sepa-xml-XXXXXX";
    const char *dir = mkdtemp(dir_template);
    if (dir == nullptr) {
        failures[0] = "cannot create a temporary folder";
        return failures;
    }
    std::map<std::string, std::vector<size_t>> by_schema;
    for (size_t i = 0; i < docs.size(); ++i) by_schema[schema_of(docs[i])].push_back(i);
    auto path_of = [&](size_t i) {
        std::string path = dir;
        path.append("/doc").append(std::to_string(i)).append(".xml");
        return path;
    };
    for (const auto &[schema, indices] : by_schema) {
        std::string command = "xmllint --noout --schema ";
        command.append(schema_file(schema));
        for (size_t i : indices) {
            std::ofstream(path_of(i), std::ios::binary) << docs[i];
            command.append(" ").append(path_of(i));
        }
        command += " 2>&1";
        std::string report;
        if (FILE *pipe = popen(command.c_str(), "r")) {
            char line[4096];
            while (fgets(line, sizeof line, pipe) != nullptr) report += line;
            pclose(pipe);
        }
        for (size_t i : indices) {
            const std::string ok_line = path_of(i).append(" validates");
            if (schema.empty() || report.find(ok_line) == std::string::npos) {
                std::string mine;
                std::istringstream lines(report);
                for (std::string line; std::getline(lines, line);)
                    if (line.rfind(path_of(i), 0) == 0) mine += line + "\n";
                failures[i] = schema.empty() ? "no schema in the document" : mine;
            }
            unlink(path_of(i).c_str());
        }
    }
    rmdir(dir);
    return failures;
}

}  // namespace xml_test
