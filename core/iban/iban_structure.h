// The IBAN structure check against the country table: country, length, layout and
// check digits, without anything a bank directory knows.
#pragma once

// nullptr when `iban` is a well-formed IBAN of a country of the table, else the
// constant text of the first failing step ("Invalid IBAN (NULL)", "Error while
// initializing regular expressions", "Invalid or unknown IBAN country code", "Wrong
// IBAN length", "Invalid IBAN format", "Invalid IBAN checksum"). The IBAN is read
// unchanged: no spaces are removed and nothing is upper-cased.
const char *iban_structure_error(const char *iban);
