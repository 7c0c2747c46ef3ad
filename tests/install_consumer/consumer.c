/* Links against the installed libsepa and makes one call of each family. */
#include <stdio.h>
#include <stdlib.h>

#include <sepa.h>

int main(void) {
    sepa_bankinfo_t *info = NULL;
    if (sepa_version_int != SEPA_VERSION_NUMBER) return 1; /* the installed sepa_version.h */
    if (sepa_iban_check("DE89370400440532013000") != SEPA_IBAN_OK) return 1;
    if (sepa_bankid_check("DE", "37040044", &info) != SEPA_BANK_OK) return 1;
    printf("%s %s\n", sepa_version_str, info->name);
    free(info);
    return 0;
}
