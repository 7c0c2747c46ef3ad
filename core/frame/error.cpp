#include "sepa.h"

extern "C" SEPA_API const char *sepa_getError(const sepa_t *handle) {
    if (handle == nullptr) return "Invalid sepa_t handle (NULL)";
    return handle->error;
}
