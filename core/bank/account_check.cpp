// The exported German account checks: argument checks, padding to ten digits and
// dispatch by method byte.
#include "core/bank/check_methods.h"
#include "sepa.h"

namespace {

// Copies an account of 1 to 10 digits right-aligned into ten characters of "0".
// False for a missing, empty or overlong account or one with a non-digit.
bool pad_account(const char *account, char (&padded)[11]) {
    if (!account) return false;
    int length = 0;
    while (length <= 10 && account[length] != '\0') {
        if (account[length] < '0' || account[length] > '9') return false;
        ++length;
    }
    if (length == 0 || length > 10) return false;
    for (int k = 0; k < 10 - length; ++k) padded[k] = '0';
    for (int k = 0; k < length; ++k) padded[10 - length + k] = account[k];
    padded[10] = '\0';
    return true;
}

bool is_bank_code(const char *bank_code) {
    if (!bank_code) return false;
    for (int k = 0; k < 8; ++k)
        if (bank_code[k] < '0' || bank_code[k] > '9') return false;
    return bank_code[8] == '\0';
}

}  // namespace

extern "C" SEPA_API int sepa_account_check(const char *account, int method) {
    char padded[11];
    if (!pad_account(account, padded)) return -1;
    account_digits digits;
    load_account_digits(padded, digits);
    return run_method(method & 0xFF, digits);
}

extern "C" SEPA_API int sepa_account_check2(const char *account, const char *bank_code, int method) {
    char padded[11];
    if (!pad_account(account, padded) || !is_bank_code(bank_code)) return -1;
    account_digits digits;
    load_account_digits(padded, digits);
    switch (method & 0xFF) {
    case 0x52: return method_52(digits, bank_code);
    case 0x53: return method_53(digits, bank_code);
    case 0xB6: return method_b6(digits, bank_code);
    case 0xC0: return method_c0(digits, bank_code);
    default: return run_method(method & 0xFF, digits);
    }
}
