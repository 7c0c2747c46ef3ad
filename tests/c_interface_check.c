/* Compiled as C99: the public header is plain C and the library links on its own. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "sepa.h"

int main(void) {
    if (sepa_version_int != 22700 || strcmp(sepa_version_str, "2.27") != 0) {
        fprintf(stderr, "version exports wrong\n");
        return 1;
    }
    if (sepa_init(SEPA_INIT_RULEBOOK, "DE-3.5") != 1) return 1;
    if (strcmp(sepa_getError(NULL), "Invalid sepa_t handle (NULL)") != 0) return 1;
    sepa_cleanup();
    return 0;
}
