// sepa-tool: the library's functions from the command line, with JSON output.
//
//   sepa-tool iban IBAN...                   check IBANs
//   sepa-tool bank COUNTRY CODE              look up a bank by national bank code
//   sepa-tool bic BIC...                     look up banks by BIC
//   sepa-tool account ACCOUNT METHOD [BLZ]   check a German account number
//   sepa-tool convert BLZ ACCOUNT            German account data to IBAN and BIC
//   sepa-tool render ORDER.json [-o FILE]    pain.001 / pain.008 document of an order
//   sepa-tool statements FILE.sta            MT940 statements as JSON
#include <iostream>
#include <string>

#include "commands.h"
#include "sepa.h"

void print_json(const nlohmann::ordered_json &value) {
    std::cout << value.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << "\n";
}

int main(int argc, char **argv) {
    CLI::App app{"sepa-tool " + std::string(sepa_version_str) +
                 ": IBAN and account checks, bank lookups, IBAN conversion, SEPA documents, MT940"};
    app.require_subcommand(1);
    int rc = 0;
    add_iban_command(app, rc);
    add_lookup_commands(app, rc);
    add_render_command(app, rc);
    add_statements_command(app, rc);
    CLI11_PARSE(app, argc, argv);
    return rc;
}
