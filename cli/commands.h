// The subcommands of sepa-tool. Each file registers one command (or a family of
// small lookups) on the application; the command's callback stores its exit code
// in `rc`.
#pragma once

#include <CLI/CLI.hpp>

#include <nlohmann/json.hpp>

// Prints a JSON value to standard output. Texts from statements are made UTF-8
// beforehand; any sequence that is still invalid (overlong forms, surrogates) is
// replaced rather than ending the program.
void print_json(const nlohmann::ordered_json &value);

void add_iban_command(CLI::App &app, int &rc);
void add_lookup_commands(CLI::App &app, int &rc);  // bank, bic, account, convert
void add_render_command(CLI::App &app, int &rc);
void add_statements_command(CLI::App &app, int &rc);
