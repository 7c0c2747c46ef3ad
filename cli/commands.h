// The subcommands of sepa-tool. Each file registers one command (or a family of
// small lookups) on the application; the command's callback stores its exit code
// in `rc`.
#pragma once

#include <CLI/CLI.hpp>

#include <nlohmann/json.hpp>

// Exit codes of sepa-tool (listed in --help and the README).
enum exit_code : int {
    exit_ok = 0,       // done; every value checked was valid / found
    exit_refused = 1,  // input data invalid or refused, a value not valid or not found
    exit_usage = 2,    // wrong command line, or a file could not be read or written
};
// Failures to read or write a file share the usage code: in both cases the data
// itself was never looked at.
inline constexpr exit_code exit_io = exit_usage;

// Prints a JSON value to standard output. Texts from statements are made UTF-8
// beforehand (sepa_text_toUTF8); should invalid UTF-8 still reach the output, it is
// replaced rather than ending the program.
void print_json(const nlohmann::ordered_json &value);

void add_iban_command(CLI::App &app, int &rc);
void add_lookup_commands(CLI::App &app, int &rc);  // bank, bic, account, convert
void add_render_command(CLI::App &app, int &rc);
void add_statements_command(CLI::App &app, int &rc);
