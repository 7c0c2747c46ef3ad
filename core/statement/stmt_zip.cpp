#include "core/statement/stmt_zip.h"

#include <cerrno>
#include <cstring>
#include <string>
#include <unistd.h>
#include <zip.h>

#include "core/frame/text_checks.h"
#include "core/statement/camt_reader.h"

namespace {

class zip_entry_input : public camt_input {
public:
    explicit zip_entry_input(zip_file_t *file) : file_(file) {}
    long read(char *buffer, size_t capacity, std::string *error) override {
        zip_int64_t got = zip_fread(file_, buffer, capacity);
        if (got < 0) {
            *error = std::string("Error while reading the ZIP archive: ") +
                     zip_error_strerror(zip_file_get_error(file_));
            return -1;
        }
        return static_cast<long>(got);
    }

private:
    zip_file_t *file_;
};

bool fail(sepa_stmt_parser_t *parser, const char *what, zip_error_t *error) {
    format_text(parser->error_text, sizeof parser->error_text, "%s: %s", what, zip_error_strerror(error));
    return false;
}

zip_t *open_archive(sepa_stmt_parser_t *parser, int fd, const char *data, size_t size) {
    zip_error_t error;
    zip_error_init(&error);
    zip_t *archive = nullptr;
    if (data != nullptr) {
        zip_source_t *source = zip_source_buffer_create(data, size, 0, &error);
        if (source != nullptr) {
            archive = zip_open_from_source(source, ZIP_RDONLY, &error);
            if (archive == nullptr) zip_source_free(source);
        }
    } else {
        int own = dup(fd);
        if (own < 0) {
            format_text(parser->error_text, sizeof parser->error_text, "Can't read the ZIP archive: %s",
                        std::strerror(errno));
            return nullptr;
        }
        int code = 0;
        archive = zip_fdopen(own, ZIP_RDONLY, &code);
        if (archive == nullptr) {
            close(own);
            zip_error_set(&error, code, 0);
        }
    }
    if (archive == nullptr) fail(parser, "Can't open the ZIP archive", &error);
    zip_error_fini(&error);
    return archive;
}

}  // namespace

bool read_camt_zip(sepa_stmt_parser_t *parser, int fd, const char *data, size_t size, size_t *budget) {
    zip_t *archive = open_archive(parser, fd, data, size);
    if (archive == nullptr) return false;
    bool ok = true;
    zip_int64_t count = zip_get_num_entries(archive, 0);
    if (count > SEPA_STMT_MAX_ZIP_ENTRIES) {
        format_text(parser->error_text, sizeof parser->error_text, "ZIP archive with %lld entries; the limit is %d",
                    static_cast<long long>(count), SEPA_STMT_MAX_ZIP_ENTRIES);
        ok = false;
    }
    for (zip_int64_t i = 0; ok && i < count; ++i) {
        const char *entry_name = zip_get_name(archive, static_cast<zip_uint64_t>(i), 0);
        std::string name = entry_name != nullptr ? entry_name : "";
        if (!name.empty() && name.back() == '/') continue;  // a folder
        std::string label = "ZIP entry \"" + name.substr(0, 120) + "\"";
        zip_file_t *file = zip_fopen_index(archive, static_cast<zip_uint64_t>(i), 0);
        if (file == nullptr) {
            ok = fail(parser, label.c_str(), zip_get_error(archive));
            break;
        }
        zip_entry_input input(file);
        ok = read_camt_document(parser, input, label, budget);
        zip_fclose(file);
    }
    zip_discard(archive);
    return ok;
}
