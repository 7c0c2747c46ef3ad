/*
 * sepa_module.cpp - module entry of the PHP extension "SEPA": registers the classes
 * and constants at start-up and prints the phpinfo() table.
 */
#include "php_sepa.h"

extern "C" {
#include "ext/standard/info.h"
}

/* Integer constants; the order of registration follows the classes they belong to. */
struct sepa_constant {
    const char *name;
    zend_long value;
};

static const sepa_constant message_constants[] = {
    {"SEPA_DDTYPE_CORE", SEPA_DDTYPE_CORE}, {"SEPA_DDTYPE_COR1", SEPA_DDTYPE_COR1},
    {"SEPA_DDTYPE_B2B", SEPA_DDTYPE_B2B},   {"SEPA_MSGTYPE_CTI", SEPA_MSGTYPE_CTI},
    {"SEPA_MSGTYPE_DDI", SEPA_MSGTYPE_DDI}, {"SEPA_INIT_RULEBOOK", SEPA_INIT_RULEBOOK},
    {"SEPA_SCL_SCT", SEPA_SCL_SCT},         {"SEPA_SCL_SDD", SEPA_SCL_SDD},
    {"SEPA_SCL_COR1", SEPA_SCL_COR1},       {"SEPA_SCL_B2B", SEPA_SCL_B2B},
};

static const sepa_constant iban_constants[] = {
    {"SEPA_IBAN_REASON_NONE", SEPA_IBAN_REASON_NONE},
    {"SEPA_IBAN_REASON_COUNTRY", SEPA_IBAN_REASON_COUNTRY},
    {"SEPA_IBAN_REASON_LENGTH", SEPA_IBAN_REASON_LENGTH},
    {"SEPA_IBAN_REASON_FORMAT", SEPA_IBAN_REASON_FORMAT},
    {"SEPA_IBAN_REASON_CHECK_DIGITS", SEPA_IBAN_REASON_CHECK_DIGITS},
    {"SEPA_IBAN_REASON_BANK_CODE", SEPA_IBAN_REASON_BANK_CODE},
    {"SEPA_IBAN_REASON_ACCOUNT", SEPA_IBAN_REASON_ACCOUNT},
};

static const sepa_constant statement_constants[] = {
    {"SEPA_STMT_FORMAT_MT940", SEPA_STMT_FORMAT_MT940},
    {"SEPA_STMT_FORMAT_CAMT", SEPA_STMT_FORMAT_CAMT},
    {"SEPA_STMT_FORMAT_AUTO", SEPA_STMT_FORMAT_AUTO},
};

template <size_t N>
static void register_constants(const sepa_constant (&table)[N], int module_number) {
    for (const sepa_constant &c : table) {
        zend_register_long_constant(c.name, strlen(c.name), c.value, CONST_PERSISTENT, module_number);
    }
}

static PHP_MINIT_FUNCTION(sepa) {
    (void)type;
#if defined(ZTS) && defined(COMPILE_DL_SEPA)
    ZEND_TSRMLS_CACHE_UPDATE();
#endif
    sepa_register_message_class();
    sepa_register_exception_class();
    register_constants(message_constants, module_number);
    register_constants(iban_constants, module_number);
    sepa_register_stmt_parser_class();
    register_constants(statement_constants, module_number);
    return SUCCESS;
}

static PHP_MINFO_FUNCTION(sepa) {
    (void)zend_module;
    php_info_print_table_start();
    php_info_print_table_header(2, "ovaro", "enabled");
    php_info_print_table_row(2, "Version", PHP_SEPA_VERSION);
    php_info_print_table_end();
}

zend_module_entry sepa_module_entry = {
    STANDARD_MODULE_HEADER,
    PHP_SEPA_EXTNAME,
    nullptr, /* no module-level functions */
    PHP_MINIT(sepa),
    nullptr,
    nullptr,
    nullptr,
    PHP_MINFO(sepa),
    PHP_SEPA_VERSION,
    STANDARD_MODULE_PROPERTIES,
};

void sepa_throw(const char *message, sepa_error code) {
    zend_throw_exception(sepa_exception_ce, message, static_cast<zend_long>(code));
}

/* SEPAException: the engine's Exception with one class constant per exception code. */
zend_class_entry *sepa_exception_ce = nullptr;

static const struct {
    const char *name;
    sepa_error code;
} exception_codes[] = {
    {"INVALID_VALUE", sepa_error::invalid_value},
    {"CANNOT_RENDER", sepa_error::cannot_render},
    {"FILE_ERROR", sepa_error::file_error},
    {"OUT_OF_MEMORY", sepa_error::out_of_memory},
    {"USAGE", sepa_error::usage},
};

void sepa_register_exception_class() {
    zend_class_entry ce;
    INIT_CLASS_ENTRY(ce, "SEPAException", nullptr);
    sepa_exception_ce = zend_register_internal_class_ex(&ce, zend_ce_exception);
    for (const auto &c : exception_codes) {
        zend_declare_class_constant_long(sepa_exception_ce, c.name, strlen(c.name), static_cast<zend_long>(c.code));
    }
}

#ifdef COMPILE_DL_SEPA
extern "C" {
#ifdef ZTS
ZEND_TSRMLS_CACHE_DEFINE()
#endif
ZEND_GET_MODULE(sepa)
}
#endif
