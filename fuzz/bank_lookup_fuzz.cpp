// Bank code and BIC lookups and the German account checks with texts cut from the
// input. Layout: byte 0 the check method, byte 1 selector bits, then up to four
// fields separated by line feeds: country, bank code, BIC, account number.
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "input_fields.h"
#include "sepa.h"

namespace {

// Countries the lookups know, a few near misses, and the input's own text.
const char *const countries[] = {"DE", "AT", "CH", "LI", "de", "FR", "D", ""};

// Methods that read the bank code as well as the account number.
bool needs_bank_code(int method) {
    const int code = method & 0xFF;
    return code == 0x52 || code == 0x53 || code == 0xB6 || code == 0xC0;
}

bool is_eight_digits(const char *text) {
    if (text == nullptr || std::strlen(text) != 8) return false;
    for (int i = 0; i < 8; ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
    }
    return true;
}

size_t touch(const char *text) { return text == nullptr ? 0 : std::strlen(text); }

size_t touch_info(const sepa_bankinfo_t *info) {
    return touch(info->name) + touch(info->zip) + touch(info->city) + touch(info->country) + touch(info->bic) +
           info->flags;
}

void check_bankid(const char *country, const char *code) {
    sepa_bankinfo_t *info = nullptr;
    const int found = sepa_bankid_check(country, code, &info);
    if (found != 1 && found != 0 && found != -2 && found != -3) std::abort();
    if ((found == 1) != (info != nullptr)) std::abort();
    if (found == 1) {
        if (info->flags != 0) std::abort();
        volatile size_t sink = touch_info(info);
        (void)sink;
    }
    std::free(info);
    if (sepa_bankid_check(country, code, nullptr) != found) std::abort();
    const bool supported = country != nullptr && (std::strcmp(country, "AT") == 0 || std::strcmp(country, "CH") == 0 ||
                                                  std::strcmp(country, "DE") == 0 || std::strcmp(country, "LI") == 0);
    if (!supported && found != 0) std::abort();
}

void check_bic(const char *bic) {
    sepa_bankinfo_t *info = nullptr;
    const int found = sepa_bic_getBank(bic, &info);
    if (found != 1 && found != -2 && found != -3) std::abort();
    if ((found == 1) != (info != nullptr)) std::abort();
    if (found == 1) {
        // The block names the BIC asked for, in 11 characters, upper case.
        const size_t length = std::strlen(bic);
        if (info->bic == nullptr || std::strlen(info->bic) != 11) std::abort();
        if (length != 8 && length != 11) std::abort();
        for (size_t i = 0; i < 11; ++i) {
            const char expected = i < length ? static_cast<char>(std::toupper(static_cast<unsigned char>(bic[i])))
                                             : 'X';
            if (info->bic[i] != expected) std::abort();
        }
        if ((info->flags & ~(SEPA_SCL_SCT | SEPA_SCL_SDD | SEPA_SCL_COR1 | SEPA_SCL_B2B)) != 0) std::abort();
        volatile size_t sink = touch_info(info);
        (void)sink;
    }
    std::free(info);
    if (sepa_bic_getBank(bic, nullptr) != found) std::abort();
}

void check_account(const char *account, const char *bank_code, int method) {
    const int plain = sepa_account_check(account, method);
    if (plain < -1 || plain > 2) std::abort();
    // Only the low eight bits of the method count.
    if (sepa_account_check(account, static_cast<int8_t>(method)) != plain) std::abort();
    if (sepa_account_check(account, method | 0x1200) != plain) std::abort();
    if (needs_bank_code(method) && plain != 0 && plain != -1) std::abort();

    const int with_bank = sepa_account_check2(account, bank_code, method);
    if (with_bank < -1 || with_bank > 2) std::abort();
    if (!is_eight_digits(bank_code)) {
        if (with_bank != -1) std::abort();
    } else if (!needs_bank_code(method) && with_bank != plain) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 2) return 0;
    const int method = data[0];
    const uint8_t select = data[1];
    const std::vector<std::string> fields = split_fields(data, size, 2, 4);

    // c_str() ends each text at its first NUL byte, as a C caller's text would.
    const char *country = (select & 0x08) != 0 ? countries[select & 0x07] : fields[0].c_str();
    const char *code = (select & 0x10) != 0 ? nullptr : fields[1].c_str();
    const char *bic = (select & 0x20) != 0 ? nullptr : fields[2].c_str();
    const char *account = (select & 0x40) != 0 ? nullptr : fields[3].c_str();
    if ((select & 0x80) != 0) country = nullptr;

    check_bankid(country, code);
    check_bic(bic);
    check_account(account, code, method);
    // The bank code field doubles as the account number of a second check.
    check_account(code, fields[3].c_str(), method);
    return 0;
}
