// The statement parser object: creation, release, error text, and the one load
// that opens a file, recognises its format and hands it to the MT940 or camt
// reader.
#include "core/statement/stmt_parser.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "core/frame/out_of_memory.h"
#include "core/frame/latin1_text.h"
#include "core/frame/text_checks.h"
#include "core/frame/utf8_text.h"
#include "core/statement/camt_reader.h"
#include "core/statement/stmt_zip.h"

namespace {

void set_error(sepa_stmt_parser_t *parser, const char *text) {
    format_text(parser->error_text, sizeof parser->error_text, "%s", text);
}

long allocations_left = -1;

enum class content { mt940, xml, zip };

// ZIP archives start with a local file header (or, empty, with the end record);
// XML with "<" after an optional byte order mark and blanks; anything else is
// taken for MT940 text.
content recognise(const char *head, size_t size) {
    if (size >= 4 && std::memcmp(head, "PK", 2) == 0 &&
        ((head[2] == 3 && head[3] == 4) || (head[2] == 5 && head[3] == 6)))
        return content::zip;
    size_t i = 0;
    if (size >= 3 && std::memcmp(head, "\xEF\xBB\xBF", 3) == 0) i = 3;
    else if (size >= 2 && (std::memcmp(head, "\xFF\xFE", 2) == 0 || std::memcmp(head, "\xFE\xFF", 2) == 0))
        return content::xml;
    while (i < size && (head[i] == ' ' || head[i] == '\t' || head[i] == '\r' || head[i] == '\n')) ++i;
    return i < size && head[i] == '<' ? content::xml : content::mt940;
}

// Refuses a content that the requested format does not cover.
bool format_matches(sepa_stmt_parser_t *parser, int format, content found) {
    if (format == SEPA_STMT_FORMAT_MT940 && found != content::mt940) {
        set_error(parser, found == content::zip ? "Not an MT940 file: the file is a ZIP archive"
                                                : "Not an MT940 file: the file is XML");
        return false;
    }
    if (format == SEPA_STMT_FORMAT_CAMT && found == content::mt940) {
        set_error(parser, "Not a camt.052, camt.053 or camt.054 document, nor a ZIP archive of them");
        return false;
    }
    return true;
}

class fd_input : public camt_input {
public:
    explicit fd_input(int fd) : fd_(fd) {}
    long read(char *buffer, size_t capacity, std::string *error) override {
        for (;;) {
            ssize_t got = ::read(fd_, buffer, capacity);
            if (got >= 0) return static_cast<long>(got);
            if (errno == EINTR) continue;
            *error = std::string("Error while reading from file: ") + std::strerror(errno);
            return -1;
        }
    }

private:
    int fd_;
};

class memory_input : public camt_input {
public:
    memory_input(const char *data, size_t size) : at_(data), left_(size) {}
    long read(char *buffer, size_t capacity, std::string *) override {
        size_t take = capacity < left_ ? capacity : left_;
        std::memcpy(buffer, at_, take);
        at_ += take;
        left_ -= take;
        return static_cast<long>(take);
    }

private:
    const char *at_;
    size_t left_;
};

// MT940 texts are handed out as UTF-8: in a file that is not valid UTF-8, every
// byte that does not belong to a UTF-8 sequence is taken for ISO-8859-1 (the
// charset of German banks' MT940) and converted.
bool keep_mt940_text(sepa_stmt_parser_t *parser, char *text, size_t size) {
    if (!is_valid_utf8(text, size)) {
        size_t converted_size = latin1_utf8_size(text, size);
        auto *converted = static_cast<char *>(stmt_allocate_raw(converted_size + 1));
        if (converted == nullptr) {
            std::free(text);
            set_error(parser, out_of_memory_text);
            return false;
        }
        converted_size = latin1_to_utf8(text, size, converted);
        std::free(text);
        text = converted;
        size = converted_size;
    }
    text[size] = '\0';
    parser->mt940->text = text;
    parser->mt940->size = size;
    return true;
}

bool new_mt940_state(sepa_stmt_parser_t *parser) {
    parser->mt940 = static_cast<mt940_state *>(std::calloc(1, sizeof(mt940_state)));
    if (parser->mt940 != nullptr) return true;
    format_text(parser->error_text, sizeof parser->error_text, "Error while allocating %lu bytes: %s",
                static_cast<unsigned long>(sizeof(mt940_state)), std::strerror(ENOMEM));
    return false;
}

bool parse_mt940_text(sepa_stmt_parser_t *parser) {
    if (parse_mt940(parser) == 1) return true;
    set_error(parser, out_of_memory_text);
    return false;
}

// The whole file into a new buffer of size + 1 bytes (room for the final NUL).
char *read_all(sepa_stmt_parser_t *parser, int fd, size_t size) {
    auto *text = static_cast<char *>(stmt_allocate_raw(size + 1));
    if (text == nullptr) {
        set_error(parser, out_of_memory_text);
        return nullptr;
    }
    if (!read_whole(parser, fd, text, size)) {
        std::free(text);
        return nullptr;
    }
    return text;
}

const char *file_kind(mode_t mode) {
    if (S_ISDIR(mode)) return "a directory";
    if (S_ISFIFO(mode)) return "a FIFO";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
    if (S_ISSOCK(mode)) return "a socket";
    return "not a regular file";
}

// Opens the file without blocking (a FIFO would wait for a writer) and accepts
// regular files within the size limit only. Returns the descriptor, or -1.
int open_statement_file(sepa_stmt_parser_t *parser, const char *path, size_t *size) {
    if (path == nullptr) {
        format_text(parser->error_text, sizeof parser->error_text, "Can't open input file: %s", std::strerror(EINVAL));
        return -1;
    }
    int fd;
    do {
        fd = open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        format_text(parser->error_text, sizeof parser->error_text, "Can't open input file: %s", std::strerror(errno));
        return -1;
    }
    struct stat info;
    if (fstat(fd, &info) != 0) {
        format_text(parser->error_text, sizeof parser->error_text, "Can't stat input file: %s", std::strerror(errno));
        close(fd);
        return -1;
    }
    if (!S_ISREG(info.st_mode)) {
        format_text(parser->error_text, sizeof parser->error_text,
                    "Can't read input file: it is %s, not a regular file", file_kind(info.st_mode));
        close(fd);
        return -1;
    }
    if (info.st_size <= 0) {
        set_error(parser, "Input file is empty");
        close(fd);
        return -1;
    }
    if (static_cast<uintmax_t>(info.st_size) > SEPA_STMT_MAX_FILE_BYTES) {
        format_text(parser->error_text, sizeof parser->error_text,
                    "Input file is too large: %lld bytes, the limit is %lu", static_cast<long long>(info.st_size),
                    static_cast<unsigned long>(SEPA_STMT_MAX_FILE_BYTES));
        close(fd);
        return -1;
    }
    // Regular files never block; reads go on in the ordinary blocking mode.
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    *size = static_cast<size_t>(info.st_size);
    return fd;
}

// A load that found nothing fails: an empty success would hide a wrong file.
bool found_statements(sepa_stmt_parser_t *parser, content kind) {
    if (parser->stmt_head != nullptr) return true;
    set_error(parser, kind == content::mt940 ? "No MT940 statement in the file"
                      : kind == content::zip ? "No camt statement in the ZIP archive"
                                             : "No statement in the camt document");
    return false;
}

// Reads the content from the descriptor (when fd >= 0) or from memory.
bool load_content(sepa_stmt_parser_t *parser, int format, int fd, const char *data, size_t size) {
    char head[512];
    size_t head_size = size < sizeof head ? size : sizeof head;
    if (fd >= 0) {
        ssize_t got = pread(fd, head, head_size, 0);
        if (got < 0) {
            format_text(parser->error_text, sizeof parser->error_text, "Error while reading from file: %s",
                        std::strerror(errno));
            return false;
        }
        head_size = static_cast<size_t>(got);
    } else {
        std::memcpy(head, data, head_size);
    }
    content kind = recognise(head, head_size);
    if (!format_matches(parser, format, kind)) return false;
    size_t budget = SEPA_STMT_MAX_XML_BYTES;
    bool ok = false;
    if (kind == content::mt940) {
        if (!new_mt940_state(parser)) return false;
        char *text = nullptr;
        if (fd >= 0) {
            text = read_all(parser, fd, size);
        } else if ((text = static_cast<char *>(stmt_allocate_raw(size + 1))) != nullptr) {
            std::memcpy(text, data, size);
        } else {
            set_error(parser, out_of_memory_text);
        }
        ok = text != nullptr && keep_mt940_text(parser, text, size) && parse_mt940_text(parser);
    } else if (kind == content::xml) {
        fd_input from_file(fd);
        memory_input from_memory(data, size);
        camt_input &input = fd >= 0 ? static_cast<camt_input &>(from_file) : from_memory;
        ok = read_camt_document(parser, input, std::string(), &budget);
    } else {
        ok = read_camt_zip(parser, fd, data, size, &budget);
    }
    return ok && found_statements(parser, kind);
}

void release_text(mt940_state *state) {
    std::free(state->text);
    state->text = nullptr;
    state->size = 0;
}

// Drops everything a failed load built: no record survives its text.
void drop_load(sepa_stmt_parser_t *parser) {
    release_statements(parser);
    if (parser->mt940 != nullptr) release_text(parser->mt940);
}

// Steps shared by the file and the memory load: one load per parser, known formats.
bool begin_load(sepa_stmt_parser_t *parser, int format) {
    if (parser->format != 0) {
        set_error(parser, "Parser already used");
        return false;
    }
    parser->format = static_cast<uint32_t>(format);
    if (format != SEPA_STMT_FORMAT_MT940 && format != SEPA_STMT_FORMAT_CAMT && format != SEPA_STMT_FORMAT_AUTO) {
        set_error(parser, "Format not (yet) supported");
        return false;
    }
    return true;
}

}  // namespace

