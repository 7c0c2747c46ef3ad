// Process-wide SEPA rulebook. Everything a rulebook decides is a column of its one
// row in rulebook_table: schema versions and namespaces, the agent element, the
// character rules, COR1, required data, the address model, SEPA Instant and the
// date from which it is the default. A new rulebook is a new row; nothing else in
// the library tests rulebook indices.
#pragma once

#include <cstdint>

// Which postal addresses a rulebook's documents carry.
enum address_model : unsigned char {
    ADDRESS_LINES,         // Ctry and up to two AdrLine (PostalAddress6)
    ADDRESS_STRUCTURED,    // PostalAddress24: structured elements, hybrid or lines
    ADDRESS_TOWN_COUNTRY,  // PostalAddress24 where a given address needs TwnNm and Ctry
};

// The schema of one message kind under a rulebook.
struct schema_names {
    const char *name;      // "pain.001.001.03"
    const char *ns;        // xmlns: "urn:iso:std:iso:20022:tech:xsd:" + name
    const char *location;  // xsi:schemaLocation, or NULL when the Document has none
};

struct rulebook_t {
    const char *name;             // name accepted by sepa_init
    schema_names ct;              // credit transfers (pain.001)
    schema_names dd;              // direct debits (pain.008)
    const char *agent;            // "BIC", or "BICFI" from pain.001.001.09 / pain.008.001.08 on
    bool bic_required;            // no IBAN-only form: every transaction and the debtor need a BIC
    bool cor1_allowed;            // COR1 direct debits may be created
    bool names_without_extended;  // the character check lowers level 2 to level 1
    bool austrian_charset;        // Austrian extension of the character set at every level
    bool mandate_id_spaces;       // mandate references (also old ones) may contain spaces
    bool smnda_as_account;        // SMNDA in OrgnlDbtrAcct (else OrgnlDbtrAgt)
    bool execution_date_choice;   // ReqdExctnDt holds a Dt child
    bool non_eea_debtor_address;  // a direct debit from a bank outside the EEA needs the debtor's address
    address_model addresses;      // postal address form
    bool non_eea_payer_address;   // a credit transfer to a bank outside the EEA needs the payer's town and country
    bool instant_allowed;         // SEPA Instant credit transfers (local instrument INST)
    int32_t default_from;         // yyyymmdd of the local date from which it is the default; 0 never
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
    RULEBOOK_DE_3_8 = 10,
    RULEBOOK_DE_3_9 = 11,
    RULEBOOK_DE_26_11 = 12,
};

inline constexpr int RULEBOOK_COUNT = 13;
extern const rulebook_t rulebook_table[RULEBOOK_COUNT];

// Current rulebook index, or -1 while none has been chosen.
int current_rulebook();

// Row of `rulebook`, or NULL for -1 and any other index outside the table.
const rulebook_t *rulebook_row(int rulebook);

// Row of the current rulebook; before any choice the row the date-based default
// would pick today is not assumed: NULL.
const rulebook_t *current_rulebook_row();

// True when rulebook index `rulebook` permits COR1 direct debits (false for -1 and
// any other index outside the table).
bool rulebook_allows_cor1(int rulebook);

// The first row (in index order) whose column `allows` holds, for error texts that
// name the rulebook a feature needs.
const char *first_rulebook_name(bool (*allows)(const rulebook_t &));

// Index of the default rulebook on the local date yyyymmdd: the row with the latest
// default_from not after it.
int default_rulebook_on(int32_t yyyymmdd);

// Sets the rulebook from the local date if none has been chosen yet (see
// default_from: "DE-3.1" before 21 December 2021, "DE-3.5" from then on, "DE-26.11"
// from 15 November 2026). Called by sepa_new.
void apply_default_rulebook();

// Test seam: forgets the choice so that the date-based default can be observed again.
void reset_rulebook_for_tests();
