// SEPA countries and territories outside the EEA, recognised by a BIC's country code.
#pragma once

// -1 when `bic` is NULL or shorter than 8 bytes; 1 when its country code
// (characters 4 and 5, any case) is in the SEPA area but outside the EEA (AD, AL,
// CH, GB, GI, MC, MD, ME, MK, RS, SM, VA, GG, IM, JE, PM, as the EPC list has it)
// or is a territory using a SEPA country's IBANs outside the area (NC, PF, TF, WF);
// else 0.
int is_non_eea_bic(const char *bic);
