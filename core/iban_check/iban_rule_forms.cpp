#include "core/iban_check/iban_rule_forms.h"

#include <cstring>

#include "core/convert/iban_convert.h"

namespace {

bool converts_to(const char *source_account, const char *bank_code, const char *account) {
    char iban[35];
    char status = 0;
    if (iban_convert("DE", source_account, bank_code, iban, &status) != 1) return false;
    return std::strncmp(iban + 4, bank_code, 8) == 0 && std::strncmp(iban + 12, account, 10) == 0;
}

}  // namespace

bool iban_rule_forms(const char *bank_code, const char *account) {
    if (converts_to(account, bank_code, account)) return true;
    // The rotation moves digits 5 to 10 in front of digits 1 to 4 when digit 5 is
    // "9": undo it and see whether the rule forms this account from the original.
    if (account[0] != '9') return false;
    char original[11];
    std::memcpy(original, account + 6, 4);
    std::memcpy(original + 4, account, 6);
    original[10] = '\0';
    return converts_to(original, bank_code, account);
}
