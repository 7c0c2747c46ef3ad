/*
 * sepa_message_class.cpp - class SEPA: one payment message (sepa_t) with its setters,
 * add() and toXML(). The static utilities of the class live in sepa_lookups.cpp.
 */
#include "php_sepa.h"

#include <climits>
#include <cstdio>
#include <cstdlib>

#include "sepa_arginfo.h"

zend_class_entry *sepa_ce = nullptr;
static zend_object_handlers sepa_object_handlers;

/* A PHP object of class SEPA (or a subclass): the engine's object plus the core
 * message, which is null until the constructor succeeds. */
struct sepa_object {
    sepa_t *message;
    zend_object std;
};

static sepa_object *sepa_object_from(zend_object *obj) {
    return reinterpret_cast<sepa_object *>(reinterpret_cast<char *>(obj) - XtOffsetOf(sepa_object, std));
}

static zend_object *sepa_object_create(zend_class_entry *ce) {
    auto *intern = static_cast<sepa_object *>(zend_object_alloc(sizeof(sepa_object), ce));
    intern->message = nullptr;
    zend_object_std_init(&intern->std, ce);
    object_properties_init(&intern->std, ce);
    intern->std.handlers = &sepa_object_handlers;
    return &intern->std;
}

static void sepa_object_free(zend_object *obj) {
    sepa_object *intern = sepa_object_from(obj);
    sepa_free(intern->message);
    intern->message = nullptr;
    zend_object_std_dtor(obj);
}

/* Throws the message's last error text with the code of the failed operation. */
static void throw_message_error(const sepa_t *message, sepa_error code) {
    const char *text = sepa_getError(message);
    sepa_throw(text != nullptr ? text : "Unknown error", code);
}

/* The object's message; null, with the core's error thrown, when the constructor has
 * not made one. */
static sepa_t *this_message(zval *this_ptr) {
    sepa_t *message = sepa_object_from(Z_OBJ_P(this_ptr))->message;
    if (message == nullptr) {
        throw_message_error(nullptr, sepa_error::usage);
    }
    return message;
}

PHP_METHOD(SEPA, __construct) {
    zend_long type;
    if (zend_parse_parameters(ZEND_NUM_ARGS(), "l", &type) == FAILURE) {
        RETURN_THROWS();
    }
    if (type != SEPA_MSGTYPE_DDI && type != SEPA_MSGTYPE_CTI) {
        sepa_throw("invalid/unknown message type", sepa_error::usage);
        RETURN_THROWS();
    }
    sepa_t *message = sepa_new(static_cast<int>(type));
    if (message == nullptr) {
        sepa_throw("can't create SEPA message object", sepa_error::out_of_memory);
        RETURN_THROWS();
    }
    /* A second explicit call of the constructor replaces the message; the old one is
     * released rather than leaked. */
    sepa_object *intern = sepa_object_from(Z_OBJ_P(ZEND_THIS));
    sepa_free(intern->message);
    intern->message = message;
}

/* The string setters share one shape: parse one string, refuse embedded NUL bytes
 * (the core would silently see a shorter text), call the core, throw its reason. */
using sepa_string_setter = int (*)(sepa_t *, const char *);

static void call_string_setter(INTERNAL_FUNCTION_PARAMETERS, sepa_string_setter setter) {
    zend_string *value;
    if (zend_parse_parameters(ZEND_NUM_ARGS(), "S", &value) == FAILURE) {
        RETURN_THROWS();
    }
    sepa_t *message = this_message(ZEND_THIS);
    if (message == nullptr) {
        RETURN_THROWS();
    }
    if (sepa_has_nul(value)) {
        sepa_throw("Invalid value (contains a NUL byte)", sepa_error::invalid_value);
        RETURN_THROWS();
    }
    if (setter(message, ZSTR_VAL(value)) != 1) {
        throw_message_error(message, sepa_error::invalid_value);
        RETURN_THROWS();
    }
    RETURN_TRUE;
}

