#include "sepa.h"

// Exported data; visibility comes from the declarations in sepa.h.
extern "C" {
const int sepa_version_int = 22700;
const char *sepa_version_str = "2.27";
}
