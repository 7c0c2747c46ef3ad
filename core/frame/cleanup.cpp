// sepa_cleanup stays in the interface for callers that release the library's
// process-wide state before they exit or unload it. Everything the library keeps
// between calls is constant data today (no pattern is compiled on first use), so
// there is nothing to release.
#include "sepa.h"

extern "C" SEPA_API void sepa_cleanup(void) {}
