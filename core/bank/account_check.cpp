// The exported German account checks: argument checks, padding to ten digits and
// dispatch by method byte.
#include "core/bank/check_methods.h"
#include "sepa.h"

namespace {

bool is_bank_code(const char *bank_code) {
    if (!bank_code) return false;
    for (int k = 0; k < 8; ++k)
        if (bank_code[k] < '0' || bank_code[k] > '9') return false;
    return bank_code[8] == '\0';
}

}  // namespace

extern "C" SEPA_API int sepa_account_check(const char *account, int method) {
    account_digits digits;
    if (!load_account_digits(account, digits)) return SEPA_ACCOUNT_ERR_INVALID;
    return run_method(method & 0xFF, digits);
}

extern "C" SEPA_API int sepa_account_check2(const char *account, const char *bank_code, int method) {
    account_digits digits;
    if (!load_account_digits(account, digits) || !is_bank_code(bank_code)) return SEPA_ACCOUNT_ERR_INVALID;
    switch (method & 0xFF) {
    case 0x52: return method_52(digits, bank_code);
    case 0x53: return method_53(digits, bank_code);
    case 0xB6: return method_b6(digits, bank_code);
    case 0xC0: return method_c0(digits, bank_code);
    default: return run_method(method & 0xFF, digits);
    }
}
