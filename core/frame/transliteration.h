// Opt-in conversion of Latin characters outside the SEPA character set to their
// SEPA spelling (é -> e, ł -> l, ø -> o, ç -> c, Æ -> AE ...), as the EPC advises for
// banks that only take the basic set. Characters the rulebook admits where the text
// goes (umlauts and ß in names under most rulebooks) are kept; where it does not
// admit them they become AE, OE, UE, ss. Characters without a conversion stay as
// they are, so the character check still names them.
#pragma once

#include <cstddef>

struct rulebook_t;

// Writes the converted `text` into `out`, which has room for strlen(text) + 1
// bytes: no conversion is longer than the character it replaces. `level` is the
// character level of the field (as check_text takes it).
void transliterate(const rulebook_t *rulebook, const char *text, int level, char *out);
