/*
 * sepa_stmt_parser_class.cpp - class SEPAStatementParser: loads one MT940 file, camt
 * document or ZIP archive of camt documents and hands its statements to PHP as arrays
 * (texts in UTF-8, as the core delivers them).
 */
#include "php_sepa.h"

#include <cstdio>
#include <cstring>

extern "C" {
#include "main/fopen_wrappers.h"
}

#include "sepa_arginfo.h"

zend_class_entry *sepa_stmt_parser_ce = nullptr;
static zend_object_handlers stmt_parser_object_handlers;

struct stmt_parser_object {
    sepa_stmt_parser_t *parser;
    bool load_called; /* a parser loads once: a second load() is a usage error */
    zend_object std;
};

static stmt_parser_object *stmt_parser_object_from(zend_object *obj) {
    return reinterpret_cast<stmt_parser_object *>(reinterpret_cast<char *>(obj) - XtOffsetOf(stmt_parser_object, std));
}

static zend_object *stmt_parser_object_create(zend_class_entry *ce) {
    auto *intern = static_cast<stmt_parser_object *>(zend_object_alloc(sizeof(stmt_parser_object), ce));
    intern->parser = nullptr;
    intern->load_called = false;
    zend_object_std_init(&intern->std, ce);
    object_properties_init(&intern->std, ce);
    intern->std.handlers = &stmt_parser_object_handlers;
    return &intern->std;
}

static void stmt_parser_object_free(zend_object *obj) {
    stmt_parser_object *intern = stmt_parser_object_from(obj);
    sepa_stmt_parser_free(intern->parser);
    intern->parser = nullptr;
    zend_object_std_dtor(obj);
}

PHP_METHOD(SEPAStatementParser, __construct) {
    if (zend_parse_parameters_none() == FAILURE) {
        RETURN_THROWS();
    }
    sepa_stmt_parser_t *parser = sepa_stmt_parser_new();
    if (parser == nullptr) {
        sepa_throw("can't create SEPAStatementParser object", sepa_error::out_of_memory);
        RETURN_THROWS();
    }
    /* Calling the constructor again starts over with a fresh parser. */
    stmt_parser_object *intern = stmt_parser_object_from(Z_OBJ_P(ZEND_THIS));
    sepa_stmt_parser_free(intern->parser);
    intern->parser = parser;
    intern->load_called = false;
}

PHP_METHOD(SEPAStatementParser, load) {
    zend_long format;
    zend_string *path;
    /* "p": a file name with a NUL byte is refused by the engine (ValueError) instead of
     * opening a shorter name. */
    if (zend_parse_parameters(ZEND_NUM_ARGS(), "lP", &format, &path) == FAILURE) {
        RETURN_THROWS();
    }
    if (format != SEPA_STMT_FORMAT_MT940 && format != SEPA_STMT_FORMAT_CAMT && format != SEPA_STMT_FORMAT_AUTO) {
        sepa_throw("invalid/unknown statement format", sepa_error::usage);
        RETURN_THROWS();
    }
    stmt_parser_object *intern = stmt_parser_object_from(Z_OBJ_P(ZEND_THIS));
    sepa_stmt_parser_t *parser = intern->parser;
    if (parser == nullptr) {
        sepa_throw(sepa_stmt_parser_getError(nullptr), sepa_error::usage);
        RETURN_THROWS();
    }
    /* The core opens the file itself, so the request's open_basedir limits are
     * checked here (the engine warns with the details). */
    if (php_check_open_basedir(ZSTR_VAL(path)) != 0) {
        sepa_throw("Can't open input file: outside of open_basedir", sepa_error::file_error);
        RETURN_THROWS();
    }
    const sepa_error load_failure = intern->load_called ? sepa_error::usage : sepa_error::file_error;
    intern->load_called = true;
    if (sepa_stmt_parser_load(parser, static_cast<int>(format), ZSTR_VAL(path)) != 1) {
        sepa_throw(sepa_stmt_parser_getError(parser), load_failure);
        RETURN_THROWS();
    }
    RETURN_TRUE;
}

/* "yyyy-mm-dd" of a broken-down date as the parser fills it (year since 1900, month
 * 0-11, day); locale-independent. A date the record does not have (all zero) is null. */
static void add_date(zval *array, const char *key, const struct tm &date) {
    if (date.tm_mday == 0) {
        add_assoc_null(array, key);
        return;
    }
    char text[48];
    snprintf(text, sizeof text, "%04lld-%02lld-%02lld", static_cast<long long>(date.tm_year) + 1900,
             static_cast<long long>(date.tm_mon) + 1, static_cast<long long>(date.tm_mday));
    add_assoc_string(array, key, text);
}

