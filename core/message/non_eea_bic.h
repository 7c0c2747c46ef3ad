// Banks outside the EEA, recognised by a BIC's country code or, without BIC, by the
// IBAN's country. Several rules ask for addresses in payments that involve them.
#pragma once

// -1 when `bic` is NULL or shorter than 8 bytes; 1 when its country code
// (characters 4 and 5, any case) is a SEPA country or territory outside the EEA;
// else 0.
int is_non_eea_bic(const char *bic);

// True when the bank of a counterparty lies outside the EEA: by its BIC when it has
// one, else by the country of its IBAN.
bool bank_outside_eea(const char *bic, const char *iban);
