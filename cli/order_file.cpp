#include "order_file.h"

#include <strings.h>

#include <string_view>
#include <vector>

namespace {

using nlohmann::json;

// A JSON value shown in an error text (strings quoted, NUL as \u0000).
std::string shown(const json &value) { return value.dump(-1, ' ', false, json::error_handler_t::replace); }

bool has_nul(std::string_view text) { return text.find('\0') != std::string_view::npos; }

bool is_amount_key(const std::string &key) { return strcasecmp(key.c_str(), "amount") == 0; }

// The text a setter or sepa_add receives for a JSON value: a string as it is, a number
// in JSON notation, a boolean as "1" or "0" (flags such as "smnda"), null as empty.
// Refused, with `error` naming `what` and the value: a NUL character (the library's
// texts end there, so it would see a shorter value), arrays and objects, and a
// boolean as an amount (true would become 1.00).
bool value_text(const std::string &what, const json &value, bool is_amount, std::string &text, std::string &error) {
    if (value.is_string()) {
        text = value.get<std::string>();
        if (!has_nul(text)) return true;
        error = what + ": " + shown(value) + " contains a NUL character";
        return false;
    }
    if (value.is_boolean() && is_amount) {
        error = what + ": " + shown(value) + " is not an amount (give a number or a text such as \"12.50\")";
        return false;
    }
    if (value.is_array() || value.is_object()) {
        error = what + ": " + shown(value) + " is not a text or number";
        return false;
    }
    text = value.is_boolean() ? (value.get<bool>() ? "1" : "0") : value.is_null() ? "" : value.dump();
    return true;
}

// The setters of the initiating side, in the order they are applied.
struct text_setter {
    const char *key;
    int (*set)(sepa_t *, const char *);
};
constexpr text_setter text_setters[] = {
    {"iban", sepa_setIBAN}, {"bic", sepa_setBIC},
    {"name", sepa_setName}, {"creditor_id", sepa_setCreditorIdentifier},
    {"date", sepa_setDate}, {"message_id", sepa_setMessageId},
};

bool apply_setters(sepa_t *message, const json &order, std::string &error) {
    for (const text_setter &setter : text_setters) {
        if (!order.contains(setter.key)) continue;
        std::string text;
        if (!value_text(setter.key, order[setter.key], false, text, error)) return false;
        if (setter.set(message, text.c_str()) != 1) {
            error = std::string(setter.key) + ": " + sepa_getError(message);
            return false;
        }
    }
    return true;
}

bool apply_dd_type(sepa_t *message, const json &order, std::string &error) {
    if (!order.contains("dd_type")) return true;
    const json &value = order["dd_type"];
    const std::string name = value.is_string() ? value.get<std::string>() : "";
    const int code = name == "CORE"   ? SEPA_DDTYPE_CORE
                     : name == "COR1" ? SEPA_DDTYPE_COR1
                     : name == "B2B"  ? SEPA_DDTYPE_B2B
                                      : -1;
    if (code < 0) {
        error = "dd_type: " + shown(value) + " is not \"CORE\", \"COR1\" or \"B2B\"";
        return false;
    }
    if (sepa_setDDType(message, code) != 1) {
        error = "dd_type: " + std::string(sepa_getError(message));
        return false;
    }
    return true;
}

bool apply_batch_booking(sepa_t *message, const json &order, std::string &error) {
    if (!order.contains("batch_booking")) return true;
    const json &value = order["batch_booking"];
    if (!value.is_boolean()) {
        error = "batch_booking: " + shown(value) + " is not true or false";
        return false;
    }
    if (sepa_setBatchBooking(message, value.get<bool>() ? 1 : 0) != 1) {
        error = "batch_booking: " + std::string(sepa_getError(message));
        return false;
    }
    return true;
}

// Adds one transaction object; `what` ("transaction 3") prefixes every error.
bool add_transaction(sepa_t *message, const std::string &what, const json &tx, std::string &error) {
    if (!tx.is_object()) {
        error = what + ": " + shown(tx) + " is not a JSON object";
        return false;
    }
    std::vector<std::string> texts;
    texts.reserve(2 * tx.size());
    for (const auto &[key, value] : tx.items()) {
        if (has_nul(key)) {
            error = what + ": the key " + shown(json(key)) + " contains a NUL character";
            return false;
        }
        std::string text;
        if (!value_text(what + ": " + key, value, is_amount_key(key), text, error)) return false;
        texts.push_back(key);
        texts.push_back(std::move(text));
    }
    std::vector<sepa_kvpair_t> pairs;
    pairs.reserve(tx.size() + 1);
    for (size_t k = 0; k < texts.size(); k += 2) pairs.push_back({texts[k].c_str(), texts[k + 1].c_str()});
    pairs.push_back({nullptr, nullptr});
    if (sepa_add(message, pairs.data()) != 1) {
        error = what + ": " + sepa_getError(message);
        return false;
    }
    return true;
}

bool add_transactions(sepa_t *message, const json &order, std::string &error) {
    if (!order.contains("transactions")) return true;
    const json &transactions = order["transactions"];
    if (!transactions.is_array()) {
        error = "transactions: not a JSON array";
        return false;
    }
    for (size_t i = 0; i < transactions.size(); ++i) {
        if (!add_transaction(message, "transaction " + std::to_string(i + 1), transactions[i], error)) return false;
    }
    return true;
}

// The rulebook is process-wide; it is chosen before the message is created.
bool apply_rulebook(const json &order, std::string &error) {
    if (!order.contains("rulebook")) return true;
    std::string name;
    if (!value_text("rulebook", order["rulebook"], false, name, error)) return false;
    if (sepa_init(SEPA_INIT_RULEBOOK, name.c_str()) != 1) {
        error = "unknown rulebook " + name;
        return false;
    }
    return true;
}

int message_type(const json &order, std::string &error) {
    const json type = order.value("type", json());
    if (type == "direct-debit") return SEPA_MSGTYPE_DDI;
    if (type == "credit-transfer") return SEPA_MSGTYPE_CTI;
    error = "type must be \"direct-debit\" or \"credit-transfer\"";
    return 0;
}

// "address": {"addrTown": "Berlin", ...}, the keys of sepa_setAddress, and
// "instant": true for a SEPA Instant credit transfer.
bool apply_address_and_instant(sepa_t *message, const nlohmann::json &order, std::string &error) {
    if (order.contains("address")) {
        const nlohmann::json &address = order["address"];
        if (!address.is_object()) {
            error = "address: must be a JSON object";
            return false;
        }
        for (const auto &[key, value] : address.items()) {
            std::string text;
            if (has_nul(key)) {
                error = "address: the key " + shown(json(key)) + " contains a NUL character";
                return false;
            }
            if (!value_text("address: " + key, value, false, text, error)) return false;
            if (sepa_setAddress(message, key.c_str(), text.c_str()) != 1) {
                error = "address: " + std::string(sepa_getError(message));
                return false;
            }
        }
    }
    if (order.contains("instant")) {
        const nlohmann::json &instant = order["instant"];
        if (!instant.is_boolean() || sepa_setInstant(message, instant.get<bool>() ? 1 : 0) != 1) {
            error = "instant: " + std::string(instant.is_boolean() ? sepa_getError(message) : "must be true or false");
            return false;
        }
    }
    return true;
}

// "transliterate": true converts Latin characters outside the SEPA set in the texts
// passed after it, so it is applied first.
bool apply_transliteration(sepa_t *message, const json &order, std::string &error) {
    if (!order.contains("transliterate")) return true;
    const json &value = order["transliterate"];
    if (!value.is_boolean()) {
        error = "transliterate: " + shown(value) + " is not true or false";
        return false;
    }
    const int mode = value.get<bool>() ? SEPA_TRANSLITERATION_ON : SEPA_TRANSLITERATION_OFF;
    if (sepa_setTransliteration(message, mode) != 1) {
        error = "transliterate: " + std::string(sepa_getError(message));
        return false;
    }
    return true;
}

}  // namespace

order_result build_order(const json &order) {
    order_result result;
    std::string &error = result.error;
    if (!order.is_object()) {
        error = "the order must be a JSON object";
        return result;
    }
    if (!apply_rulebook(order, error)) return result;
    const int type = message_type(order, error);
    if (type == 0) return result;
    message_ptr message(sepa_new(type));
    if (!message) {
        error = "out of memory";
        return result;
    }
    if (apply_transliteration(message.get(), order, error) && apply_setters(message.get(), order, error) &&
        apply_dd_type(message.get(), order, error) && apply_batch_booking(message.get(), order, error) &&
        apply_address_and_instant(message.get(), order, error) && add_transactions(message.get(), order, error)) {
        result.message = std::move(message);
    }
    return result;
}
