// The IBAN structure check against the registry's country table: country, length,
// layout and check digits, without anything a bank directory knows.
#pragma once

#include "core/iban/iban_country_table.h"

// The row of the country named by the first two characters of `iban` (letters of
// either case), or nullptr (also for NULL and texts shorter than two characters).
const iban_country_t *iban_country_of(const char *iban);

// SEPA_IBAN_REASON_NONE when `iban` (read unchanged: no spaces removed, nothing
// upper-cased) has the length, layout and check digits of its country `row`; else
// SEPA_IBAN_REASON_LENGTH, SEPA_IBAN_REASON_FORMAT (also for a country code not in
// upper case) or SEPA_IBAN_REASON_CHECK_DIGITS, the first that applies.
int iban_layout_check(const char *iban, const iban_country_t &row);

// The constant text of a SEPA_IBAN_REASON_* value ("Invalid IBAN checksum" ...),
// nullptr for SEPA_IBAN_REASON_NONE and unknown values.
const char *iban_reason_text(int reason);
