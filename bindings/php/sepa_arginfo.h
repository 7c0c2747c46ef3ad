/*
 * sepa_arginfo.h - argument and return type information of the methods of SEPA and
 * SEPAStatementParser, as reflection and named arguments see them. The parameter
 * parsing inside each method does the actual checking.
 */
#ifndef SEPA_ARGINFO_H
#define SEPA_ARGINFO_H

/* Class SEPA */
ZEND_BEGIN_ARG_INFO_EX(arginfo_SEPA___construct, 0, 0, 1)
    ZEND_ARG_TYPE_INFO(0, type, IS_LONG, 0)
ZEND_END_ARG_INFO()

#define SEPA_STRING_SETTER_ARGINFO(method, param)                                      \
    ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_SEPA_##method, 0, 1, _IS_BOOL, 0) \
        ZEND_ARG_TYPE_INFO(0, param, IS_STRING, 0)                                     \
    ZEND_END_ARG_INFO()

SEPA_STRING_SETTER_ARGINFO(setIBAN, iban)
SEPA_STRING_SETTER_ARGINFO(setBIC, bic)
SEPA_STRING_SETTER_ARGINFO(setName, name)
SEPA_STRING_SETTER_ARGINFO(setCreditorIdentifier, creditor_id)
SEPA_STRING_SETTER_ARGINFO(setDate, date)
SEPA_STRING_SETTER_ARGINFO(setMessageId, message_id)

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_SEPA_setDDType, 0, 1, _IS_BOOL, 0)
    ZEND_ARG_TYPE_INFO(0, type, IS_LONG, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_SEPA_setBatchBooking, 0, 1, _IS_BOOL, 0)
    ZEND_ARG_TYPE_INFO(0, mode, _IS_BOOL, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_SEPA_setTransliteration, 0, 1, _IS_BOOL, 0)
    ZEND_ARG_TYPE_INFO(0, on, _IS_BOOL, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_SEPA_setAddress, 0, 2, _IS_BOOL, 0)
    ZEND_ARG_TYPE_INFO(0, key, IS_STRING, 0)
    ZEND_ARG_TYPE_INFO(0, value, IS_STRING, 1)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_SEPA_setInstant, 0, 1, _IS_BOOL, 0)
    ZEND_ARG_TYPE_INFO(0, instant, _IS_BOOL, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_SEPA_add, 0, 1, _IS_BOOL, 0)
    ZEND_ARG_TYPE_INFO(0, transaction, IS_ARRAY, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_SEPA_toXML, 0, 0, IS_STRING, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_SEPA_init, 0, 2, _IS_BOOL, 0)
    ZEND_ARG_TYPE_INFO(0, option, IS_LONG, 0)
    ZEND_ARG_TYPE_INFO(0, value, IS_STRING, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_SEPA_IBAN_convert, 0, 3, IS_STRING, 1)
    ZEND_ARG_TYPE_INFO(0, country, IS_STRING, 0)
    ZEND_ARG_TYPE_INFO(0, account, IS_STRING, 0)
    ZEND_ARG_TYPE_INFO(0, bank_id, IS_STRING, 0)
    ZEND_ARG_INFO(1, status)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_SEPA_IBAN_getBIC, 0, 1, IS_STRING, 1)
    ZEND_ARG_TYPE_INFO(0, iban, IS_STRING, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_SEPA_IBAN_check, 0, 1, _IS_BOOL, 0)
    ZEND_ARG_TYPE_INFO(0, iban, IS_STRING, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_SEPA_IBAN_inspect, 0, 1, IS_ARRAY, 1)
    ZEND_ARG_TYPE_INFO(0, iban, IS_STRING, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_SEPA_IBAN_normalize, 0, 1, IS_STRING, 1)
    ZEND_ARG_TYPE_INFO(0, iban, IS_STRING, 0)
ZEND_END_ARG_INFO()

#define arginfo_SEPA_IBAN_format arginfo_SEPA_IBAN_normalize

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_SEPA_BIC_getBankName, 0, 1, IS_STRING, 1)
    ZEND_ARG_TYPE_INFO(0, bic, IS_STRING, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_SEPA_BIC_getBankFlags, 0, 1, IS_LONG, 1)
    ZEND_ARG_TYPE_INFO(0, bic, IS_STRING, 0)
ZEND_END_ARG_INFO()

/* Class SEPAStatementParser */
ZEND_BEGIN_ARG_INFO_EX(arginfo_SEPAStatementParser___construct, 0, 0, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_SEPAStatementParser_load, 0, 2, _IS_BOOL, 0)
    ZEND_ARG_TYPE_INFO(0, format, IS_LONG, 0)
    ZEND_ARG_TYPE_INFO(0, filename, IS_STRING, 0)
ZEND_END_ARG_INFO()

ZEND_BEGIN_ARG_WITH_RETURN_TYPE_INFO_EX(arginfo_SEPAStatementParser_getStatements, 0, 0, IS_ARRAY, 1)
ZEND_END_ARG_INFO()

#endif /* SEPA_ARGINFO_H */
