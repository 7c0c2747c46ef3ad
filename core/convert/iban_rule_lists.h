// The special lists of the German IBAN rules, generated into data/iban_rule_lists.cpp
// by tools/iban_rule_tables.py. Accounts are 10 digits with leading zeros, bank
// codes 8 digits, IBANs 22 characters. Every list ends with a row whose first
// column is null and is ascending by its first column (rules 52 and 53: bank code,
// then account); rows with the same key keep the file's order, and a search takes
// the first of them that matches (core/convert/iban_list_search.h).
#pragma once

#include <cstdint>

// Account as the customer knows it -> account that goes into the IBAN; bank_code
// null means the row holds for every bank code of the rule.
struct account_replacement_row {
    const char *account;
    const char *new_account;
    const char *bank_code;
};

// Bank code -> bank code that goes into the IBAN.
struct bank_code_replacement_row {
    const char *bank_code;
    const char *new_bank_code;
};

// Bank code and account -> new bank code and new account.
struct bank_account_replacement_row {
    const char *bank_code;
    const char *account;
    const char *new_bank_code;
    const char *new_account;
};

// One code (an account or a bank code) of a membership list.
struct code_row {
    const char *code;
};

// Account -> complete IBAN; new_account is characters 13 to 22 of the IBAN.
struct account_iban_row {
    const char *account;
    const char *new_account;
    const char *iban;
};

// Ten-digit accounts whose value lies in [lowest, highest] get new_bank_code.
// Ended by a row whose prefix is 0.
struct account_range_row {
    uint32_t prefix;
    uint64_t lowest;
    uint64_t highest;
    const char *new_bank_code;
};

// Account replacement lists, one per rule.
extern const account_replacement_row iban_rule_0004_accounts[];
extern const account_replacement_row iban_rule_0006_accounts[];
extern const account_replacement_row iban_rule_0007_accounts[];
extern const account_replacement_row iban_rule_0010_accounts[];
extern const account_replacement_row iban_rule_0011_accounts[];
extern const account_replacement_row iban_rule_0015_accounts[];
extern const account_replacement_row iban_rule_0016_accounts[];
extern const account_replacement_row iban_rule_0017_accounts[];
extern const account_replacement_row iban_rule_0018_accounts[];
extern const account_replacement_row iban_rule_0022_accounts[];
extern const account_replacement_row iban_rule_0023_accounts[];
extern const account_replacement_row iban_rule_0024_accounts[];
extern const account_replacement_row iban_rule_0033_accounts[];
extern const account_replacement_row iban_rule_0034_accounts[];
extern const account_replacement_row iban_rule_0035_accounts[];
extern const account_replacement_row iban_rule_0044_accounts[];
extern const account_replacement_row iban_rule_0049_accounts[];
extern const account_replacement_row iban_rule_0051_accounts[];
extern const account_replacement_row iban_rule_0054_accounts[];

// Rule 10: bank code that forms its IBANs with another bank code.
extern const bank_code_replacement_row iban_rule_0010_bank_codes[];

// Rule 5: accounts of particular bank codes replaced (bank code stays), and the
// bank codes whose accounts 998000000-999499999 (digits 2-10) get no IBAN.
extern const account_replacement_row iban_rule_0005_accounts[];
extern const code_row iban_rule_0005_excluded_bank_codes[];

// Rule 30: accounts accepted although their check digit fails (ascending).
extern const code_row iban_rule_0030_accepted_accounts[];

// Rules 31 to 35: new bank code by the account's three-digit prefix (ascending,
// ranges disjoint).
extern const account_range_row iban_rule_0031_account_ranges[];
extern const unsigned iban_rule_0031_account_ranges_count;

// Rules 52 and 53: bank code and account replaced together.
extern const bank_account_replacement_row iban_rule_0052_accounts[];
extern const bank_account_replacement_row iban_rule_0053_accounts[];

// Rules 54 and 56: accounts whose IBAN is fixed.
extern const account_iban_row iban_rule_0054_ibans[];
extern const account_iban_row iban_rule_0056_ibans[];
