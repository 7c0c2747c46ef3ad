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

/* The code of every SEPAException names its class of failure; PHP sees the same
 * values as the class constants SEPAException::INVALID_VALUE etc. */
enum class sepa_error : zend_long {
    invalid_value = 1, /* a setter or add() refused a value (library check, NUL byte,
                          boolean amount, array as value) */
    cannot_render = 2, /* toXML(): missing data, no transactions, data the rulebook
                          refuses */
    file_error = 3,    /* SEPAStatementParser::load(): the file cannot be loaded */
    out_of_memory = 4, /* a message or parser could not be created */
    usage = 42,        /* unknown message type or statement format, a method called on
                          an object whose constructor did not run, a parser used twice */
};

extern zend_module_entry sepa_module_entry;
#define phpext_sepa_ptr &sepa_module_entry

extern zend_class_entry *sepa_ce;
extern zend_class_entry *sepa_exception_ce;
extern zend_class_entry *sepa_stmt_parser_ce;

/* Class registration, called from the module start-up in the required order. */
void sepa_register_message_class();
void sepa_register_exception_class();
void sepa_register_stmt_parser_class();

/* Throws SEPAException with the given message and the code of its class. */
void sepa_throw(const char *message, sepa_error code);

/* True when a PHP string holds a NUL byte, i.e. the core would see a shorter text
 * than the caller passed. */
inline bool sepa_has_nul(const zend_string *s) { return memchr(ZSTR_VAL(s), '\0', ZSTR_LEN(s)) != nullptr; }

/* The static utilities of class SEPA (defined in sepa_lookups.cpp). */
PHP_METHOD(SEPA, init);
PHP_METHOD(SEPA, IBAN_convert);
PHP_METHOD(SEPA, IBAN_getBIC);
PHP_METHOD(SEPA, IBAN_check);
PHP_METHOD(SEPA, IBAN_inspect);
PHP_METHOD(SEPA, IBAN_normalize);
PHP_METHOD(SEPA, IBAN_format);
PHP_METHOD(SEPA, BIC_getBankName);
PHP_METHOD(SEPA, BIC_getBankFlags);

#endif /* PHP_SEPA_H */
