/* Compiled as C99: the public header is plain C and the library links on its own. */
#include <stddef.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "sepa.h"

/* Fields added to the statement records went behind the old ones: on x86-64 the
 * records of version 2.27 end with `next` at these offsets. */
#if defined(__x86_64__) && defined(__linux__)
typedef char tx_layout_kept[offsetof(sepa_stmt_tx_t, next) == 376 &&
                            offsetof(sepa_stmt_tx_t, name) == 224 ? 1 : -1];
typedef char stmt_layout_kept[offsetof(sepa_stmt_t, next) == 176 &&
                              offsetof(sepa_stmt_t, open_currency) == 152 ? 1 : -1];
#endif

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
