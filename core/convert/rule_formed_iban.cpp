#include "core/convert/rule_formed_iban.h"

#include <cstring>

#include "core/bank/bank_record.h"
#include "sepa.h"

namespace {

constexpr int rotating_rule_entry = 49;

bool converts_to(const char *account, const char *bank_code, const char *iban) {
    char formed[35];
    return sepa_iban_convert("DE", account, bank_code, formed, nullptr) == 1 && std::strcmp(formed, iban) == 0;
}

}  // namespace

bool iban_formed_by_rule(const char *iban) {
    char bank_code[9];
    char account[11];
    std::memcpy(bank_code, iban + 4, 8);
    bank_code[8] = '\0';
    std::memcpy(account, iban + 12, 10);
    account[10] = '\0';
    if (converts_to(account, bank_code, iban)) return true;

    bank_record_t record;
    if (bank_lookup("DE", bank_code, &record) != 1 || record.iban_rule / 100 != rotating_rule_entry) return false;
    // Entry 49 puts digits 5-10 of an account with "9" as fifth digit first: the
    // IBAN's digits 7-10 followed by its digits 1-6 are the account the customer knows.
    char rotated_back[11];
    std::memcpy(rotated_back, account + 6, 4);
    std::memcpy(rotated_back + 4, account, 6);
    rotated_back[10] = '\0';
    return rotated_back[4] == '9' && converts_to(rotated_back, bank_code, iban);
}
