// What the schema of each rulebook's documents demands of the writers, beyond the
// names of the schemas: agent element, IBAN-only support, identifier character
// sets, the form of the SMNDA amendment and of the execution date.
#pragma once

#include "core/xml/xml_buffer.h"

// Characters an identifier element admits.
enum id_charset : unsigned char {
    IDS_ANY,          // Max35Text: any text (escaped when written)
    IDS_WITH_SPACE,   // A-Z a-z 0-9 ' ( ) + , - . / : ? and space
    IDS_NO_SPACE,     // the same without the space
};

struct schema_profile {
    const char *agent;           // "BIC", or "BICFI" from pain.001.001.09 / pain.008.001.08 on
    bool agents_need_bic;        // no IBAN-only agent form: every agent needs a BIC
    id_charset ids;              // MsgId, PmtInfId, EndToEndId
    id_charset mandate_ids;      // MndtId, OrgnlMndtId
    bool smnda_as_account;       // SMNDA in OrgnlDbtrAcct (else OrgnlDbtrAgt)
    bool execution_date_choice;  // ReqdExctnDt holds a Dt child
};

// Profile of rulebook index 0-9, or NULL for any other value.
const schema_profile *schema_profile_of(int rulebook);

// First byte of `text` that `charset` does not admit, or NULL when all are admitted.
const char *first_bad_id_char(const char *text, id_charset charset);

// The Document start tag of `schema` ("pain.001.001.03" ...) with xsi:schemaLocation
// when `with_location`, on one line. 1 / 0 (cannot grow).
int write_document_start(xml_buffer *buffer, const char *schema, bool with_location);
