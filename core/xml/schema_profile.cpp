#include "core/xml/schema_profile.h"

#include <cstring>

#include "core/frame/rulebook.h"

namespace {

// pain.001.002.03 / pain.008.002.02 know agents by BIC only and mandate ids without
// spaces; pain.001.003.03 / pain.008.003.02 add the IBAN-only form; pain.00x.001.0x
// of DE-3.0 on admit spaces in mandate ids; the 2019 versions of DE-3.7 take any text.
constexpr schema_profile profiles[RULEBOOK_COUNT] = {
    /* DE-2.6 */ {"BIC", true, IDS_WITH_SPACE, IDS_NO_SPACE, true, false, false},
    /* DE-2.7 */ {"BIC", false, IDS_WITH_SPACE, IDS_NO_SPACE, true, false, false},
    /* AT-6   */ {"BIC", false, IDS_WITH_SPACE, IDS_WITH_SPACE, true, false, false},
    /* NL-6   */ {"BIC", false, IDS_WITH_SPACE, IDS_WITH_SPACE, true, false, false},
    /* DE-2.8 */ {"BIC", false, IDS_WITH_SPACE, IDS_NO_SPACE, true, false, false},
    /* DE-2.9 */ {"BIC", false, IDS_WITH_SPACE, IDS_NO_SPACE, true, false, false},
    /* DE-3.0 */ {"BIC", false, IDS_WITH_SPACE, IDS_WITH_SPACE, true, true, false},
    /* DE-3.1 */ {"BIC", false, IDS_WITH_SPACE, IDS_WITH_SPACE, true, true, false},
    /* DE-3.5 */ {"BIC", false, IDS_WITH_SPACE, IDS_WITH_SPACE, true, true, false},
    /* DE-3.7 */ {"BICFI", false, IDS_ANY, IDS_ANY, false, true, true},
};

// The character class of the restricted identifier patterns
// ([A-Za-z0-9]|[\+|\?|/|\-|:|\(|\)|\.|,|']): the '|' inside the class is a literal.
struct id_classes {
    bool restricted[256] = {};
    constexpr id_classes() {
        for (int c = '0'; c <= '9'; ++c) restricted[c] = true;
        for (int c = 'A'; c <= 'Z'; ++c) restricted[c] = true;
        for (int c = 'a'; c <= 'z'; ++c) restricted[c] = true;
        for (const char *p = "+?/-:().,'|"; *p; ++p) restricted[static_cast<unsigned char>(*p)] = true;
    }
};
constexpr id_classes classes;

bool admitted(unsigned char c, id_charset charset) {
    switch (charset) {
        case IDS_ANY: return true;
        case IDS_WITH_SPACE: return classes.restricted[c] || c == ' ';
        case IDS_NO_SPACE: return classes.restricted[c];
    }
    return false;
}

bool is_letter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

const schema_profile *schema_profile_of(int rulebook) {
    if (rulebook < 0 || rulebook >= RULEBOOK_COUNT) return nullptr;
    return &profiles[rulebook];
}

const char *first_bad_id_char(const char *text, id_charset charset) {
    if (text == nullptr) return nullptr;
    for (const char *p = text; *p; ++p)
        if (!admitted(static_cast<unsigned char>(*p), charset)) return p;
    return nullptr;
}

bool creditor_id_fits_schema(const char *id) {
    const size_t length = strlen(id);
    if (length < 8 || length > 35) return false;
    if (!is_letter(id[0]) || !is_letter(id[1]) || !is_digit(id[2]) || !is_digit(id[3])) return false;
    return first_bad_id_char(id + 4, IDS_NO_SPACE) == nullptr;
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
