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
// { "type": "direct-debit" | "credit-transfer", "rulebook": "DE-26.11" (optional; default by date),
//   "iban", "bic", "name", "creditor_id", "date", "message_id" (strings, optional),
//   "dd_type": "CORE" | "COR1" | "B2B", "batch_booking": true | false,
//   "address": { "addrStreet": ..., "addrTown": ..., "addrCC": ... } (sepa_setAddress keys),
//   "instant": true | false (credit transfers),
//   "transactions": [ { key: value, ... } ] }   (keys as sepa_add takes them)
order_result build_order(const nlohmann::json &order);
