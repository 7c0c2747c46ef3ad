// The values of one camt entry (Ntry) as they are read, and the statement lines
// made of them when the entry ends.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include "core/statement/stmt_parser.h"

struct amount_value {
    bool set = false;
    int64_t cents = 0;
    double value = 0.0;
    char currency[4] = {};
};

// Values that an entry and each of its transaction details may carry.
struct code_values {
    char domain[5] = {};
    char family[5] = {};
    char subfamily[5] = {};
    std::string proprietary;
    int64_t charges_cents = 0;  // sum of the charge records
    char charges_currency[4] = {};
    bool charge_records = false;
    amount_value charges_total;
    amount_value instructed;
    void clear();
};

struct party_values {
    std::string name, iban, account, bic, bank_code;
    bool empty() const { return name.empty() && iban.empty() && account.empty(); }
    void clear();
};

struct detail_values {
    code_values codes;
    std::string end_to_end, instruction_id, servicer_ref, mandate, creditor_id, remittance, creditor_ref, purpose,
        return_reason, info, ultimate_debtor, ultimate_creditor;
    amount_value amount, amount_detail;
    int direction = 0;
    party_values debtor, creditor;
    void clear();
};

struct entry_values {
    code_values codes;
    std::string ntry_ref, servicer_ref, info;
    amount_value amount;
    int direction = 0;
    bool reversal = false;
    char status[5] = {};
    struct tm booked = {};
    struct tm value_date = {};
    uint32_t batch_count = 0;
    // Transaction details: the first `used` are this entry's (the storage is kept
    // from entry to entry so that their strings keep their capacity).
    std::vector<detail_values> details;
    size_t used = 0;
    bool detail_open = false;

    void clear();
    void open_detail();
    void close_detail() { detail_open = false; }
    detail_values *open() { return detail_open ? &details[used - 1] : nullptr; }
};

// Appends the lines of `entry` to `stmt`: one line, or one per transaction detail
// of a batch. False when memory runs out (reason written to `error`).
bool emit_entry_lines(sepa_stmt_parser_t *parser, sepa_stmt_t *stmt, const entry_values &entry, char *error,
                      size_t error_size);