PHP_METHOD(SEPA, setIBAN) { call_string_setter(INTERNAL_FUNCTION_PARAM_PASSTHRU, sepa_setIBAN); }
PHP_METHOD(SEPA, setBIC) { call_string_setter(INTERNAL_FUNCTION_PARAM_PASSTHRU, sepa_setBIC); }
PHP_METHOD(SEPA, setName) { call_string_setter(INTERNAL_FUNCTION_PARAM_PASSTHRU, sepa_setName); }
PHP_METHOD(SEPA, setCreditorIdentifier) {
    call_string_setter(INTERNAL_FUNCTION_PARAM_PASSTHRU, sepa_setCreditorIdentifier);
}
PHP_METHOD(SEPA, setDate) { call_string_setter(INTERNAL_FUNCTION_PARAM_PASSTHRU, sepa_setDate); }
PHP_METHOD(SEPA, setMessageId) { call_string_setter(INTERNAL_FUNCTION_PARAM_PASSTHRU, sepa_setMessageId); }

PHP_METHOD(SEPA, setDDType) {
    zend_long dd_type;
    if (zend_parse_parameters(ZEND_NUM_ARGS(), "l", &dd_type) == FAILURE) {
        RETURN_THROWS();
    }
    sepa_t *message = this_message(ZEND_THIS);
    if (message == nullptr) {
        RETURN_THROWS();
    }
    /* A PHP integer is 64 bits wide: a value outside int must not wrap into a valid
     * code (2**32 + 1 would become COR1), so it goes in as an unknown code. */
    int code = (dd_type >= INT_MIN && dd_type <= INT_MAX) ? static_cast<int>(dd_type) : -1;
    if (sepa_setDDType(message, code) != 1) {
        throw_message_error(message, sepa_error::invalid_value);
        RETURN_THROWS();
    }
    RETURN_TRUE;
}

PHP_METHOD(SEPA, setBatchBooking) {
    bool mode;
    if (zend_parse_parameters(ZEND_NUM_ARGS(), "b", &mode) == FAILURE) {
        RETURN_THROWS();
    }
    sepa_t *message = this_message(ZEND_THIS);
    if (message == nullptr) {
        RETURN_THROWS();
    }
    if (sepa_setBatchBooking(message, mode ? 1 : 0) != 1) {
        throw_message_error(message, sepa_error::invalid_value);
        RETURN_THROWS();
    }
    RETURN_TRUE;
}

/* setAddress(key, value): one part of the message's own postal address; null
 * removes that part. */
PHP_METHOD(SEPA, setAddress) {
    zend_string *key, *value = nullptr;
    if (zend_parse_parameters(ZEND_NUM_ARGS(), "SS!", &key, &value) == FAILURE) {
        RETURN_THROWS();
    }
    sepa_t *message = this_message(ZEND_THIS);
    if (message == nullptr) {
        RETURN_THROWS();
    }
    if (sepa_has_nul(key) || (value != nullptr && sepa_has_nul(value))) {
        sepa_throw("Invalid value (contains a NUL byte)", sepa_error::invalid_value);
        RETURN_THROWS();
    }
    if (sepa_setAddress(message, ZSTR_VAL(key), value != nullptr ? ZSTR_VAL(value) : nullptr) != 1) {
        throw_message_error(message, sepa_error::invalid_value);
        RETURN_THROWS();
    }
    RETURN_TRUE;
}

/* Converts names, address lines and remittance texts passed afterwards to the SEPA
 * character set (off by default; see sepa_setTransliteration). */
PHP_METHOD(SEPA, setTransliteration) {
    bool on;
    if (zend_parse_parameters(ZEND_NUM_ARGS(), "b", &on) == FAILURE) {
        RETURN_THROWS();
    }
    sepa_t *message = this_message(ZEND_THIS);
    if (message == nullptr) {
        RETURN_THROWS();
    }
    if (sepa_setTransliteration(message, on ? SEPA_TRANSLITERATION_ON : SEPA_TRANSLITERATION_OFF) != 1) {
        throw_message_error(message, sepa_error::invalid_value);
        RETURN_THROWS();
    }
    RETURN_TRUE;
}

PHP_METHOD(SEPA, setInstant) {
    bool instant;
    if (zend_parse_parameters(ZEND_NUM_ARGS(), "b", &instant) == FAILURE) {
        RETURN_THROWS();
    }
    sepa_t *message = this_message(ZEND_THIS);
    if (message == nullptr) {
        RETURN_THROWS();
    }
    if (sepa_setInstant(message, instant ? 1 : 0) != 1) {
        throw_message_error(message, sepa_error::invalid_value);
        RETURN_THROWS();
    }
    RETURN_TRUE;
}

/* The key-value list of one add() call: the pairs handed to the core and the PHP
 * strings that own their texts, released together. */
