// Turns the library's C records into JSON for the command-line tool.
#pragma once

#include <cstddef>
#include <nlohmann/json.hpp>
#include <ostream>

#include "sepa.h"

nlohmann::ordered_json bankinfo_to_json(const sepa_bankinfo_t *info);

// Writes the statements from `first` on as a pretty-printed JSON array, one statement
// and one line at a time, and returns how many there were. Texts are made UTF-8
// (bytes that are not are read as ISO-8859-1); amounts are exact two-decimal numbers.
size_t write_statements_json(std::ostream &out, const sepa_stmt_t *first);
