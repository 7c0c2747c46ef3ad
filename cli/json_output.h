// Turns the library's C records into JSON for the command-line tool.
#pragma once

#include <nlohmann/json.hpp>

#include "sepa.h"

nlohmann::ordered_json bankinfo_to_json(const sepa_bankinfo_t *info);
