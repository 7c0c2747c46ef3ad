// The German account check: argument checks, the ten digits read once and dispatch by
// method byte. The exported calls are thin wrappers.
#include "core/bank/account_check.h"

#include "core/bank/check_methods.h"
#include "sepa.h"

namespace {

bool is_bank_code(const char *bank_code) {
    for (int k = 0; k < 8; ++k)
        if (bank_code[k] < '0' || bank_code[k] > '9') return false;
    return bank_code[8] == '\0';
}

}  // namespace

int account_check_internal(const char *account, const char *bank_code, int method) {
    account_digits digits;
    if (!load_account_digits(account, digits)) return SEPA_ACCOUNT_ERR_INVALID;
    if (bank_code == nullptr) return run_method(method & 0xFF, digits);
    if (!is_bank_code(bank_code)) return SEPA_ACCOUNT_ERR_INVALID;
    switch (method & 0xFF) {
    case 0x52: return method_52(digits, bank_code);
    case 0x53: return method_53(digits, bank_code);
    case 0xB6: return method_b6(digits, bank_code);
    case 0xC0: return method_c0(digits, bank_code);
    default: return run_method(method & 0xFF, digits);
    }
}

extern "C" SEPA_API int sepa_account_check(const char *account, int method) {
    return account_check_internal(account, nullptr, method);
}

extern "C" SEPA_API int sepa_account_check2(const char *account, const char *bank_code, int method) {
    if (bank_code == nullptr) return SEPA_ACCOUNT_ERR_INVALID;
    return account_check_internal(account, bank_code, method);
}

int account_check_13_first(const char *account) {
    account_digits digits;
    if (!load_account_digits(account, digits)) return SEPA_ACCOUNT_ERR_INVALID;
    return method_13_first(digits);
}
