// sepa-tool iban [IBAN...] [--file FILE] [--format json|jsonl|csv]: checks IBANs of
// every registry country, given in electronic or printed form, from the command
// line, a file or standard input, and reports the reason of every invalid one.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "commands.h"
#include "sepa.h"

using nlohmann::ordered_json;

namespace {

// Exit codes of this command.
constexpr int all_valid_exit = 0;
constexpr int some_invalid_exit = 1;
constexpr int io_error_exit = 2;

struct iban_options {
    std::vector<std::string> ibans;
    std::string file;
    std::string format = "json";
};

// One IBAN as the report shows it: the electronic form checked, validity over the
// whole registry with reason code and text, the SEPA and EEA marks, whether the
// payment setters accept it, and the parts and bank.
ordered_json report(const std::string &input) {
    ordered_json entry{{"input", input}};
    char electronic[SEPA_IBAN_BUFSIZE];
    if (input.find('\0') != std::string::npos ||
        sepa_iban_normalize(input.c_str(), electronic, sizeof electronic) != SEPA_IBAN_OK) {
        // Not an IBAN text at all (other characters, empty or too long): reported
        // as a layout fault.
        entry["iban"] = nullptr;
        entry["valid"] = false;
        entry["code"] = SEPA_IBAN_REASON_FORMAT;
        entry["reason"] = "Invalid IBAN format";
        return entry;
    }
    sepa_iban_info_t info;
    sepa_iban_inspect(electronic, &info);
    entry["iban"] = electronic;
    entry["valid"] = info.reason == SEPA_IBAN_REASON_NONE;
    entry["code"] = info.reason;
    entry["reason"] = info.reason_text != nullptr ? ordered_json(info.reason_text) : ordered_json(nullptr);
    entry["country"] = info.country;
    entry["sepa"] = info.sepa != 0;
    entry["eea"] = info.eea != 0;
    entry["sepa_payments"] = sepa_iban_check(electronic) == SEPA_IBAN_OK;
    entry["bank_id"] = info.bank_id;
    entry["branch_id"] = info.branch_id;
    if (info.bank_found) {
        entry["bank"] = ordered_json{
            {"bic", info.bank_bic}, {"name", info.bank_name}, {"zip", info.bank_zip}, {"city", info.bank_city}};
    } else {
        entry["bank"] = nullptr;
    }
    return entry;
}

// One line per IBAN; blank lines are skipped, a CR before the line end is dropped.
bool read_lines(std::istream &in, std::vector<std::string> &out) {
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.find_first_not_of(" \t") == std::string::npos) continue;
        out.push_back(line);
    }
    return !in.bad();
}

std::string csv_field(const ordered_json &value) {
    std::string text = value.is_string() ? value.get<std::string>() : value.is_null() ? "" : value.dump();
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

void write_csv(const std::vector<ordered_json> &entries) {
    static const char *const columns[] = {"input",     "iban", "valid",    "code",          "reason",
                                          "country",   "sepa", "eea",      "sepa_payments", "bank_id",
                                          "branch_id", "bic",  "bank_name"};
    for (size_t i = 0; i < std::size(columns); ++i) std::cout << (i == 0 ? "" : ",") << columns[i];
    std::cout << "\n";
    for (const ordered_json &entry : entries) {
        std::string line;
        for (size_t i = 0; i < std::size(columns); ++i) {
            const std::string column = columns[i];
            ordered_json value = nullptr;
            if (column == "bic" || column == "bank_name") {
                const auto bank = entry.find("bank");
                if (bank != entry.end() && bank->is_object()) value = (*bank)[column == "bic" ? "bic" : "name"];
            } else if (entry.contains(column)) {
                value = entry[column];
            }
            if (i > 0) line += ',';
            line += csv_field(value);
        }
        std::cout << line << "\n";
    }
}

int check_ibans(const iban_options &options) {
    std::vector<std::string> inputs;
    for (const std::string &arg : options.ibans) {
        if (arg != "-") inputs.push_back(arg);
    }
    const bool from_stdin = (options.ibans.empty() && options.file.empty()) || options.file == "-" ||
                            (options.ibans.size() == 1 && options.ibans[0] == "-");
    if (!options.file.empty() && options.file != "-") {
        std::ifstream in(options.file, std::ios::binary);
        if (!in || !read_lines(in, inputs)) {
            std::cerr << "sepa-tool iban: cannot read " << options.file << "\n";
            return io_error_exit;
        }
    }
    if (from_stdin && !read_lines(std::cin, inputs)) {
        std::cerr << "sepa-tool iban: cannot read standard input\n";
        return io_error_exit;
    }

    std::vector<ordered_json> entries;
    bool all_valid = true;
    for (const std::string &input : inputs) {
        entries.push_back(report(input));
        all_valid = all_valid && entries.back()["valid"].get<bool>();
    }
    if (options.format == "csv") {
        write_csv(entries);
    } else if (options.format == "jsonl") {
        for (const ordered_json &entry : entries) {
            std::cout << entry.dump(-1, ' ', false, ordered_json::error_handler_t::replace) << "\n";
        }
    } else {
        print_json(ordered_json(entries));
    }
    return all_valid ? all_valid_exit : some_invalid_exit;
}

}  // namespace

void add_iban_command(CLI::App &app, int &rc) {
    auto options = std::make_shared<iban_options>();
    auto *cmd = app.add_subcommand(
        "iban",
        "check IBANs of every registry country (electronic or printed form, any case); without IBAN "
        "arguments, or with \"-\", reads one IBAN per line from standard input");
    cmd->add_option("IBAN", options->ibans, "IBANs to check (\"-\": standard input)");
    cmd->add_option("-f,--file", options->file, "read one IBAN per line from this file (\"-\": standard input)");
    cmd->add_option("--format", options->format,
                    "output: json (one array, default), jsonl (one object per "
                    "line) or csv")
        ->check(CLI::IsMember({"json", "jsonl", "csv"}));
    cmd->footer("Exit codes: 0 every IBAN valid, 1 some IBAN invalid, 2 usage or I/O error.");
    cmd->callback([options, &rc] { rc = check_ibans(*options); });
}
