// sepa-tool statements FILE: statements as JSON.
#include <iostream>
#include <memory>
#include <string>

#include "commands.h"
#include "json_output.h"
#include "sepa.h"

namespace {

int statements(const std::string &path) {
    sepa_stmt_parser_t *parser = sepa_stmt_parser_new();
    if (parser == nullptr) {
        std::cerr << "out of memory\n";
        return 1;
    }
    int rc = 0;
    if (sepa_stmt_parser_load(parser, SEPA_STMT_FORMAT_MT940, path.c_str()) != 1) {
        std::cerr << path << ": " << sepa_stmt_parser_getError(parser) << "\n";
        rc = exit_io;
    } else {
        print_json(statements_to_json(sepa_stmt_parser_getStatement(parser)));
    }
    sepa_stmt_parser_free(parser);
    return rc;
}

}  // namespace

void add_statements_command(CLI::App &app, int &rc) {
    auto path = std::make_shared<std::string>();
    auto *cmd = app.add_subcommand("statements", "parse an MT940 file into JSON");
    cmd->add_option("FILE", *path)->required();
    cmd->callback([path, &rc] { rc = statements(*path); });
}
