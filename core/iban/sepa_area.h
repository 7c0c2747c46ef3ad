// Today's SEPA area by country code, from the EPC list of SEPA scheme countries.
#pragma once

#include "core/iban/iban_country_table.h"

// The row of `country` (two upper-case letters: an IBAN, BIC or address country
// code), or nullptr when the code is neither in the SEPA area nor a territory that
// uses a SEPA country's IBANs.
const sepa_area_row *sepa_area_find(const char *country);

// True when `country` (two upper-case letters) is in the SEPA area (GG, JE, IM
// and the French territories of the EPC list included).
bool country_in_sepa(const char *country);

// True when `country` (two upper-case letters) is in the EEA. Every EEA country is
// in the SEPA area; codes outside it count as outside the EEA.
bool country_in_eea(const char *country);
