/*
 * sepa_lookups.cpp - the static utilities of class SEPA: rulebook selection, IBAN
 * conversion, check and BIC, and the BIC directory. Lookups never throw: what they
 * cannot answer comes back as null (or false for the checks).
 */
#include "php_sepa.h"

#include <climits>
#include <cstdlib>

PHP_METHOD(SEPA, init) {
    zend_long option;
    zend_string *value;
    if (zend_parse_parameters(ZEND_NUM_ARGS(), "lS", &option, &value) == FAILURE) {
        RETURN_THROWS();
    }
    if (option < INT_MIN || option > INT_MAX || sepa_has_nul(value)) {
        RETURN_FALSE;
    }
    RETURN_BOOL(sepa_init(static_cast<int>(option), ZSTR_VAL(value)) == 1);
}

PHP_METHOD(SEPA, IBAN_convert) {
    zend_string *country, *account, *bank_id;
    zval *status = nullptr;
    if (zend_parse_parameters(ZEND_NUM_ARGS(), "SSS|z", &country, &account, &bank_id, &status) ==
        FAILURE) {
        RETURN_THROWS();
    }
    char iban[36] = {0};
    char status_byte = 0;
    int result = -1;
    /* A text with a NUL byte is malformed: the core would convert a shorter text. */
    if (!sepa_has_nul(country) && !sepa_has_nul(account) && !sepa_has_nul(bank_id)) {
        result = sepa_iban_convert(ZSTR_VAL(country), ZSTR_VAL(account), ZSTR_VAL(bank_id), iban,
                                   &status_byte);
    }
    if (status != nullptr) {
        /* Assigned through the reference whatever the result; a typed property behind
         * the reference gets its usual type check. */
        ZEND_TRY_ASSIGN_LONG(status, static_cast<unsigned char>(status_byte));
        if (EG(exception)) {
            RETURN_THROWS();
        }
    }
    if (result != 1) {
        RETURN_NULL();
    }
    RETURN_STRING(iban);
}

PHP_METHOD(SEPA, IBAN_getBIC) {
    zend_string *iban;
    if (zend_parse_parameters(ZEND_NUM_ARGS(), "S", &iban) == FAILURE) {
        RETURN_THROWS();
    }
    if (sepa_has_nul(iban)) {
        RETURN_NULL();
    }
    char bic[16] = {0};
    if (sepa_iban_getBIC(ZSTR_VAL(iban), bic) != 1) {
        RETURN_NULL();
    }
    RETURN_STRING(bic);
}

PHP_METHOD(SEPA, IBAN_check) {
    zend_string *iban;
    if (zend_parse_parameters(ZEND_NUM_ARGS(), "S", &iban) == FAILURE) {
        RETURN_THROWS();
    }
    RETURN_BOOL(!sepa_has_nul(iban) && sepa_iban_check(ZSTR_VAL(iban)) == 1);
}

/* Looks a BIC up; nullptr when it is unknown, malformed or the block cannot be made.
 * The caller frees the block. */
static sepa_bankinfo_t *bic_bank(INTERNAL_FUNCTION_PARAMETERS) {
    zend_string *bic;
    if (zend_parse_parameters(ZEND_NUM_ARGS(), "S", &bic) == FAILURE) {
        return nullptr;
    }
    (void)return_value;
    sepa_bankinfo_t *info = nullptr;
    if (sepa_has_nul(bic) || sepa_bic_getBank(ZSTR_VAL(bic), &info) != 1) {
        free(info);
        return nullptr;
    }
    return info;
}

PHP_METHOD(SEPA, BIC_getBankName) {
    sepa_bankinfo_t *info = bic_bank(INTERNAL_FUNCTION_PARAM_PASSTHRU);
    if (info == nullptr) {
        RETURN_NULL();
    }
    RETVAL_STRING(info->name != nullptr ? info->name : "");
    free(info);
}

PHP_METHOD(SEPA, BIC_getBankFlags) {
    sepa_bankinfo_t *info = bic_bank(INTERNAL_FUNCTION_PARAM_PASSTHRU);
    if (info == nullptr) {
        RETURN_NULL();
    }
    RETVAL_LONG(info->flags);
    free(info);
}
