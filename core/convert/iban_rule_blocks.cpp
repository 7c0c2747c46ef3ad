// Building blocks shared by the German IBAN rules: the standard IBAN, list and
// range searches, the re-check after a replacement and the check digits.
#include <bit>
#include <cstring>

#include "core/bank/account_check.h"
#include "core/bank/account_value.h"
#include "core/convert/iban_work.h"
#include "core/iban/iban_check_digits.h"

// The digit tricks read characters into integers with the first one in the lowest byte.
static_assert(std::endian::native == std::endian::little, "little-endian byte order assumed");

int iban_build(iban_work_t *work) {
    char *out = work->iban;
    std::memcpy(out, "DE00", 4);
    std::memcpy(out + 4, work->blz, 8);
    std::memcpy(out + 12, work->account, 10);
    out[22] = '\0';
    return 1;
}

void recheck_account(iban_work_t *work) {
    work->check_result = static_cast<int8_t>(account_check_internal(work->account, nullptr, work->method));
}

void recheck_account_lenient(iban_work_t *work) {
    work->check_result = account_check_internal(work->account, nullptr, work->method) == 1 ? 1 : 0;
}

void shift2(const char *account, char *out) {
    std::memcpy(out, account + 2, 8);
    out[8] = '0';
    out[9] = '0';
    out[10] = '\0';
}

const char *range_bank_code(const char *account) {
    uint64_t value = account_value(account, 0, 10);
    // The table is ascending by prefix with disjoint ranges, so the first row that
    // contains the value is the only one; a binary search finds it.
    const account_range_row *table = iban_rule_0031_account_ranges;
    size_t low = 0;
    size_t high = iban_rule_0031_account_ranges_count;
    while (low < high) {
        size_t middle = low + (high - low) / 2;
        const account_range_row &row = table[middle];
        if (value < row.lowest) {
            high = middle;
        } else if (value > row.highest) {
            low = middle + 1;
        } else {
            return row.new_bank_code;
        }
    }
    return nullptr;
}

void set_bank_code(iban_work_t *work, const char *bank_code) {
    std::memcpy(work->blz, bank_code, 8);
    work->blz[8] = '\0';
}

namespace {

// Eight digit characters as their number, or false when one is no digit. All eight
// at once: each byte less "0", then neighbours joined in pairs, fours and eights.
bool eight_digits_value(const char *text, uint64_t &value) {
    uint64_t v;
    std::memcpy(&v, text, 8);
    constexpr uint64_t high_nibbles = 0xF0F0F0F0F0F0F0F0u;
    constexpr uint64_t zeros = 0x3030303030303030u;
    // every byte "0".."9": high nibble 3, and the low nibble plus 6 stays below 16
    if (((v & high_nibbles) ^ zeros) | (((v + 0x0606060606060606u) & high_nibbles) ^ zeros)) return false;
    v -= zeros;                                       // first character in the lowest byte
    v = (v * 10 + (v >> 8)) & 0x00FF00FF00FF00FFu;    // pairs
    v = (v * 100 + (v >> 16)) & 0x0000FFFF0000FFFFu;  // fours
    value = (v * 10000 + (v >> 32)) & 0xFFFFFFFFu;    // eight
    return true;
}

// The 18 digits of a German IBAN's bank code and account as one number, or false
// when the text is not "DE", two characters and 18 digits.
bool german_bban_value(const char *iban, size_t length, uint64_t &value) {
    if (length != 22 || iban[0] != 'D' || iban[1] != 'E') return false;
    uint64_t first = 0, second = 0;
    const unsigned ninth = static_cast<unsigned char>(iban[20]) - 48u;
    const unsigned tenth = static_cast<unsigned char>(iban[21]) - 48u;
    if (!eight_digits_value(iban + 4, first) || !eight_digits_value(iban + 12, second) || ninth > 9 || tenth > 9)
        return false;
    value = first * 10'000'000'000ULL + second * 100ULL + ninth * 10ULL + tenth;
    return true;
}

}  // namespace

bool iban_set_check_digits(char *iban) { return iban_set_check_digits(iban, std::strlen(iban)); }

bool iban_set_check_digits(char *iban, size_t length) {
    if (length < 5) return false;
    // Every converted IBAN is German: its 18 digits fit one 64-bit number, and
    // "DE00" after them reads 131400, so the remainder is two divisions.
    uint64_t bban = 0;
    if (german_bban_value(iban, length, bban)) {
        const unsigned check = 98 - static_cast<unsigned>((bban % 97 * (1'000'000 % 97) + 131400) % 97);
        iban[2] = static_cast<char>('0' + check / 10);
        iban[3] = static_cast<char>('0' + check % 10);
        return true;
    }
    // The check digits are those that make the text with "00" in their place
    // leave 98 minus its remainder; the old ones are put back when it has none.
    const char old_digits[2] = {iban[2], iban[3]};
    iban[2] = '0';
    iban[3] = '0';
    const int remainder = iban_mod97(iban, length);
    if (remainder < 0) {
        iban[2] = old_digits[0];
        iban[3] = old_digits[1];
        return false;
    }
    const unsigned check = 98 - static_cast<unsigned>(remainder);
    iban[2] = static_cast<char>('0' + check / 10);
    iban[3] = static_cast<char>('0' + check % 10);
    return true;
}
