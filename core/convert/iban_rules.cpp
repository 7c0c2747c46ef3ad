// The German IBAN rules, one small function per rule entry, and the 58-entry table
// that selects them by rule code / 100. A rule receives the conversion's working
// record; it may change account, bank code, method, check result and status, and
// returns 1 with the IBAN text built or -1 when it refuses.
#include <cstring>

#include "core/bank/account_check.h"
#include "core/bank/account_value.h"
#include "core/convert/iban_work.h"
#include "sepa.h"

namespace {

// ---- shapes shared by many rules ------------------------------------------------

int digit(const iban_work_t *work, int position) { return work->account[position - 1]; }

// Ten characters "00" then a non-zero digit: an account of eight significant digits.
bool is_8_digit(const char *account) { return account[0] == '0' && account[1] == '0' && account[2] != '0'; }

int refuse(iban_work_t *work, uint8_t status) {
    work->status = status;
    return -1;
}

// Rules that only name another bank code for the IBAN.
template <const char *BankCode>
int rule_bank_code(iban_work_t *work) {
    set_bank_code(work, BankCode);
    return iban_build(work);
}

// Rules that replace listed accounts and check the new account by the bank's method.
template <const account_replacement_row *List>
int rule_replace_recheck(iban_work_t *work) {
    if (account_list_replace<List>(work)) recheck_account(work);
    return iban_build(work);
}

// As above, but a replaced account never fails the conversion.
template <const account_replacement_row *List>
int rule_replace_lenient(iban_work_t *work) {
    if (account_list_replace<List>(work)) recheck_account_lenient(work);
    return iban_build(work);
}

template <const bank_account_replacement_row *List>
bool bank_account_replace(iban_work_t *work) {
    for (const bank_account_replacement_row &row : rows_with_key<bank_account_replacement_row, List, 8>(work->blz)) {
        if (std::memcmp(row.account, work->account, 10) != 0) continue;
        set_bank_code(work, row.new_bank_code);
        std::memcpy(work->account, row.new_account, 11);
        return true;
    }
    return false;
}

template <const code_row *List, size_t Width>
bool in_code_list(const char *code) {
    return !rows_with_key<code_row, List, Width>(code).empty();
}

template <const account_iban_row *List>
const account_iban_row *find_fixed_iban(const char *account) {
    const std::span<const account_iban_row> rows = rows_with_key<account_iban_row, List, 10>(account);
    return rows.empty() ? nullptr : rows.data();
}

// A complete IBAN from a list. Bank code and account of the working record follow
// the IBAN, so the status tells that the IBAN holds other data than the caller's.
int take_fixed_iban(iban_work_t *work, const char *iban) {
    std::memcpy(work->iban, iban, 22);
    work->iban[22] = '\0';
    std::memcpy(work->blz, iban + 4, 8);
    std::memcpy(work->account, iban + 12, 10);
    work->check_result = 1;
    return 1;
}

void use_shift2(iban_work_t *work) {
    char shifted[11];
    shift2(work->account, shifted);
    std::memcpy(work->account, shifted, 11);
}

bool m13_first_of_shift2(const char *account) {
    char shifted[11];
    shift2(account, shifted);
    return account_check_13_first(shifted) == 1;
}

// Value of the whole ten-digit account.
uint64_t value_of(const iban_work_t *work) { return account_value(work->account, 0, 10); }

bool in_9_digit_8_range(const iban_work_t *work) {
    uint64_t v = value_of(work);
    return v >= 800'000'000 && v <= 899'999'999;
}

void use_range_bank_code(iban_work_t *work) {
    if (const char *bank_code = range_bank_code(work->account)) set_bank_code(work, bank_code);
}

// ---- the rules ----------------------------------------------------------------------

int rule_no_iban(iban_work_t *work) { return refuse(work, SEPA_IBAN_STATUS_NO_IBAN); }

int rule_0002(iban_work_t *work) {
    if (digit(work, 8) == '6' || (digit(work, 8) == '8' && digit(work, 9) == '6')) return -1;
    return iban_build(work);
}

int rule_0003(iban_work_t *work) {
    if (account_is(work, "6161604670")) return -1;
    return iban_build(work);
}

int rule_0005(iban_work_t *work) {
    if (bank_code_is(work, "50040033")) return refuse(work, SEPA_IBAN_STATUS_NO_IBAN);
    uint64_t v = account_value(work->account, 1, 9);
    if (v >= 998'000'000 && v <= 999'499'999 && in_code_list<iban_rule_0005_excluded_bank_codes, 8>(work->blz))
        return refuse(work, SEPA_IBAN_STATUS_ACCOUNT_EXCLUDED);
    if (account_list_replace<iban_rule_0005_accounts>(work)) {
        recheck_account(work);
        return iban_build(work);
    }
    if (work->method == 0x13) {
        if (account_starts_with(work->account, "000") && !account_starts_with(work->account, "00000") &&
            m13_first_of_shift2(work->account)) {
            use_shift2(work);
            work->check_result = 1;
            return iban_build(work);
        }
        if (account_check_13_first(work->account) != 1) {
            if (!account_starts_with(work->account, "00")) return -1;
            if (!m13_first_of_shift2(work->account)) return -1;
            use_shift2(work);
            work->check_result = 1;
        }
        return iban_build(work);
    }
    if (work->method == 0x76) {
        int result = account_check_internal(work->account, nullptr, 0x76);
        if (result == 2) {  // valid only when read two places further right
            use_shift2(work);
            work->check_result = 1;
        } else if (result == -1) {
            return -1;
        }
    }
    return iban_build(work);
}

int rule_0009(iban_work_t *work) {
    set_bank_code(work, "68351557");
    if (account_starts_with(work->account, "1116")) std::memcpy(work->account, "3047", 4);
    return iban_build(work);
}

int rule_0010(iban_work_t *work) {
    if (account_list_replace<iban_rule_0010_accounts>(work)) {
        work->check_result = 1;
    } else {
        for (const bank_code_replacement_row *row = iban_rule_0010_bank_codes; row->bank_code; ++row) {
            if (std::strcmp(row->bank_code, work->blz) == 0) {
                set_bank_code(work, row->new_bank_code);
                break;
            }
        }
    }
    return iban_build(work);
}

int rule_0011(iban_work_t *work) {
    if (account_list_replace<iban_rule_0011_accounts>(work)) work->check_result = 1;
    return iban_build(work);
}

// Entry 20. The special account of 50070010 is checked again after its replacement,
// as every list replacement is: keeping the failed check of the old account would
// refuse an account that the rule itself names.
int rule_0020(iban_work_t *work) {
    if (bank_code_is(work, "50070010") && account_is(work, "0000009999")) {
        std::memcpy(work->account, "0092777202", 11);
        recheck_account(work);
    }
    if (work->method == 0x63) {
        const char *account = work->account;
        if (account_starts_with(account, "000000")) return -1;
        if (account_starts_with(account, "00000")) {
            if (account_check_13_first(account) != 1) {
                if (!m13_first_of_shift2(account)) return -1;
                use_shift2(work);
                work->check_result = 1;
            }
        } else if (account_starts_with(account, "000")) {
            if (m13_first_of_shift2(account)) {
                use_shift2(work);
                work->check_result = 1;
            } else if (work->check_result != 1) {
                return -1;
            }
        } else if (work->check_result < 0) {
            return -1;
        }
        if (work->account[0] != '0' || account_starts_with(work->account, "0000")) return -1;
        return iban_build(work);
    }
    if (work->method == 0xC7) {
        bool by_13 = false;
        if (work->account[0] == '0') {
            by_13 = account_check_13_first(work->account) == 1;
            if (!by_13 && account_starts_with(work->account, "000") && m13_first_of_shift2(work->account)) {
                use_shift2(work);
                by_13 = true;
            }
        }
        bool by_06 = !by_13 && account_check_internal(work->account, nullptr, 0x06) == 1;
        if (bank_code_is(work, "76026000")) {
            if (by_13) {
                work->check_result = 1;
                return iban_build(work);
            }
            work->check_result = -1;
            if (by_06) work->status = SEPA_IBAN_STATUS_NO_IBAN;
            return -1;
        }
        if (by_13 || by_06) {
            work->check_result = 1;
            return iban_build(work);
        }
        work->check_result = -1;
        return -1;
    }
    return iban_build(work);
}

int rule_0021(iban_work_t *work) {
    if (is_8_digit(work->account) || account_starts_with(work->account, "00000")) return -1;
    set_bank_code(work, "36020030");
    return iban_build(work);
}

int rule_0026(iban_work_t *work) {
    if (account_is(work, "0000055111") || account_is(work, "0008090100")) work->check_result = 1;
    return iban_build(work);
}

int rule_0027(iban_work_t *work) {
    if (account_is(work, "0000003333") || account_is(work, "0000004444")) work->check_result = 1;
    return iban_build(work);
}

int rule_0029(iban_work_t *work) {
    char *a = work->account;
    if (a[0] != '0' && a[3] == '0') {  // d1 d2 d3 0 d5..d10 -> 0 d1 d2 d3 d5..d10
        a[3] = a[2];
        a[2] = a[1];
        a[1] = a[0];
        a[0] = '0';
    }
    return iban_build(work);
}

int rule_0030(iban_work_t *work) {
    if (in_code_list<iban_rule_0030_accepted_accounts, 10>(work->account)) work->check_result = 1;
    return iban_build(work);
}

int rule_0031(iban_work_t *work) {
    if (work->account[0] == '0' || work->check_result < 0) return -1;
    use_range_bank_code(work);
    return iban_build(work);
}

int rule_0032(iban_work_t *work) {
    if (in_9_digit_8_range(work)) return refuse(work, SEPA_IBAN_STATUS_ACCOUNT_EXCLUDED);
    if (work->check_result < 0) return -1;
    if (work->account[0] != '0') use_range_bank_code(work);
    return iban_build(work);
}

int rule_0033(iban_work_t *work) {
    if (work->account[0] != '0') use_range_bank_code(work);
    if (in_9_digit_8_range(work) && !bank_code_is(work, "70020270")) return -1;
    return rule_replace_recheck<iban_rule_0033_accounts>(work);
}

template <const account_replacement_row *List>
int rule_range_then_list(iban_work_t *work) {  // entries 34 and 35
    if (in_9_digit_8_range(work)) return -1;
    if (work->account[0] != '0') use_range_bank_code(work);
    return rule_replace_recheck<List>(work);
}

int rule_0036(iban_work_t *work) {
    struct range {
        uint64_t low, high;
    };
    static constexpr range excluded[] = {
        {0, 99'999},
        {900'000, 29'999'999},
        {60'000'000, 99'999'999},
        {900'000'000, 999'999'999},
        {2'000'000'000, 2'999'999'999},
        {7'100'000'000, 8'499'999'999},
        {8'600'000'000, 8'999'999'999},
    };
    if (work->check_result < 0) return -1;
    uint64_t v = value_of(work);
    for (const range &r : excluded) {
        if (v >= r.low && v <= r.high) return refuse(work, SEPA_IBAN_STATUS_ACCOUNT_EXCLUDED);
    }
    if (v >= 100'000 && v <= 899'999) {  // six digits: the number times 1000
        std::memmove(work->account, work->account + 3, 7);
        std::memcpy(work->account + 7, "000", 3);
    }
    set_bank_code(work, "21050000");
    return iban_build(work);
}

int rule_0041(iban_work_t *work) { return take_fixed_iban(work, "DE96500604000000011404"); }

int rule_0042(iban_work_t *work) {
    const char *a = work->account;
    if (a[0] != '0') {
        if (a[3] == '4' && a[4] == '4') return iban_build(work);
        return -1;
    }
    if (is_8_digit(a)) {
        if (a[5] != '0') {
            uint64_t v = value_of(work);
            bool listed = (v >= 50'462'000 && v <= 50'463'999) || (v >= 50'469'000 && v <= 50'469'999);
            if (!listed) return -1;
        }
        if (a[6] == '0') return -1;
        return iban_build(work);
    }
    return -1;
}

int rule_0043(iban_work_t *work) {
    if (bank_code_is(work, "60651070")) {
        set_bank_code(work, "66650085");
        work->method = 0x06;
        work->check_result = static_cast<int8_t>(account_check_internal(work->account, nullptr, 0x06));
        if (work->check_result == -1) work->status = SEPA_IBAN_STATUS_ACCOUNT_EXCLUDED;
    }
    return iban_build(work);
}

int rule_0047(iban_work_t *work) {
    if (is_8_digit(work->account)) use_shift2(work);
    return iban_build(work);
}

int rule_0049(iban_work_t *work) {
    if (account_list_replace<iban_rule_0049_accounts>(work)) recheck_account_lenient(work);
    if (work->account[4] == '9') {  // digits 5-10 first, then digits 1-4
        char rotated[11];
        std::memcpy(rotated, work->account + 4, 6);
        std::memcpy(rotated + 6, work->account, 4);
        rotated[10] = '\0';
        std::memcpy(work->account, rotated, 11);
    }
    return iban_build(work);
}

int rule_0052(iban_work_t *work) {
    if (!bank_account_replace<iban_rule_0052_accounts>(work)) return -1;
    return iban_build(work);
}

int rule_0053(iban_work_t *work) {
    bank_account_replace<iban_rule_0053_accounts>(work);
    return iban_build(work);
}

int rule_0054(iban_work_t *work) {
    if (account_list_replace<iban_rule_0054_accounts>(work)) recheck_account_lenient(work);
    if (const account_iban_row *row = find_fixed_iban<iban_rule_0054_ibans>(work->account))
        return take_fixed_iban(work, row->iban);
    return iban_build(work);
}

int rule_0056(iban_work_t *work) {
    if (const account_iban_row *row = find_fixed_iban<iban_rule_0056_ibans>(work->account))
        return take_fixed_iban(work, row->iban);
    if (work->account[0] == '0') return -1;
    return iban_build(work);
}

int rule_0057(iban_work_t *work) {
    if (bank_code_is(work, "50810900")) set_bank_code(work, "66010200");
    return iban_build(work);
}

// Bank codes named by the rules that only replace the bank code.
constexpr char bank_0008[] = "50020200";
constexpr char bank_0012[] = "50050000";
constexpr char bank_0013[] = "30050000";
constexpr char bank_0014[] = "30060601";
constexpr char bank_0019[] = "50120383";
constexpr char bank_0025[] = "60050101";
constexpr char bank_0028[] = "25050180";
constexpr char bank_0037[] = "30010700";
constexpr char bank_0038[] = "28590075";
constexpr char bank_0039[] = "28020050";
constexpr char bank_0040[] = "68052328";
constexpr char bank_0046[] = "31010833";
constexpr char bank_0048[] = "36010200";
constexpr char bank_0050[] = "28550000";
constexpr char bank_0055[] = "25410200";

}  // namespace

const iban_rule_fn iban_rule_table[iban_rule_count] = {
    /*  0 */ iban_build,
    /*  1 */ rule_no_iban,
    /*  2 */ rule_0002,
    /*  3 */ rule_0003,
    /*  4 */ rule_replace_recheck<iban_rule_0004_accounts>,
    /*  5 */ rule_0005,
    /*  6 */ rule_replace_recheck<iban_rule_0006_accounts>,
    /*  7 */ rule_replace_recheck<iban_rule_0007_accounts>,
    /*  8 */ rule_bank_code<bank_0008>,
    /*  9 */ rule_0009,
    /* 10 */ rule_0010,
    /* 11 */ rule_0011,
    /* 12 */ rule_bank_code<bank_0012>,
    /* 13 */ rule_bank_code<bank_0013>,
    /* 14 */ rule_bank_code<bank_0014>,
    /* 15 */ rule_replace_recheck<iban_rule_0015_accounts>,
    /* 16 */ rule_replace_recheck<iban_rule_0016_accounts>,
    /* 17 */ rule_replace_recheck<iban_rule_0017_accounts>,
    /* 18 */ rule_replace_recheck<iban_rule_0018_accounts>,
    /* 19 */ rule_bank_code<bank_0019>,
    /* 20 */ rule_0020,
    /* 21 */ rule_0021,
    /* 22 */ rule_replace_recheck<iban_rule_0022_accounts>,
    /* 23 */ rule_replace_recheck<iban_rule_0023_accounts>,
    /* 24 */ rule_replace_recheck<iban_rule_0024_accounts>,
    /* 25 */ rule_bank_code<bank_0025>,
    /* 26 */ rule_0026,
    /* 27 */ rule_0027,
    /* 28 */ rule_bank_code<bank_0028>,
    /* 29 */ rule_0029,
    /* 30 */ rule_0030,
    /* 31 */ rule_0031,
    /* 32 */ rule_0032,
    /* 33 */ rule_0033,
    /* 34 */ rule_range_then_list<iban_rule_0034_accounts>,
    /* 35 */ rule_range_then_list<iban_rule_0035_accounts>,
    /* 36 */ rule_0036,
    /* 37 */ rule_bank_code<bank_0037>,
    /* 38 */ rule_bank_code<bank_0038>,
    /* 39 */ rule_bank_code<bank_0039>,
    /* 40 */ rule_bank_code<bank_0040>,
    /* 41 */ rule_0041,
    /* 42 */ rule_0042,
    /* 43 */ rule_0043,
    /* 44 */ rule_replace_lenient<iban_rule_0044_accounts>,
    /* 45 */ iban_build,
    /* 46 */ rule_bank_code<bank_0046>,
    /* 47 */ rule_0047,
    /* 48 */ rule_bank_code<bank_0048>,
    /* 49 */ rule_0049,
    /* 50 */ rule_bank_code<bank_0050>,
    /* 51 */ rule_replace_lenient<iban_rule_0051_accounts>,
    /* 52 */ rule_0052,
    /* 53 */ rule_0053,
    /* 54 */ rule_0054,
    /* 55 */ rule_bank_code<bank_0055>,
    /* 56 */ rule_0056,
    /* 57 */ rule_0057,
};
