// sepa-tool bank, bic, account and convert: the stateless lookups and checks.
#include <cctype>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "commands.h"
#include "json_output.h"
#include "library_handles.h"
#include "sepa.h"

using nlohmann::ordered_json;

namespace {

using bankinfo_ptr = malloc_ptr<sepa_bankinfo_t>;

int lookup_bank(const std::string &country, const std::string &code) {
    sepa_bankinfo_t *found = nullptr;
    int rc = sepa_bankid_check(country.c_str(), code.c_str(), &found);
    bankinfo_ptr info(found);
    if (rc != 1) {
        if (rc == -3) {
            std::cerr << "out of memory\n";
            return exit_usage;
        }
        std::cerr << (rc == 0 ? "unsupported country " + country : "bank code not found: " + code) << "\n";
        return exit_refused;
    }
    ordered_json out{{"country", country}, {"code", code}};
    out["bank"] = bankinfo_to_json(info.get());
    print_json(out);
    return exit_ok;
}

int lookup_bics(const std::vector<std::string> &bics) {
    ordered_json out = ordered_json::array();
    bool all_found = true;
    for (const auto &bic : bics) {
        sepa_bankinfo_t *found = nullptr;
        const bool ok = sepa_bic_getBank(bic.c_str(), &found) == 1;
        bankinfo_ptr info(found);
        ordered_json entry{{"query", bic}};
        entry["bank"] = ok ? bankinfo_to_json(info.get()) : ordered_json(nullptr);
        all_found = all_found && ok;
        out.push_back(entry);
    }
    print_json(out);
    return all_found ? exit_ok : exit_refused;
}

// The method byte of a two-digit hexadecimal method code ("63" is 0x63, "A5" 0xA5).
int method_byte(const std::string &code) { return static_cast<int>(std::stoi(code, nullptr, 16)); }

int check_account(const std::string &account, const std::string &method, const std::string &bank_code) {
    const int byte = method_byte(method);
    int rc = bank_code.empty() ? sepa_account_check(account.c_str(), byte)
                               : sepa_account_check2(account.c_str(), bank_code.c_str(), byte);
    const char *meaning = rc == 1 ? "valid" : rc == 2 ? "valid (second variant)" : rc == 0 ? "not checked" : "invalid";
    print_json(ordered_json{{"account", account}, {"method", method}, {"result", rc}, {"meaning", meaning}});
    return rc == -1 ? exit_refused : exit_ok;
}

int convert(const std::string &bank_code, const std::string &account) {
    char iban[35] = {0};
    char status = 0;
    int rc = sepa_iban_convert("DE", account.c_str(), bank_code.c_str(), iban, &status);
    ordered_json out{{"bank_code", bank_code},
                     {"account", account},
                     {"result", rc},
                     {"status", static_cast<int>(static_cast<unsigned char>(status))}};
    if (rc == 1) {
        out["iban"] = iban;
        char bic[12] = {0};
        if (sepa_iban_getBIC(iban, bic) == 1) out["bic"] = bic;
    }
    print_json(out);
    return rc == 1 ? exit_ok : exit_refused;
}

// Argument checks: a wrong argument is a usage error (exit 2) with CLI11's message,
// before the library sees it.
std::string two_hex_digits(const std::string &value) {
    const bool ok = value.size() == 2 && std::isxdigit(static_cast<unsigned char>(value[0])) &&
                    std::isxdigit(static_cast<unsigned char>(value[1]));
    return ok ? std::string() : "a method code is two hexadecimal digits (00-FF), not \"" + value + "\"";
}

std::string eight_digits(const std::string &value) {
    const bool ok = value.size() == 8 && value.find_first_not_of("0123456789") == std::string::npos;
    return ok ? std::string() : "a German bank code is 8 digits, not \"" + value + "\"";
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
    const CLI::Validator method_code(two_hex_digits, "HEX2");
    const CLI::Validator bank_code(eight_digits, "BLZ");

    auto *bank_cmd = app.add_subcommand("bank", "look up a bank by national bank code");
    bank_cmd->add_option("COUNTRY", args->country, "AT, CH, DE or LI")
        ->required()
        ->transform(CLI::IsMember({"AT", "CH", "DE", "LI"}, CLI::ignore_case));
    bank_cmd->add_option("CODE", args->code)->required();
    bank_cmd->callback([args, &rc] { rc = lookup_bank(args->country, args->code); });

    auto *bic_cmd = app.add_subcommand("bic", "look up banks by BIC");
    bic_cmd->add_option("BIC", args->bics)->required();
    bic_cmd->callback([args, &rc] { rc = lookup_bics(args->bics); });

    auto *account_cmd = app.add_subcommand("account", "check a German account number by a check-digit method");
    account_cmd->add_option("ACCOUNT", args->account)->required();
    account_cmd->add_option("METHOD", args->method, "method code, two hexadecimal digits, e.g. 00, 63, A5")
        ->required()
        ->check(method_code);
    account_cmd->add_option("BANK_CODE", args->bank_code, "needed by methods 52, 53, B6, C0")->check(bank_code);
    account_cmd->callback([args, &rc] { rc = check_account(args->account, args->method, args->bank_code); });

    auto *convert_cmd = app.add_subcommand("convert", "German bank code and account number to IBAN and BIC");
    convert_cmd->add_option("BANK_CODE", args->convert_code)->required()->check(bank_code);
    convert_cmd->add_option("ACCOUNT", args->convert_account)->required();
    convert_cmd->callback([args, &rc] { rc = convert(args->convert_code, args->convert_account); });
}
