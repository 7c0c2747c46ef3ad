// Process-wide SEPA rulebook: which character sets, COR1 permission, required data
// and schema versions apply. Index values are tested throughout the library.
#pragma once

#include <cstdint>

struct rulebook_t {
    const char *name;           // name accepted by sepa_init
    const char *ct_schema;      // pain.001 version of credit-transfer documents
    const char *dd_schema;      // pain.008 version of direct-debit documents
    bool cor1_allowed;          // COR1 direct debits may be created
    bool schema_location;       // Document element carries xsi:schemaLocation
};

enum rulebook_index : int {
    RULEBOOK_NONE = -1,
    RULEBOOK_DE_2_6 = 0,
    RULEBOOK_DE_2_7 = 1,
    RULEBOOK_AT_6 = 2,
    RULEBOOK_NL_6 = 3,
    RULEBOOK_DE_2_8 = 4,
    RULEBOOK_DE_2_9 = 5,
    RULEBOOK_DE_3_0 = 6,
    RULEBOOK_DE_3_1 = 7,
    RULEBOOK_DE_3_5 = 8,
    RULEBOOK_DE_3_7 = 9,
};

inline constexpr int RULEBOOK_COUNT = 10;
extern const rulebook_t rulebook_table[RULEBOOK_COUNT];

// Current rulebook index 0-9, or -1 while none has been chosen.
int current_rulebook();

// True when rulebook index `rulebook` permits COR1 direct debits (false for -1 and
// any other index outside the table).
bool rulebook_allows_cor1(int rulebook);

// Sets the rulebook from the local date if none has been chosen yet:
// "DE-3.5" from 21 December 2021 on, "DE-3.1" before. Called by sepa_new.
void apply_default_rulebook();

// Test seam: forgets the choice so that the date-based default can be observed again.
void reset_rulebook_for_tests();
