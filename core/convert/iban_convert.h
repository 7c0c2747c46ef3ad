// German bank code and account number to the IBAN the bank would give, as the other
// subsystems call it; sepa_iban_convert is its exported wrapper.
#pragma once

// Arguments and results exactly as sepa_iban_convert (include/sepa.h).
int iban_convert(const char *country, const char *account, const char *bank_code, char *iban, char *status);
