// sepa-tool: the library's functions from the command line, with JSON output.
//
//   sepa-tool iban IBAN...                   check IBANs
//   sepa-tool bank COUNTRY CODE              look up a bank by national bank code
//   sepa-tool bic BIC...                     look up banks by BIC
//   sepa-tool account ACCOUNT METHOD [BLZ]   check a German account number
//   sepa-tool convert BLZ ACCOUNT            German account data to IBAN and BIC
//   sepa-tool render ORDER.json [-o FILE]    pain.001 / pain.008 document of an order
//   sepa-tool statements FILE                MT940, camt or a ZIP of camt as JSON
//   sepa-tool --version                      versions of the tool and the library
#include <cstdio>
#include <exception>
#include <iostream>
#include <new>
#include <string>

#include "commands.h"
#include "sepa.h"

void print_json(const nlohmann::ordered_json &value) {
    std::cout << value.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << "\n";
}

namespace {

constexpr const char *exit_code_help =
    "Exit codes:\n"
    "  0  success: every value checked is valid, every lookup found something\n"
    "  1  refused: invalid or refused input data (an invalid IBAN or account, a bank\n"
    "     or BIC not found, an order the library refuses, a malformed JSON order)\n"
    "  2  usage or I/O error: wrong arguments, a file that cannot be read or written";

// The versions of the tool (from the build) and of the libsepa it runs with.
std::string version_text() { return std::string("sepa-tool ") + SEPA_TOOL_VERSION + "\nlibsepa " + sepa_version_str; }

int run(int argc, char **argv) {
    CLI::App app{"sepa-tool: IBAN and account checks, bank lookups, IBAN conversion, SEPA documents, MT940"};
    app.set_version_flag("--version", version_text(), "print the versions of sepa-tool and the library");
    app.footer(exit_code_help);
    app.require_subcommand(1);
    int rc = exit_ok;
    add_iban_command(app, rc);
    add_lookup_commands(app, rc);
    add_render_command(app, rc);
    add_statements_command(app, rc);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError &e) {
        // --help and --version end here too, with CLI11's code 0.
        return app.exit(e) == 0 ? exit_ok : exit_usage;
    }
    std::cout.flush();
    if (!std::cout) {
        std::cerr << "sepa-tool: cannot write to standard output\n";
        return exit_io;
    }
    return rc;
}

}  // namespace

int main(int argc, char **argv) {
    try {
        return run(argc, argv);
    } catch (const std::bad_alloc &) {
        std::fputs("sepa-tool: out of memory\n", stderr);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "sepa-tool: %s\n", e.what());
    }
    return exit_usage;
}
