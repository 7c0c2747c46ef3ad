// sepa_iban_inspect: the IBAN check over every registry country, with the reason,
// the parts of the IBAN and the bank the directory knows for it.
#include <cstring>

#include "core/bank/bank_record.h"
#include "core/iban/iban_bank_code.h"
#include "core/iban/iban_structure.h"
#include "core/iban_check/iban_validate.h"
#include "sepa.h"

namespace {

template <size_t N>
void copy_part(char (&out)[N], const char *from, size_t length) {
    if (length >= N) length = N - 1;
    std::memcpy(out, from, length);
    out[length] = '\0';
}

// A directory text into a field of the info; a text that does not fit is cut at a
// character boundary (the fields are sized for the longest compiled-in texts).
template <size_t N>
void copy_text(char (&out)[N], const char *text) {
    if (text == nullptr) {
        out[0] = '\0';
        return;
    }
    size_t length = strnlen(text, N);
    if (length >= N) {
        length = N - 1;
        while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) --length;
    }
    std::memcpy(out, text, length);
    out[length] = '\0';
}

void fill_bank(sepa_iban_info_t *info, const bank_record_t &record, bool german) {
    info->bank_found = 1;
    if (german) info->check_method = record.method;
    copy_text(info->bank_bic, record.bic);
    copy_text(info->bank_name, record.name);
    copy_text(info->bank_zip, record.zip);
    copy_text(info->bank_city, record.city);
}

int finish(sepa_iban_info_t *info, int reason) {
    info->reason = reason;
    info->reason_text = iban_reason_text(reason);
    return reason == SEPA_IBAN_REASON_NONE ? SEPA_IBAN_OK : SEPA_IBAN_ERR_INVALID;
}

}  // namespace

extern "C" SEPA_API int sepa_iban_inspect(const char *iban, sepa_iban_info_t *info) {
    if (iban == nullptr || info == nullptr) return SEPA_IBAN_ERR_NULL;
    std::memset(info, 0, sizeof *info);
    info->check_method = -1;
    const iban_country_t *row = iban_country_of(iban);
    if (row == nullptr) return finish(info, SEPA_IBAN_REASON_COUNTRY);
    copy_part(info->country, row->code, 2);
    info->sepa = (row->flags & iban_in_sepa) != 0;
    info->eea = (row->flags & iban_in_eea) != 0;

    const int reason = iban_layout_check(iban, *row);
    if (reason == SEPA_IBAN_REASON_LENGTH || reason == SEPA_IBAN_REASON_FORMAT) return finish(info, reason);
    copy_part(info->check_digits, iban + 2, 2);
    copy_part(info->bban, iban + 4, row->length - 4u);
    copy_part(info->bank_id, iban + row->bank_offset, row->bank_length);
    copy_part(info->branch_id, iban + row->branch_offset, row->branch_length);
    if (reason != SEPA_IBAN_REASON_NONE) return finish(info, reason);

    const bool german = std::strcmp(info->country, "DE") == 0;
    bank_record_t record;
    if (german) {
        const int german_reason = german_account_reason(iban, &record);
        if (german_reason != SEPA_IBAN_REASON_BANK_CODE) fill_bank(info, record, true);
        return finish(info, german_reason);
    }
    char bank_code[9];
    if (iban_bank_code(iban, bank_code) != 0 && bank_lookup(info->country, bank_code, &record) == 1) {
        fill_bank(info, record, false);
    }
    return finish(info, SEPA_IBAN_REASON_NONE);
}
