// sepa-tool statements FILE: the statements of an MT940 file, a camt document or a
// ZIP archive of camt documents as JSON, written as it is produced.
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <iostream>
#include <memory>
#include <string>

#include "commands.h"
#include "statements_json.h"
#include "sepa.h"

namespace {

struct parser_deleter {
    void operator()(sepa_stmt_parser_t *parser) const { sepa_stmt_parser_free(parser); }
};
using parser_ptr = std::unique_ptr<sepa_stmt_parser_t, parser_deleter>;

// Exit codes as for every command: 1 for data refused, 2 for I/O failures.
constexpr int refused_exit = 1;     // the file holds no statement the library can read
constexpr int unreadable_exit = 2;  // the file cannot be read, or the output not written

// Only regular files are statement files: a FIFO or a device would block the load
// and a directory has no content. Refused here with the I/O exit code.
bool is_readable_file(const std::string &path) {
    struct stat info;
    if (stat(path.c_str(), &info) != 0) {
        std::cerr << path << ": " << std::strerror(errno) << "\n";
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        std::cerr << path << ": not a regular file\n";
        return false;
    }
    return true;
}

int statements(const std::string &path) {
    if (!is_readable_file(path)) return unreadable_exit;
    parser_ptr parser(sepa_stmt_parser_new());
    if (parser == nullptr) {
        std::cerr << "out of memory\n";
        return unreadable_exit;
    }
    if (sepa_stmt_parser_load(parser.get(), SEPA_STMT_FORMAT_AUTO, path.c_str()) != 1) {
        std::cerr << path << ": " << sepa_stmt_parser_getError(parser.get()) << "\n";
        return refused_exit;
    }
    const sepa_stmt_t *first = sepa_stmt_parser_getStatement(parser.get());
    if (first == nullptr) {
        std::cerr << path << ": no statement in the file\n";
        return refused_exit;
    }
    write_statements_json(std::cout, first);
    std::cout.flush();
    if (!std::cout) {
        std::cerr << "cannot write the statements to standard output\n";
        return unreadable_exit;
    }
    return 0;
}

}  // namespace

void add_statements_command(CLI::App &app, int &rc) {
    auto path = std::make_shared<std::string>();
    auto *cmd = app.add_subcommand("statements",
                                   "MT940, camt.052/053/054 or a ZIP of camt documents as JSON (format detected)");
    cmd->add_option("FILE", *path)->required();
    cmd->callback([path, &rc] { rc = statements(*path); });
}