class kv_list {
public:
    explicit kv_list(uint32_t capacity)
        : pairs_(static_cast<sepa_kvpair_t *>(ecalloc(capacity + 1, sizeof(sepa_kvpair_t)))),
          owned_(static_cast<zend_string **>(ecalloc(2 * capacity + 1, sizeof(zend_string *)))) {}
    ~kv_list() {
        for (uint32_t i = 0; i < owned_count_; i++) {
            zend_string_release(owned_[i]);
        }
        efree(owned_);
        efree(pairs_);
    }
    kv_list(const kv_list &) = delete;
    kv_list &operator=(const kv_list &) = delete;

    /* Appends one pair; takes over one reference of each string. */
    void append(zend_string *key, zend_string *value) {
        owned_[owned_count_++] = key;
        owned_[owned_count_++] = value;
        pairs_[count_].key = ZSTR_VAL(key);
        pairs_[count_].value = ZSTR_VAL(value);
        count_++;
    }
    const sepa_kvpair_t *pairs() const { return pairs_; }

private:
    sepa_kvpair_t *pairs_;
    zend_string **owned_;
    uint32_t owned_count_ = 0;
    uint32_t count_ = 0;
};

/* The text of an array key: a string key unchanged, an integer key in decimal. */
static zend_string *key_text(zend_string *key, zend_ulong index) {
    if (key != nullptr) {
        return zend_string_copy(key);
    }
    return zend_long_to_str(static_cast<zend_long>(index));
}

/* Formats "<what> for '<key>' (<why>)" into a thrown SEPAException. */
static void throw_bad_pair(const zend_string *key, const char *why) {
    char text[256];
    snprintf(text, sizeof text, "Invalid value for '%.64s' (%s)", ZSTR_VAL(key), why);
    sepa_throw(text, sepa_error::invalid_value);
}

PHP_METHOD(SEPA, add) {
    HashTable *transaction;
    if (zend_parse_parameters(ZEND_NUM_ARGS(), "h", &transaction) == FAILURE) {
        RETURN_THROWS();
    }
    sepa_t *message = this_message(ZEND_THIS);
    if (message == nullptr) {
        RETURN_THROWS();
    }

    kv_list list(zend_hash_num_elements(transaction));
    zend_string *key;
    zend_ulong index;
    zval *value;
    ZEND_HASH_FOREACH_KEY_VAL_IND(transaction, index, key, value) {
        zend_string *key_str = key_text(key, index);
        ZVAL_DEREF(value);
        if (sepa_has_nul(key_str)) {
            zend_string_release(key_str);
            sepa_throw("Invalid transaction property (key contains a NUL byte)", sepa_error::invalid_value);
            RETURN_THROWS();
        }
        /* The engine would turn an array into the text "Array" (and an object into its
         * __toString text or an error); neither is a meaningful transaction value. */
        if (Z_TYPE_P(value) == IS_ARRAY || Z_TYPE_P(value) == IS_OBJECT || Z_TYPE_P(value) == IS_RESOURCE) {
            throw_bad_pair(key_str, "arrays, objects and resources are not allowed");
            zend_string_release(key_str);
            RETURN_THROWS();
        }
        /* A boolean would become "1" or "" (true an amount of 1.00); amounts are
         * numbers or numeric strings. */
        if ((Z_TYPE_P(value) == IS_TRUE || Z_TYPE_P(value) == IS_FALSE) &&
            zend_string_equals_literal_ci(key_str, "amount")) {
            throw_bad_pair(key_str, Z_TYPE_P(value) == IS_TRUE ? "true is not an amount" : "false is not an amount");
            zend_string_release(key_str);
            RETURN_THROWS();
        }
        zend_string *value_str = zval_get_string(value);
        if (sepa_has_nul(value_str)) {
            throw_bad_pair(key_str, "contains a NUL byte");
            zend_string_release(key_str);
            zend_string_release(value_str);
            RETURN_THROWS();
        }
        list.append(key_str, value_str);
    }
    ZEND_HASH_FOREACH_END();

    if (sepa_add(message, list.pairs()) != 1) {
        throw_message_error(message, sepa_error::invalid_value);
        RETURN_THROWS();
    }
    RETURN_TRUE;
}

PHP_METHOD(SEPA, toXML) {
    if (zend_parse_parameters_none() == FAILURE) {
        RETURN_THROWS();
    }
    sepa_t *message = this_message(ZEND_THIS);
    if (message == nullptr) {
        RETURN_THROWS();
    }
    char *document = sepa_toXML(message);
    if (document == nullptr) {
        throw_message_error(message, sepa_error::cannot_render);
        RETURN_THROWS();
    }
    RETVAL_STRING(document);
    free(document);
}

