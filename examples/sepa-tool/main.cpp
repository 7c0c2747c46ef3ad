// sepa-tool: the library's functions from the command line, with JSON output.
//
//   sepa-tool iban IBAN...                   check IBANs
//   sepa-tool bank COUNTRY CODE              look up a bank by national bank code
//   sepa-tool bic BIC...                     look up banks by BIC
//   sepa-tool account ACCOUNT METHOD [BLZ]   check a German account number
//   sepa-tool convert BLZ ACCOUNT            German account data to IBAN and BIC
//   sepa-tool render ORDER.json [-o FILE]    pain.001 / pain.008 document of an order
//   sepa-tool statements FILE.sta            MT940 statements as JSON
#include <CLI/CLI.hpp>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "json_output.h"
#include "order_file.h"
#include "sepa.h"

using nlohmann::ordered_json;

namespace {

void print(const ordered_json &value) { std::cout << value.dump(2) << "\n"; }

int check_ibans(const std::vector<std::string> &ibans) {
    ordered_json out = ordered_json::array();
    bool all_valid = true;
    for (const auto &iban : ibans) {
        bool valid = sepa_iban_check(iban.c_str()) == 1;
        all_valid = all_valid && valid;
        ordered_json entry{{"iban", iban}, {"valid", valid}};
        sepa_bankinfo_t *info = nullptr;
        if (valid && sepa_iban_getBank(iban.c_str(), &info) == 1) {
            entry["bank"] = bankinfo_to_json(info);
            free(info);
        }
        out.push_back(entry);
    }
    print(out);
    return all_valid ? 0 : 1;
}

int lookup_bank(const std::string &country, const std::string &code) {
    sepa_bankinfo_t *info = nullptr;
    int rc = sepa_bankid_check(country.c_str(), code.c_str(), &info);
    if (rc != 1) {
        std::cerr << (rc == 0 ? "unsupported country " + country : "bank code not found: " + code) << "\n";
        return 1;
    }
    ordered_json out{{"country", country}, {"code", code}};
    out["bank"] = bankinfo_to_json(info);
    free(info);
    print(out);
    return 0;
}

int lookup_bics(const std::vector<std::string> &bics) {
    ordered_json out = ordered_json::array();
    bool all_found = true;
    for (const auto &bic : bics) {
        sepa_bankinfo_t *info = nullptr;
        ordered_json entry{{"query", bic}};
        if (sepa_bic_getBank(bic.c_str(), &info) == 1) {
            entry["bank"] = bankinfo_to_json(info);
            free(info);
        } else {
            entry["bank"] = nullptr;
            all_found = false;
        }
        out.push_back(entry);
    }
    print(out);
    return all_found ? 0 : 1;
}

int check_account(const std::string &account, const std::string &method, const std::string &bank_code) {
    int method_byte = static_cast<int>(std::strtol(method.c_str(), nullptr, 16));
    int rc = bank_code.empty() ? sepa_account_check(account.c_str(), method_byte)
                               : sepa_account_check2(account.c_str(), bank_code.c_str(), method_byte);
    const char *meaning = rc == 1 ? "valid" : rc == 2 ? "valid (second variant)" : rc == 0 ? "not checked" : "invalid";
    print(ordered_json{{"account", account}, {"method", method}, {"result", rc}, {"meaning", meaning}});
    return rc == -1 ? 1 : 0;
}

int convert(const std::string &bank_code, const std::string &account) {
    char iban[35] = {0};
    char status = 0;
    int rc = sepa_iban_convert("DE", account.c_str(), bank_code.c_str(), iban, &status);
    ordered_json out{{"bank_code", bank_code}, {"account", account}, {"result", rc},
                     {"status", static_cast<int>(static_cast<unsigned char>(status))}};
    if (rc == 1) {
        out["iban"] = iban;
        char bic[12] = {0};
        if (sepa_iban_getBIC(iban, bic) == 1) out["bic"] = bic;
    }
    print(out);
    return rc == 1 ? 0 : 1;
}

int render(const std::string &path, const std::string &output) {
    std::ifstream in(path);
    if (!in) {
        std::cerr << "cannot open " << path << "\n";
        return 1;
    }
    order_result built;
    try {
        built = build_order(nlohmann::json::parse(in));
    } catch (const nlohmann::json::exception &e) {
        std::cerr << path << ": " << e.what() << "\n";
        return 1;
    }
    if (built.message == nullptr) {
        std::cerr << path << ": " << built.error << "\n";
        return 1;
    }
    char *xml = sepa_toXML(built.message);
    if (xml == nullptr) {
        const char *why = sepa_getError(built.message);
        std::cerr << path << ": " << (why ? why : "rendering failed") << "\n";
        sepa_free(built.message);
        return 1;
    }
    int rc = 0;
    if (output.empty()) {
        std::cout << xml;
    } else {
        std::ofstream out(output, std::ios::binary);
        out << xml;
        if (!out) {
            std::cerr << "cannot write " << output << "\n";
            rc = 1;
        }
    }
    free(xml);
    sepa_free(built.message);
    return rc;
}

int statements(const std::string &path) {
    sepa_stmt_parser_t *parser = sepa_stmt_parser_new();
    if (parser == nullptr) {
        std::cerr << "out of memory\n";
        return 1;
    }
    int rc = 0;
    if (sepa_stmt_parser_load(parser, SEPA_STMT_FORMAT_MT940, path.c_str()) != 1) {
        std::cerr << path << ": " << sepa_stmt_parser_getError(parser) << "\n";
        rc = 1;
    } else {
        print(statements_to_json(sepa_stmt_parser_getStatement(parser)));
    }
    sepa_stmt_parser_free(parser);
    return rc;
}

}  // namespace

