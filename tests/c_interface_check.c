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
    {
        /* A malloc()ed text the caller frees: a Latin-1 byte becomes UTF-8. */
        char *utf8 = sepa_text_toUTF8("M\xfcller");
        int same = utf8 != NULL && strcmp(utf8, "M\xc3\xbcller") == 0;
        free(utf8);
        if (!same) return 1;
    }
    sepa_cleanup();
    return 0;
}
