// sepa-tool bank, bic, account and convert: the stateless lookups and checks.
#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "commands.h"
#include "json_output.h"
#include "sepa.h"

using nlohmann::ordered_json;

namespace {

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
    print_json(out);
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
    print_json(out);
    return all_found ? 0 : 1;
}

int check_account(const std::string &account, const std::string &method, const std::string &bank_code) {
    int method_byte = static_cast<int>(std::strtol(method.c_str(), nullptr, 16));
    int rc = bank_code.empty() ? sepa_account_check(account.c_str(), method_byte)
                               : sepa_account_check2(account.c_str(), bank_code.c_str(), method_byte);
    const char *meaning = rc == 1 ? "valid" : rc == 2 ? "valid (second variant)" : rc == 0 ? "not checked" : "invalid";
    print_json(ordered_json{{"account", account}, {"method", method}, {"result", rc}, {"meaning", meaning}});
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
    print_json(out);
    return rc == 1 ? 0 : 1;
}

struct lookup_args {
    std::string country, code;
    std::vector<std::string> bics;
    std::string account, method, bank_code;
    std::string convert_code, convert_account;
};

}  // namespace

void add_lookup_commands(CLI::App &app, int &rc) {
    auto args = std::make_shared<lookup_args>();

    auto *bank_cmd = app.add_subcommand("bank", "look up a bank by national bank code");
    bank_cmd->add_option("COUNTRY", args->country, "AT, CH, DE or LI")->required();
    bank_cmd->add_option("CODE", args->code)->required();
    bank_cmd->callback([args, &rc] { rc = lookup_bank(args->country, args->code); });

    auto *bic_cmd = app.add_subcommand("bic", "look up banks by BIC");
    bic_cmd->add_option("BIC", args->bics)->required();
    bic_cmd->callback([args, &rc] { rc = lookup_bics(args->bics); });

    auto *account_cmd = app.add_subcommand("account", "check a German account number by a check-digit method");
    account_cmd->add_option("ACCOUNT", args->account)->required();
    account_cmd->add_option("METHOD", args->method, "method code, e.g. 00, 63, A5")->required();
    account_cmd->add_option("BANK_CODE", args->bank_code, "needed by methods 52, 53, B6, C0");
    account_cmd->callback([args, &rc] { rc = check_account(args->account, args->method, args->bank_code); });

    auto *convert_cmd = app.add_subcommand("convert", "German bank code and account number to IBAN and BIC");
    convert_cmd->add_option("BANK_CODE", args->convert_code)->required();
    convert_cmd->add_option("ACCOUNT", args->convert_account)->required();
    convert_cmd->callback([args, &rc] { rc = convert(args->convert_code, args->convert_account); });
}
