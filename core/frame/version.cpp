#include "sepa.h"

// Exported data; visibility comes from the declarations in sepa.h, the values from
// the generated sepa_version.h.
extern "C" {
const int sepa_version_int = SEPA_VERSION_NUMBER;
const char *sepa_version_str = SEPA_VERSION_STRING;
}