/* Adds a text held in a fixed-size array of the record (NUL-terminated within it). */
template <size_t N>
static void add_fixed_text(zval *array, const char *key, const char (&text)[N]) {
    add_assoc_stringl(array, key, text, strnlen(text, N));
}

static void add_text_if_set(zval *array, const char *key, const char *text) {
    if (text != nullptr) {
        add_assoc_string(array, key, text);
    }
}

/* The full text where the record has one, else the (possibly shortened) array. */
template <size_t N>
static void add_full_text(zval *array, const char *key, const char *full, const char (&text)[N]) {
    if (full != nullptr) {
        add_assoc_string(array, key, full);
    } else {
        add_fixed_text(array, key, text);
    }
}

template <size_t N>
static void add_fixed_text_if_set(zval *array, const char *key, const char (&text)[N]) {
    if (text[0] != '\0') {
        add_fixed_text(array, key, text);
    }
}

/* The data the camt formats brought, after the keys MT940 callers have always read:
 * exact amounts as integer cents, currency, entry status, bank transaction codes,
 * batch entry, charges, original amount and further references. */
static void add_line_details(zval *line, const sepa_stmt_tx_t &tx) {
    add_assoc_long(line, "amountCents", static_cast<zend_long>(tx.amount_cents));
    add_fixed_text(line, "currency", tx.currency);
    add_assoc_bool(line, "reversal", tx.reversal != 0);
    add_fixed_text_if_set(line, "status", tx.status);
    add_text_if_set(line, "endToEndId", tx.end_to_end_id);
    add_text_if_set(line, "creditorRef", tx.creditor_ref);
    if (tx.domain[0] != '\0' || tx.bank_tx_code != nullptr) {
        zval code;
        array_init(&code);
        add_fixed_text_if_set(&code, "domain", tx.domain);
        add_fixed_text_if_set(&code, "family", tx.family);
        add_fixed_text_if_set(&code, "subFamily", tx.subfamily);
        add_text_if_set(&code, "proprietary", tx.bank_tx_code);
        add_assoc_zval(line, "bankTxCode", &code);
    }
    add_text_if_set(line, "returnReason", tx.return_reason);
    if (tx.charges_cents != 0) {
        add_assoc_long(line, "chargesCents", static_cast<zend_long>(tx.charges_cents));
        add_fixed_text(line, "chargesCurrency", tx.charges_currency);
    }
    if (tx.original_amount_cents != 0) {
        add_assoc_long(line, "originalAmountCents", static_cast<zend_long>(tx.original_amount_cents));
        add_fixed_text(line, "originalCurrency", tx.original_currency);
    }
    add_text_if_set(line, "entryRef", tx.entry_ref);
    if (tx.entry_tx_count > 1) {
        add_assoc_long(line, "entryIndex", tx.entry_index);
        add_assoc_long(line, "entryTxCount", tx.entry_tx_count);
        add_assoc_long(line, "entryAmountCents", static_cast<zend_long>(tx.entry_amount_cents));
    }
}

/* One statement line in the key order PHP callers rely on. */
static void add_statement_line(zval *list, const sepa_stmt_tx_t &tx) {
    zval line;
    array_init(&line);
    add_date(&line, "valuta", tx.valuta);
    if (tx.booked.tm_year > 0) {
        add_date(&line, "booked", tx.booked);
    }
    add_assoc_double(&line, "amount", tx.amount);
    add_fixed_text(&line, "code", tx.code);
    add_text_if_set(&line, "ref", tx.ref);
    add_text_if_set(&line, "bankref", tx.bankref);
    add_assoc_long(&line, "gvc", tx.gvc);
    if (tx.extcode != 0) {
        add_assoc_long(&line, "extcode", tx.extcode);
    }
    add_text_if_set(&line, "txtext", tx.txtext);
    add_text_if_set(&line, "primanota", tx.primanota);
    add_full_text(&line, "bank", tx.bank_full, tx.bank);
    add_full_text(&line, "account", tx.account_full, tx.account);
    add_full_text(&line, "name", tx.name_full, tx.name);
    add_text_if_set(&line, "purpose", tx.purpose);

    const struct {
        const char *key;
        const char *text;
    } keywords[] = {
        {"eref", tx.eref}, {"kref", tx.kref}, {"mref", tx.mref}, {"cred", tx.cred},
        {"debt", tx.debt}, {"purp", tx.purp}, {"coam", tx.coam}, {"oamt", tx.oamt},
        {"svwz", tx.svwz}, {"abwa", tx.abwa}, {"abwe", tx.abwe},
    };
    for (const auto &keyword : keywords) {
        add_text_if_set(&line, keyword.key, keyword.text);
    }
    add_line_details(&line, tx);
    add_next_index_zval(list, &line);
}

