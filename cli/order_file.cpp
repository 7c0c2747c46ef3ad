#include "order_file.h"

#include <vector>

namespace {

// sepa_add takes texts; numbers and booleans in the JSON are passed as their text.
std::string value_text(const nlohmann::json &value) {
    if (value.is_string()) return value.get<std::string>();
    if (value.is_boolean()) return value.get<bool>() ? "1" : "0";
    if (value.is_null()) return "";
    return value.dump();
}

bool apply_setter(sepa_t *message, const nlohmann::json &order, const char *key,
                  int (*setter)(sepa_t *, const char *), std::string &error) {
    if (!order.contains(key)) return true;
    if (setter(message, value_text(order[key]).c_str()) == 1) return true;
    error = std::string(key) + ": " + sepa_getError(message);
    return false;
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
            if (sepa_setAddress(message, key.c_str(), value_text(value).c_str()) != 1) {
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

}  // namespace

order_result build_order(const nlohmann::json &order) {
    order_result result;
    if (!order.is_object()) {
        result.error = "the order must be a JSON object";
        return result;
    }
    if (order.contains("rulebook") &&
        sepa_init(SEPA_INIT_RULEBOOK, value_text(order["rulebook"]).c_str()) != 1) {
        result.error = "unknown rulebook " + value_text(order["rulebook"]);
        return result;
    }
    std::string type = order.value("type", "");
    int message_type = type == "direct-debit" ? SEPA_MSGTYPE_DDI : type == "credit-transfer" ? SEPA_MSGTYPE_CTI : 0;
    if (message_type == 0) {
        result.error = "type must be \"direct-debit\" or \"credit-transfer\"";
        return result;
    }
    sepa_t *message = sepa_new(message_type);
    if (message == nullptr) {
        result.error = "out of memory";
        return result;
    }
    std::string &error = result.error;
    // Transliteration first: it applies to the texts passed after it.
    if (order.contains("transliterate") &&
        (!order["transliterate"].is_boolean() ||
         sepa_setTransliteration(message, order["transliterate"].get<bool>() ? SEPA_TRANSLITERATION_ON
                                                                             : SEPA_TRANSLITERATION_OFF) != 1)) {
        error = "transliterate: must be true or false";
        sepa_free(message);
        return result;
    }
    bool ok = apply_setter(message, order, "iban", sepa_setIBAN, error) &&
              apply_setter(message, order, "bic", sepa_setBIC, error) &&
              apply_setter(message, order, "name", sepa_setName, error) &&
              apply_setter(message, order, "creditor_id", sepa_setCreditorIdentifier, error) &&
              apply_setter(message, order, "date", sepa_setDate, error) &&
              apply_setter(message, order, "message_id", sepa_setMessageId, error);
    if (ok && order.contains("dd_type")) {
        std::string dd = value_text(order["dd_type"]);
        int code = dd == "CORE" ? SEPA_DDTYPE_CORE : dd == "COR1" ? SEPA_DDTYPE_COR1 : dd == "B2B" ? SEPA_DDTYPE_B2B : -1;
        if (sepa_setDDType(message, code) != 1) {
            error = "dd_type: " + std::string(sepa_getError(message));
            ok = false;
        }
    }
    if (ok && order.contains("batch_booking") &&
        sepa_setBatchBooking(message, order["batch_booking"].get<bool>() ? 1 : 0) != 1) {
        error = "batch_booking: " + std::string(sepa_getError(message));
        ok = false;
    }
    ok = ok && apply_address_and_instant(message, order, error);
    const nlohmann::json transactions = order.value("transactions", nlohmann::json::array());
    for (size_t i = 0; ok && i < transactions.size(); ++i) {
        const nlohmann::json &tx = transactions[i];
        std::vector<std::string> texts;
        for (const auto &[key, value] : tx.items()) {
            texts.push_back(key);
            texts.push_back(value_text(value));
        }
        std::vector<sepa_kvpair_t> pairs;
        for (size_t k = 0; k < texts.size(); k += 2) pairs.push_back({texts[k].c_str(), texts[k + 1].c_str()});
        pairs.push_back({nullptr, nullptr});
        if (sepa_add(message, pairs.data()) != 1) {
            error = "transaction " + std::to_string(i + 1) + ": " + sepa_getError(message);
            ok = false;
        }
    }
    if (!ok) {
        sepa_free(message);
        return result;
    }
    result.message = message;
    return result;
}
