// The statement parser object: creation, release, error text, and the one load
// that reads a whole file into memory and hands it to the MT940 parser.
#include "core/statement/stmt_parser.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/frame/text_checks.h"

namespace {

void set_error(sepa_stmt_parser_t *parser, const char *text) {
    format_text(parser->error_text, sizeof parser->error_text, "%s", text);
}

long allocations_left = -1;

}  // namespace

void *stmt_allocate(size_t size) {
    if (allocations_left == 0) return nullptr;
    if (allocations_left > 0) --allocations_left;
    return std::calloc(1, size);
}

void stmt_fail_allocations_after_for_tests(long successes) { allocations_left = successes; }

// A read that returns nothing before the size is reached means the file shrank
// after its size was taken: that ends the load with an error instead of waiting
// for bytes that never come.
bool read_whole(sepa_stmt_parser_t *parser, int fd, char *buffer, size_t size) {
    size_t done = 0;
    while (done < size) {
        ssize_t got = read(fd, buffer + done, size - done);
        if (got < 0) {
            if (errno == EINTR) continue;
            format_text(parser->error_text, sizeof parser->error_text,
                        "Error while reading from file: %s", std::strerror(errno));
            return false;
        }
        if (got == 0) {
            set_error(parser, "Error while reading from file: file ended before its size was read");
            return false;
        }
        done += static_cast<size_t>(got);
    }
    return true;
}

namespace {

// Opens, sizes and reads the file into a new NUL-terminated buffer stored in the
// parser's MT940 state. The file is closed on every path.
bool read_file(sepa_stmt_parser_t *parser, const char *path) {
    mt940_state *state = parser->mt940;
    if (state == nullptr) {
        set_error(parser, "MT940 parser not initialized");
        return false;
    }
    if (path == nullptr) {
        format_text(parser->error_text, sizeof parser->error_text, "Can't open input file: %s",
                    std::strerror(EINVAL));
        return false;
    }
    int fd;
    do {
        fd = open(path, O_RDONLY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        format_text(parser->error_text, sizeof parser->error_text, "Can't open input file: %s",
                    std::strerror(errno));
        return false;
    }
    struct stat info;
    if (fstat(fd, &info) != 0) {
        format_text(parser->error_text, sizeof parser->error_text, "Can't stat input file: %s",
                    std::strerror(errno));
        close(fd);
        return false;
    }
    if (info.st_size <= 0) {
        set_error(parser, "Input file is empty");
        close(fd);
        return false;
    }
    auto size = static_cast<uintmax_t>(info.st_size);
    char *text = size < SIZE_MAX ? static_cast<char *>(std::malloc(static_cast<size_t>(size) + 1))
                                 : nullptr;
    if (text == nullptr) {
        format_text(parser->error_text, sizeof parser->error_text, "Failed to allocate %li bytes",
                    static_cast<long>(info.st_size));
        close(fd);
        return false;
    }
    bool complete = read_whole(parser, fd, text, static_cast<size_t>(size));
    close(fd);
    if (!complete) {
        std::free(text);
        return false;
    }
    text[size] = '\0';
    state->text = text;
    state->size = static_cast<size_t>(size);
    return true;
}

void release_text(mt940_state *state) {
    std::free(state->text);
    state->text = nullptr;
    state->size = 0;
}

}  // namespace

void release_statements(sepa_stmt_parser_t *parser) {
    sepa_stmt_t *stmt = parser->stmt_head;
    while (stmt != nullptr) {
        sepa_stmt_tx_t *tx = stmt->tx_head;
        while (tx != nullptr) {
            sepa_stmt_tx_t *next_tx = tx->next;
            std::free(tx);
            tx = next_tx;
        }
        sepa_stmt_t *next = stmt->next;
        std::free(stmt);
        stmt = next;
    }
    parser->stmt_head = nullptr;
    parser->stmt_tail = nullptr;
}

extern "C" SEPA_API sepa_stmt_parser_t *sepa_stmt_parser_new(void) {
    return static_cast<sepa_stmt_parser_t *>(std::calloc(1, sizeof(sepa_stmt_parser_t)));
}

extern "C" SEPA_API void sepa_stmt_parser_free(sepa_stmt_parser_t *parser) {
    if (parser == nullptr) return;
    if (parser->mt940 != nullptr) {
        release_text(parser->mt940);
        std::free(parser->mt940);
    }
    release_statements(parser);
    std::free(parser);
}

extern "C" SEPA_API const char *sepa_stmt_parser_getError(const sepa_stmt_parser_t *parser) {
    if (parser == nullptr) return "invalid sepa_stmt_parser_t handle";
    return parser->error_text;
}

extern "C" SEPA_API int sepa_stmt_parser_load(sepa_stmt_parser_t *parser, int format,
                                              const char *path) {
    if (parser == nullptr) return SEPA_FAILED;
    if (parser->format != 0) {
        set_error(parser, "Parser already used");
        return SEPA_FAILED;
    }
    parser->format = static_cast<uint32_t>(format);
    if (format != SEPA_STMT_FORMAT_MT940) {
        set_error(parser, "Format not (yet) supported");
        return SEPA_FAILED;
    }
    parser->mt940 = static_cast<mt940_state *>(std::calloc(1, sizeof(mt940_state)));
    if (parser->mt940 == nullptr) {
        format_text(parser->error_text, sizeof parser->error_text,
                    "Error while allocating %lu bytes: %s",
                    static_cast<unsigned long>(sizeof(mt940_state)), std::strerror(ENOMEM));
        return SEPA_FAILED;
    }
    if (!read_file(parser, path)) return SEPA_FAILED;
    if (parse_mt940(parser) == 1) return SEPA_OK;
    // No record may point into released text: the statements go with it.
    release_statements(parser);
    release_text(parser->mt940);
    set_error(parser, "Out of memory while parsing the statement file");
    return SEPA_FAILED;
}

extern "C" SEPA_API sepa_stmt_t *sepa_stmt_parser_getStatement(sepa_stmt_parser_t *parser) {
    if (parser == nullptr) return nullptr;
    return parser->stmt_head;
}
