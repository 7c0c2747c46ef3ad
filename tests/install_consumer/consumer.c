/* Links against the installed libsepa and makes one call of each family. */
#include <stdio.h>
#include <stdlib.h>

#include <sepa.h>

int main(void) {
    sepa_bankinfo_t *info = NULL;
    if (sepa_iban_check("DE89370400440532013000") != 1) return 1;
    if (sepa_bankid_check("DE", "37040044", &info) != 1) return 1;
    printf("%s %s\n", sepa_version_str, info->name);
    free(info);
    return 0;
}
