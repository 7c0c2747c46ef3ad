// SEPA countries and territories outside the EEA, recognised by a BIC's country code.
#pragma once

// -1 when `bic` is NULL or shorter than 8 bytes; 1 when its country code
// (characters 4 and 5, any case) is AD, BL, CH, MC, SM, GB, GI, GG, IM, JE, NC, PF,
// PM, TF, WF or VA; else 0.
int is_non_eea_bic(const char *bic);
