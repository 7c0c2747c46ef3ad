// ZIP archives of camt documents, as banks deliver them: every document of the
// archive is read in archive order, within the limits of one load.
#pragma once

#include <cstddef>

#include "core/statement/stmt_parser.h"

// Reads the archive open on `fd` (the descriptor stays the caller's) or, when
// `data` is not NULL, the archive held in [data, data + size). *budget: XML bytes
// the load may still read. False on failure, reason in the parser's error text.
bool read_camt_zip(sepa_stmt_parser_t *parser, int fd, const char *data, size_t size, size_t *budget);
