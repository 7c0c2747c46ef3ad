// Owning pointers for everything the library hands out, so that every return path of
// a command releases it: messages (sepa_free), statement parsers
// (sepa_stmt_parser_free) and malloc()ed results such as documents and bank records
// (free).
#pragma once

#include <cstdlib>
#include <memory>

#include "sepa.h"

struct message_deleter {
    void operator()(sepa_t *message) const { sepa_free(message); }
};
using message_ptr = std::unique_ptr<sepa_t, message_deleter>;

struct stmt_parser_deleter {
    void operator()(sepa_stmt_parser_t *parser) const { sepa_stmt_parser_free(parser); }
};
using stmt_parser_ptr = std::unique_ptr<sepa_stmt_parser_t, stmt_parser_deleter>;

struct malloc_deleter {
    void operator()(void *block) const { std::free(block); }
};
template <typename T>
using malloc_ptr = std::unique_ptr<T, malloc_deleter>;
