/* Looks up banks by national bank code and by BIC and prints what the compiled-in
 * directory knows about them.
 * Usage: bank_lookup_example [COUNTRY CODE | BIC]...
 * A two-letter argument followed by another argument is a country and its bank code
 * ("DE 10000000", "LI 8800"); any other argument is a BIC ("VOBADESS"). */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "sepa.h"

static const char *text_or_dash(const char *text) { return text != NULL ? text : "-"; }

static void print_block(const sepa_bankinfo_t *info) {
    printf("  name:    %s\n", text_or_dash(info->name));
    printf("  zip:     %s\n", text_or_dash(info->zip));
    printf("  city:    %s\n", text_or_dash(info->city));
    printf("  country: %s\n", text_or_dash(info->country));
    printf("  bic:     %s\n", text_or_dash(info->bic));
}

static void print_flags(unsigned flags) {
    static const struct {
        unsigned bit;
        const char *name;
    } schemes[] = {{SEPA_SCL_SCT, "SCT"}, {SEPA_SCL_SDD, "SDD"}, {SEPA_SCL_COR1, "COR1"}, {SEPA_SCL_B2B, "B2B"}};
    printf("  flags:   %u (reachable for:", flags);
    for (size_t i = 0; i < sizeof schemes / sizeof schemes[0]; ++i)
        if (flags & schemes[i].bit) printf(" %s", schemes[i].name);
    printf("%s)\n", flags == 0 ? " none" : "");
}

static const char *result_text(int result) {
    switch (result) {
    case 0: return "country not supported";
    case -2: return "not in the directory";
    case -3: return "out of memory";
    default: return "unexpected result";
    }
}

/* Returns 1 when the lookup found something. */
static int look_up_bank_code(const char *country, const char *code) {
    sepa_bankinfo_t *info = NULL;
    int result = sepa_bankid_check(country, code, &info);
    printf("%s %s: ", country, code);
    if (result != 1) {
        printf("%s (%d)\n", result_text(result), result);
        return 0;
    }
    printf("found\n");
    print_block(info);
    free(info);
    return 1;
}

static int look_up_bic(const char *bic) {
    sepa_bankinfo_t *info = NULL;
    int result = sepa_bic_getBank(bic, &info);
    printf("BIC %s: ", bic);
    if (result != 1) {
        printf("%s (%d)\n", result_text(result), result);
        return 0;
    }
    printf("found\n");
    print_block(info);
    print_flags(info->flags);
    free(info);
    return 1;
}

int main(int argc, char **argv) {
    int failures = 0;
    printf("libsepa %s (%d)\n", sepa_version_str, sepa_version_int);
    for (int i = 1; i < argc; ++i) {
        if (strlen(argv[i]) == 2 && i + 1 < argc) {
            failures += !look_up_bank_code(argv[i], argv[i + 1]);
            ++i;
        } else {
            failures += !look_up_bic(argv[i]);
        }
    }
    return failures == 0 ? EXIT_SUCCESS : EXIT_FAILURE;
}
