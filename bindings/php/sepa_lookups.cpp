/*
 * sepa_lookups.cpp - the static utilities of class SEPA: rulebook selection, IBAN
 * conversion, check, inspection, normal and printed form and BIC, and the BIC directory. Lookups never throw: what they
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
    if (zend_parse_parameters(ZEND_NUM_ARGS(), "SSS|z", &country, &account, &bank_id, &status) == FAILURE) {
        RETURN_THROWS();
    }
    char iban[36] = {0};
    char status_byte = 0;
    int result = -1;
    /* A text with a NUL byte is malformed: the core would convert a shorter text. */
    if (!sepa_has_nul(country) && !sepa_has_nul(account) && !sepa_has_nul(bank_id)) {
        result = sepa_iban_convert(ZSTR_VAL(country), ZSTR_VAL(account), ZSTR_VAL(bank_id), iban, &status_byte);
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

/* The parts of an IBAN, its reason and bank, as an array (null for a text holding a
 * NUL byte, which no IBAN does). */
PHP_METHOD(SEPA, IBAN_inspect) {
    zend_string *iban;
    if (zend_parse_parameters(ZEND_NUM_ARGS(), "S", &iban) == FAILURE) {
        RETURN_THROWS();
    }
    sepa_iban_info_t info;
    if (sepa_has_nul(iban) || sepa_iban_inspect(ZSTR_VAL(iban), &info) == SEPA_IBAN_ERR_NULL) {
        RETURN_NULL();
    }
    array_init(return_value);
    add_assoc_bool(return_value, "valid", info.reason == SEPA_IBAN_REASON_NONE);
    add_assoc_long(return_value, "reason", info.reason);
    if (info.reason_text != nullptr) {
        add_assoc_string(return_value, "reason_text", info.reason_text);
    } else {
        add_assoc_null(return_value, "reason_text");
    }
    add_assoc_string(return_value, "country", info.country);
    add_assoc_string(return_value, "check_digits", info.check_digits);
    add_assoc_string(return_value, "bban", info.bban);
    add_assoc_string(return_value, "bank_id", info.bank_id);
    add_assoc_string(return_value, "branch_id", info.branch_id);
    add_assoc_bool(return_value, "sepa", info.sepa != 0);
    add_assoc_bool(return_value, "eea", info.eea != 0);
    if (info.bank_found) {
        zval bank;
        array_init(&bank);
        add_assoc_string(&bank, "bic", info.bank_bic);
        add_assoc_string(&bank, "name", info.bank_name);
        add_assoc_string(&bank, "zip", info.bank_zip);
        add_assoc_string(&bank, "city", info.bank_city);
        if (info.check_method >= 0) {
            add_assoc_long(&bank, "check_method", info.check_method);
        }
        add_assoc_zval(return_value, "bank", &bank);
    } else {
        add_assoc_null(return_value, "bank");
    }
}

/* IBAN_normalize and IBAN_format: the form, or null when the text is refused. */
static void iban_form(INTERNAL_FUNCTION_PARAMETERS, int (*form)(const char *, char *, size_t)) {
    zend_string *text;
    if (zend_parse_parameters(ZEND_NUM_ARGS(), "S", &text) == FAILURE) {
        RETURN_THROWS();
    }
    char out[SEPA_IBAN_PRINT_BUFSIZE];
    if (sepa_has_nul(text) || form(ZSTR_VAL(text), out, sizeof out) != SEPA_IBAN_OK) {
        RETURN_NULL();
    }
    RETURN_STRING(out);
}

PHP_METHOD(SEPA, IBAN_normalize) { iban_form(INTERNAL_FUNCTION_PARAM_PASSTHRU, sepa_iban_normalize); }

PHP_METHOD(SEPA, IBAN_format) { iban_form(INTERNAL_FUNCTION_PARAM_PASSTHRU, sepa_iban_format); }

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