void *stmt_allocate_raw(size_t size) {
    if (allocations_left == 0) return nullptr;
    if (allocations_left > 0) --allocations_left;
    return std::malloc(size);
}

void *stmt_allocate_zeroed(size_t size) {
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
            format_text(parser->error_text, sizeof parser->error_text, "Error while reading from file: %s",
                        std::strerror(errno));
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

void release_statements(sepa_stmt_parser_t *parser) {
    arena_release(&parser->arena);
    parser->stmt_head = nullptr;
    parser->stmt_tail = nullptr;
}

int stmt_load_bytes(sepa_stmt_parser_t *parser, int format, const char *data, size_t size) {
    if (parser == nullptr) return SEPA_FAILED;
    if (!begin_load(parser, format)) return SEPA_FAILED;
    if (data == nullptr || size == 0) {
        set_error(parser, "Input file is empty");
        return SEPA_FAILED;
    }
    if (load_content(parser, format, -1, data, size)) return SEPA_OK;
    drop_load(parser);
    return SEPA_FAILED;
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

extern "C" SEPA_API int sepa_stmt_parser_load(sepa_stmt_parser_t *parser, int format, const char *path) {
    if (parser == nullptr) return SEPA_FAILED;
    if (!begin_load(parser, format)) return SEPA_FAILED;
    size_t size = 0;
    int fd = open_statement_file(parser, path, &size);
    if (fd < 0) return SEPA_FAILED;
    bool ok = load_content(parser, format, fd, nullptr, size);
    close(fd);
    if (ok) return SEPA_OK;
    drop_load(parser);
    return SEPA_FAILED;
}

extern "C" SEPA_API sepa_stmt_t *sepa_stmt_parser_getStatement(sepa_stmt_parser_t *parser) {
    if (parser == nullptr) return nullptr;
    return parser->stmt_head;
}
