// camt.052 / camt.053 / camt.054 documents, read as a stream with expat into the
// same statement records as MT940.
#pragma once

#include <cstddef>
#include <string>

#include "core/statement/stmt_parser.h"

// A stream of document bytes: a file, a ZIP archive entry or memory.
class camt_input {
public:
    virtual ~camt_input() = default;
    // Up to `capacity` bytes into `buffer`; 0 at the end, -1 on a read error
    // (with its reason in *error).
    virtual long read(char *buffer, size_t capacity, std::string *error) = 0;
};

// Reads one document from `input` and appends its statements to the parser's
// list. *budget is the number of XML bytes the load may still read; it shrinks by
// what this document takes. On failure the reason is in the parser's error text,
// preceded by `name` (a ZIP entry's name) when that is not empty; statements
// appended before the failure stay linked (the caller drops them).
bool read_camt_document(sepa_stmt_parser_t *parser, camt_input &input, const std::string &name, size_t *budget);