static void add_statement(zval *list, const sepa_stmt_t &stmt) {
    zval statement;
    array_init(&statement);
    add_text_if_set(&statement, "ref", stmt.ref);
    add_text_if_set(&statement, "account", stmt.account);
    if (stmt.number != 0) {
        add_assoc_long(&statement, "number", stmt.number);
    }
    if (stmt.page != 0) {
        add_assoc_long(&statement, "page", stmt.page);
    }
    add_assoc_double(&statement, "openSaldo", stmt.open_saldo);
    add_fixed_text(&statement, "openCurrency", stmt.open_currency);
    add_date(&statement, "openDate", stmt.open_date);
    add_assoc_double(&statement, "closeSaldo", stmt.close_saldo);
    add_fixed_text(&statement, "closeCurrency", stmt.close_currency);
    add_date(&statement, "closeDate", stmt.close_date);

    zval lines;
    array_init(&lines);
    for (const sepa_stmt_tx_t *tx = stmt.tx_head; tx != nullptr; tx = tx->next) {
        add_statement_line(&lines, *tx);
    }
    add_assoc_zval(&statement, "tx", &lines);

    /* Added with camt, after the keys MT940 callers have always read. */
    add_assoc_long(&statement, "openSaldoCents", static_cast<zend_long>(stmt.open_cents));
    add_assoc_long(&statement, "closeSaldoCents", static_cast<zend_long>(stmt.close_cents));
    static const struct {
        const char *key;
        const char *sepa_stmt_t::*text;
    } texts[] = {
        {"messageType", &sepa_stmt_t::message_type}, {"messageId", &sepa_stmt_t::message_id},
        {"created", &sepa_stmt_t::created},          {"accountCurrency", &sepa_stmt_t::account_currency},
        {"accountBic", &sepa_stmt_t::account_bic},   {"ownerName", &sepa_stmt_t::owner_name},
    };
    for (const auto &field : texts) {
        add_text_if_set(&statement, field.key, stmt.*field.text);
    }
    if (stmt.legal_number != 0) {
        add_assoc_long(&statement, "legalNumber", stmt.legal_number);
    }
    add_next_index_zval(list, &statement);
}

PHP_METHOD(SEPAStatementParser, getStatements) {
    /* Extra arguments are accepted and ignored. */
    sepa_stmt_parser_t *parser = stmt_parser_object_from(Z_OBJ_P(ZEND_THIS))->parser;
    const sepa_stmt_t *first = parser != nullptr ? sepa_stmt_parser_getStatement(parser) : nullptr;
    if (first == nullptr) {
        RETURN_NULL();
    }
    array_init(return_value);
    for (const sepa_stmt_t *stmt = first; stmt != nullptr; stmt = stmt->next) {
        add_statement(return_value, *stmt);
    }
}

static const zend_function_entry stmt_parser_methods[] = {
    PHP_ME(SEPAStatementParser, __construct, arginfo_SEPAStatementParser___construct, ZEND_ACC_PUBLIC)
        PHP_ME(SEPAStatementParser, load, arginfo_SEPAStatementParser_load, ZEND_ACC_PUBLIC) PHP_ME(
            SEPAStatementParser, getStatements, arginfo_SEPAStatementParser_getStatements, ZEND_ACC_PUBLIC) PHP_FE_END};

void sepa_register_stmt_parser_class() {
    zend_class_entry ce;
    INIT_CLASS_ENTRY(ce, "SEPAStatementParser", stmt_parser_methods);
    sepa_stmt_parser_ce = zend_register_internal_class(&ce);
    sepa_stmt_parser_ce->create_object = stmt_parser_object_create;
    /* The loaded statements live in the core parser, which a serialized copy cannot
     * carry. */
    sepa_stmt_parser_ce->ce_flags |= ZEND_ACC_NOT_SERIALIZABLE;

    memcpy(&stmt_parser_object_handlers, zend_get_std_object_handlers(), sizeof stmt_parser_object_handlers);
    stmt_parser_object_handlers.offset = XtOffsetOf(stmt_parser_object, std);
    stmt_parser_object_handlers.free_obj = stmt_parser_object_free;
    stmt_parser_object_handlers.clone_obj = nullptr;
}