static const zend_function_entry sepa_methods[] = {
    PHP_ME(SEPA, __construct, arginfo_SEPA___construct, ZEND_ACC_PUBLIC) PHP_ME(
        SEPA, setIBAN, arginfo_SEPA_setIBAN, ZEND_ACC_PUBLIC) PHP_ME(SEPA, setBIC, arginfo_SEPA_setBIC, ZEND_ACC_PUBLIC)
        PHP_ME(SEPA, setName, arginfo_SEPA_setName, ZEND_ACC_PUBLIC) PHP_ME(
            SEPA, setCreditorIdentifier, arginfo_SEPA_setCreditorIdentifier,
            ZEND_ACC_PUBLIC) PHP_ME(SEPA, setDate, arginfo_SEPA_setDate,
                                    ZEND_ACC_PUBLIC) PHP_ME(SEPA, setDDType, arginfo_SEPA_setDDType, ZEND_ACC_PUBLIC)
            PHP_ME(SEPA, setBatchBooking, arginfo_SEPA_setBatchBooking, ZEND_ACC_PUBLIC) PHP_ME(
                SEPA, setMessageId, arginfo_SEPA_setMessageId, ZEND_ACC_PUBLIC)
                PHP_ME(SEPA, setTransliteration, arginfo_SEPA_setTransliteration, ZEND_ACC_PUBLIC) PHP_ME(
                    SEPA, setAddress, arginfo_SEPA_setAddress,
                    ZEND_ACC_PUBLIC) PHP_ME(SEPA, setInstant, arginfo_SEPA_setInstant, ZEND_ACC_PUBLIC)
                    PHP_ME(SEPA, add, arginfo_SEPA_add, ZEND_ACC_PUBLIC) PHP_ME(
                        SEPA, toXML, arginfo_SEPA_toXML,
                        ZEND_ACC_PUBLIC) PHP_ME(SEPA, init, arginfo_SEPA_init, ZEND_ACC_PUBLIC | ZEND_ACC_STATIC)
                        PHP_ME(SEPA, IBAN_convert, arginfo_SEPA_IBAN_convert, ZEND_ACC_PUBLIC | ZEND_ACC_STATIC) PHP_ME(
                            SEPA, IBAN_getBIC, arginfo_SEPA_IBAN_getBIC, ZEND_ACC_PUBLIC | ZEND_ACC_STATIC)
                            PHP_ME(SEPA, IBAN_check, arginfo_SEPA_IBAN_check, ZEND_ACC_PUBLIC | ZEND_ACC_STATIC)
                                PHP_ME(SEPA, IBAN_inspect, arginfo_SEPA_IBAN_inspect, ZEND_ACC_PUBLIC | ZEND_ACC_STATIC)
                                    PHP_ME(SEPA, IBAN_normalize, arginfo_SEPA_IBAN_normalize,
                                           ZEND_ACC_PUBLIC | ZEND_ACC_STATIC)
                                        PHP_ME(SEPA, IBAN_format, arginfo_SEPA_IBAN_format,
                                               ZEND_ACC_PUBLIC | ZEND_ACC_STATIC)
                                            PHP_ME(SEPA, BIC_getBankName, arginfo_SEPA_BIC_getBankName,
                                                   ZEND_ACC_PUBLIC | ZEND_ACC_STATIC)
                                                PHP_ME(SEPA, BIC_getBankFlags, arginfo_SEPA_BIC_getBankFlags,
                                                       ZEND_ACC_PUBLIC | ZEND_ACC_STATIC) PHP_FE_END};

void sepa_register_message_class() {
    zend_class_entry ce;
    INIT_CLASS_ENTRY(ce, "SEPA", sepa_methods);
    sepa_ce = zend_register_internal_class(&ce);
    sepa_ce->create_object = sepa_object_create;
    /* A serialized copy could not carry the core message; refuse instead of handing
     * back an empty object. */
    sepa_ce->ce_flags |= ZEND_ACC_NOT_SERIALIZABLE;

    memcpy(&sepa_object_handlers, zend_get_std_object_handlers(), sizeof sepa_object_handlers);
    sepa_object_handlers.offset = XtOffsetOf(sepa_object, std);
    sepa_object_handlers.free_obj = sepa_object_free;
    sepa_object_handlers.clone_obj = nullptr;
}