int main(int argc, char **argv) {
    CLI::App app{"sepa-tool " + std::string(sepa_version_str) +
                 ": IBAN and account checks, bank lookups, IBAN conversion, SEPA documents, MT940"};
    app.require_subcommand(1);
    int rc = 0;

    std::vector<std::string> ibans;
    auto *iban_cmd = app.add_subcommand("iban", "check IBANs (electronic form)");
    iban_cmd->add_option("IBAN", ibans)->required();
    iban_cmd->callback([&] { rc = check_ibans(ibans); });

    std::string country, code;
    auto *bank_cmd = app.add_subcommand("bank", "look up a bank by national bank code");
    bank_cmd->add_option("COUNTRY", country, "AT, CH, DE or LI")->required();
    bank_cmd->add_option("CODE", code)->required();
    bank_cmd->callback([&] { rc = lookup_bank(country, code); });

    std::vector<std::string> bics;
    auto *bic_cmd = app.add_subcommand("bic", "look up banks by BIC");
    bic_cmd->add_option("BIC", bics)->required();
    bic_cmd->callback([&] { rc = lookup_bics(bics); });

    std::string account, method, bank_code;
    auto *account_cmd = app.add_subcommand("account", "check a German account number by a check-digit method");
    account_cmd->add_option("ACCOUNT", account)->required();
    account_cmd->add_option("METHOD", method, "method code, e.g. 00, 63, A5")->required();
    account_cmd->add_option("BANK_CODE", bank_code, "needed by methods 52, 53, B6, C0");
    account_cmd->callback([&] { rc = check_account(account, method, bank_code); });

    std::string convert_code, convert_account;
    auto *convert_cmd = app.add_subcommand("convert", "German bank code and account number to IBAN and BIC");
    convert_cmd->add_option("BANK_CODE", convert_code)->required();
    convert_cmd->add_option("ACCOUNT", convert_account)->required();
    convert_cmd->callback([&] { rc = convert(convert_code, convert_account); });

    std::string order_path, output;
    auto *render_cmd = app.add_subcommand("render", "render a JSON order as pain.001 / pain.008 XML");
    render_cmd->add_option("ORDER", order_path, "JSON order file")->required();
    render_cmd->add_option("-o,--output", output, "write the document to this file");
    render_cmd->callback([&] { rc = render(order_path, output); });

    std::string statement_path;
    auto *stmt_cmd = app.add_subcommand("statements", "parse an MT940 file into JSON");
    stmt_cmd->add_option("FILE", statement_path)->required();
    stmt_cmd->callback([&] { rc = statements(statement_path); });

    CLI11_PARSE(app, argc, argv);
    return rc;
}
