/* Compiled as C99: the public header is plain C, its names are usable from C, and
 * the library links on its own. */
#include <stddef.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "sepa.h"

/* Fields added to the statement records went behind the old ones: on x86-64 the
 * records of version 2.27 end with `next` at these offsets. */
#if defined(__x86_64__) && defined(__linux__)
typedef char tx_layout_kept[offsetof(sepa_stmt_tx_t, next) == 376 && offsetof(sepa_stmt_tx_t, name) == 224 ? 1 : -1];
typedef char
    stmt_layout_kept[offsetof(sepa_stmt_t, next) == 176 && offsetof(sepa_stmt_t, open_currency) == 152 ? 1 : -1];
#endif

#define EXPECT(condition)                                                   \
    do {                                                                    \
        if (!(condition)) {                                                 \
            fprintf(stderr, "%s:%d: %s\n", __FILE__, __LINE__, #condition); \
            return 1;                                                       \
        }                                                                   \
    } while (0)

int main(void) {
    char iban[SEPA_IBAN_BUFSIZE];
    char bic[SEPA_BIC_BUFSIZE];
    char status = -1;
    sepa_bankinfo_t *info = NULL;

    EXPECT(sepa_version_int == SEPA_VERSION_NUMBER);
    EXPECT(strcmp(sepa_version_str, SEPA_VERSION_STRING) == 0);
    EXPECT(sepa_init(SEPA_INIT_RULEBOOK, "DE-3.5") == SEPA_OK);
    EXPECT(sepa_init(SEPA_INIT_RULEBOOK, "XX-1.0") == SEPA_FAILED);
    EXPECT(strcmp(sepa_getError(NULL), "Invalid sepa_t handle (NULL)") == 0);

    EXPECT(sepa_account_check("9290701", 0x00) == SEPA_ACCOUNT_OK);
    EXPECT(sepa_account_check("9290702", 0x00) == SEPA_ACCOUNT_ERR_INVALID);
    EXPECT(sepa_account_check("9290701", 0x09) == SEPA_ACCOUNT_UNSUPPORTED);
    EXPECT(sepa_iban_check("DE89370400440532013000") == SEPA_IBAN_OK);
    EXPECT(sepa_iban_check("DE89370400440532013001") == SEPA_IBAN_ERR_INVALID);

    EXPECT(sepa_bankid_check("DE", "37040044", &info) == SEPA_BANK_OK);
    free(info);
    EXPECT(sepa_bankid_check("FR", "30004", NULL) == SEPA_BANK_UNSUPPORTED);
    EXPECT(sepa_bankid_check("DE", "99999999", NULL) == SEPA_BANK_ERR_UNKNOWN);
    EXPECT(sepa_iban_getBank("DE89370400440532013001", NULL) == SEPA_BANK_ERR_IBAN);

    EXPECT(sepa_iban_convert("DE", "532013000", "37040044", iban, &status) == SEPA_CONVERT_OK);
    EXPECT(strcmp(iban, "DE89370400440532013000") == 0 && status == SEPA_IBAN_STATUS_PLAIN);
    EXPECT(sepa_iban_convert("FR", "532013000", "37040044", iban, &status) == SEPA_CONVERT_UNSUPPORTED);
    EXPECT(sepa_iban_convert("DE", "53201300x", "37040044", iban, &status) == SEPA_CONVERT_ERR_INVALID);
    EXPECT(sepa_iban_convert("DE", "532013000", "99999999", iban, &status) == SEPA_CONVERT_ERR_UNKNOWN);
    EXPECT(status == SEPA_IBAN_STATUS_BANK_UNKNOWN);
    EXPECT(sepa_iban_getBIC("DE89370400440532013000", bic) == SEPA_CONVERT_OK);
    EXPECT(strlen(bic) == SEPA_BIC_BUFSIZE - 1);

    {
        sepa_iban_info_t iban_info;
        char printed[SEPA_IBAN_PRINT_BUFSIZE];
        EXPECT(sepa_iban_normalize("iban de89 3704 0044 0532 0130 00", iban, sizeof iban) == SEPA_IBAN_OK);
        EXPECT(sepa_iban_inspect(iban, &iban_info) == SEPA_IBAN_OK && iban_info.reason == SEPA_IBAN_REASON_NONE);
        EXPECT(sepa_iban_format(iban, printed, sizeof printed) == SEPA_IBAN_OK);
        EXPECT(strcmp(printed, "DE89 3704 0044 0532 0130 00") == 0);
        EXPECT(sepa_iban_inspect("DE89370400440532013001", &iban_info) == SEPA_IBAN_ERR_INVALID);
        EXPECT(iban_info.reason == SEPA_IBAN_REASON_CHECK_DIGITS);
        EXPECT(sepa_iban_inspect(NULL, &iban_info) == SEPA_IBAN_ERR_NULL);
        EXPECT(sepa_iban_format(iban, printed, 4) == SEPA_IBAN_ERR_BUFSIZE);
    }

    {
        /* A malloc()ed text the caller frees: a Latin-1 byte becomes UTF-8. */
        char *utf8 = sepa_text_toUTF8("M\xfcller");
        int same = utf8 != NULL && strcmp(utf8, "M\xc3\xbcller") == 0;
        free(utf8);
        EXPECT(same);
    }

    sepa_cleanup();
    return 0;
}
