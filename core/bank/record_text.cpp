#include "core/bank/record_text.h"

void clear_record(bank_record_t *record) {
    record->bic = record->name = record->zip = record->city = record->country = record->successor = nullptr;
    record->deletion_flag = 0;
    record->method = 0;
    record->scl_flags = 0;
    record->iban_rule = 0;
    record->text[0] = '\0';
}
