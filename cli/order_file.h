// Builds a payment message from an order described in JSON.
#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "library_handles.h"

// The message built from a JSON order, or (message empty) the reason it was refused.
struct order_result {
    message_ptr message;
    std::string error;
};

// Order form:
// { "type": "direct-debit" | "credit-transfer", "rulebook": "DE-26.11" (optional; default by date),
//   "iban", "bic", "name", "creditor_id", "date", "message_id" (strings, optional),
//   "dd_type": "CORE" | "COR1" | "B2B", "batch_booking": true | false,
//   "address": { "addrStreet": ..., "addrTown": ..., "addrCC": ... } (sepa_setAddress keys),
//   "instant": true | false (credit transfers),
//   "transactions": [ { key: value, ... } ] }   (keys as sepa_add takes them)
// Values are strings or numbers (booleans only for flags, never for "amount");
// a NUL character in any key or value, arrays and objects as values are refused.
order_result build_order(const nlohmann::json &order);
