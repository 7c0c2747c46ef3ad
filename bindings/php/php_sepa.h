/*
 * php_sepa.h - shared declarations of the PHP extension "SEPA": the module entry,
 * the three classes and the helpers their methods share.
 */
#ifndef PHP_SEPA_H
#define PHP_SEPA_H

#ifdef HAVE_CONFIG_H
#include "config.h"
#endif

extern "C" {
#include "php.h"
#include "zend_exceptions.h"
#if defined(ZTS) && defined(COMPILE_DL_SEPA)
ZEND_TSRMLS_CACHE_EXTERN()
#endif
}

#include "sepa.h"

#define PHP_SEPA_EXTNAME "SEPA"
/* The library version, generated from the top-level CMakeLists.txt by config.m4. */
#define PHP_SEPA_VERSION SEPA_VERSION_STRING

/* Exception code of failures that have no core handle to explain them (bad message
 * type or statement format, failed creation of a core object). */
#define SEPA_EXCEPTION_CODE_USAGE 42

extern zend_module_entry sepa_module_entry;
#define phpext_sepa_ptr &sepa_module_entry

extern zend_class_entry *sepa_ce;
extern zend_class_entry *sepa_exception_ce;
extern zend_class_entry *sepa_stmt_parser_ce;

/* Class registration, called from the module start-up in the required order. */
void sepa_register_message_class();
void sepa_register_exception_class();
void sepa_register_stmt_parser_class();

/* Throws SEPAException with the given message and code. */
void sepa_throw(const char *message, zend_long code);

/* True when a PHP string holds a NUL byte, i.e. the core would see a shorter text
 * than the caller passed. */
inline bool sepa_has_nul(const zend_string *s) {
    return memchr(ZSTR_VAL(s), '\0', ZSTR_LEN(s)) != nullptr;
}

/* The static utilities of class SEPA (defined in sepa_lookups.cpp). */
PHP_METHOD(SEPA, init);
PHP_METHOD(SEPA, IBAN_convert);
PHP_METHOD(SEPA, IBAN_getBIC);
PHP_METHOD(SEPA, IBAN_check);
PHP_METHOD(SEPA, BIC_getBankName);
PHP_METHOD(SEPA, BIC_getBankFlags);

#endif /* PHP_SEPA_H */
