// Builds a payment message from an order described in JSON.
#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "sepa.h"

// Owns a message built from a JSON order; `error` says what was refused.
struct order_result {
    sepa_t *message = nullptr;
    std::string error;
};

// Order form:
// { "type": "direct-debit" | "credit-transfer", "rulebook": "DE-3.5" (optional),
//   "iban", "bic", "name", "creditor_id", "date", "message_id" (strings, optional),
//   "dd_type": "CORE" | "COR1" | "B2B", "batch_booking": true | false,
//   "transactions": [ { key: value, ... } ] }   (keys as sepa_add takes them)
order_result build_order(const nlohmann::json &order);
