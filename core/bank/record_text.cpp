#include "core/bank/record_text.h"

#include <cstring>

void clear_record(bank_record_t *record) {
    record->bic = record->name = record->zip = record->city = record->country = record->successor = nullptr;
    record->deletion_flag = 0;
    record->method = 0;
    record->scl_flags = 0;
    record->iban_rule = 0;
    record->text[0] = '\0';
}

char *copy_record_text(bank_record_t *record, std::string_view text) {
    const size_t length = text.size() < sizeof record->text ? text.size() : sizeof record->text - 1;
    std::memcpy(record->text, text.data(), length);
    record->text[length] = '\0';
    return record->text;
}
