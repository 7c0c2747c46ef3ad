// Check digits of a SEPA creditor identifier (ISO 7064 mod 97-10 without the
// creditor business code at positions 4-6).
#pragma once

// nullptr when valid, else the constant failure text. Besides the check digits, the
// layout must be the one the schemas accept: two letters, two digits, a business
// code of three identifier characters without space, then letters and digits.
const char *creditor_id_error(const char *creditor_id);
