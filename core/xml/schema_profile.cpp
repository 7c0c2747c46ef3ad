#include "core/xml/schema_profile.h"

#include <cstring>

#include "core/frame/rulebook.h"
#include "core/message/message_id_check.h"

namespace {

// pain.001.002.03 / pain.008.002.02 know agents by BIC only and mandate ids without
// spaces; pain.001.003.03 / pain.008.003.02 add the IBAN-only form; pain.00x.001.0x
// of DE-3.0 on admit spaces in mandate ids; the 2019 versions of DE-3.7 take any text.
constexpr schema_profile profiles[RULEBOOK_COUNT] = {
    /* DE-2.6 */ {"BIC", true, IDS_WITH_SPACE, IDS_NO_SPACE, false, false},
    /* DE-2.7 */ {"BIC", false, IDS_WITH_SPACE, IDS_NO_SPACE, false, false},
    /* AT-6   */ {"BIC", false, IDS_WITH_SPACE, IDS_WITH_SPACE, false, false},
    /* NL-6   */ {"BIC", false, IDS_WITH_SPACE, IDS_WITH_SPACE, false, false},
    /* DE-2.8 */ {"BIC", false, IDS_WITH_SPACE, IDS_NO_SPACE, false, false},
    /* DE-2.9 */ {"BIC", false, IDS_WITH_SPACE, IDS_NO_SPACE, false, false},
    /* DE-3.0 */ {"BIC", false, IDS_WITH_SPACE, IDS_WITH_SPACE, true, false},
    /* DE-3.1 */ {"BIC", false, IDS_WITH_SPACE, IDS_WITH_SPACE, true, false},
    /* DE-3.5 */ {"BIC", false, IDS_WITH_SPACE, IDS_WITH_SPACE, true, false},
    /* DE-3.7 */ {"BICFI", false, IDS_ANY, IDS_ANY, true, true},
};

// The restricted identifier patterns of the SEPA schemas admit the identifier set
// of message ids (their character class also lists '|', an accident of the regular
// expression's syntax that no guideline allows).
bool admitted(char c, id_charset charset) {
    switch (charset) {
        case IDS_ANY: return true;
        case IDS_WITH_SPACE: return is_identifier_char(c);
        case IDS_NO_SPACE: return c != ' ' && is_identifier_char(c);
    }
    return false;
}

}  // namespace

const schema_profile *schema_profile_of(int rulebook) {
    if (rulebook < 0 || rulebook >= RULEBOOK_COUNT) return nullptr;
    return &profiles[rulebook];
}

const char *first_bad_id_char(const char *text, id_charset charset) {
    if (text == nullptr) return nullptr;
    for (const char *p = text; *p; ++p)
        if (!admitted(*p, charset)) return p;
    return nullptr;
}

int write_document_start(xml_buffer *buffer, const char *schema, bool with_location) {
    static const char ns[] = "urn:iso:std:iso:20022:tech:xsd:";
    if (!buffer_append_all(buffer, "<Document xmlns=\"", ns, schema,
                           "\" xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"", XML_END))
        return 0;
    if (with_location && !buffer_append_all(buffer, " xsi:schemaLocation=\"", ns, schema, " ", schema,
                                            ".xsd\"", XML_END))
        return 0;
    return buffer_append(buffer, ">\n");
}
