// Banks outside the EEA, recognised by a BIC's country code or, without BIC, by the
// IBAN's country. Several rules ask for addresses in payments that involve them.
#pragma once

// -1 when `bic` is NULL or shorter than 8 bytes; 1 when its country code
// (characters 4 and 5, any case) is in the SEPA area but outside the EEA (AD, AL,
// CH, GB, GI, MC, MD, ME, MK, RS, SM, VA, GG, IM, JE, PM, as the EPC list has it)
// or is a territory using a SEPA country's IBANs outside the area (NC, PF, TF, WF);
// else 0.
int is_non_eea_bic(const char *bic);

// True when the bank of a counterparty lies outside the EEA as is_non_eea_bic
// counts it: by its BIC when it has one, else by the country of its IBAN.
bool bank_outside_eea(const char *bic, const char *iban);
