// sepa-tool iban IBAN...: checks IBANs and shows their bank.
#include <cstdlib>
#include <string>
#include <vector>

#include "commands.h"
#include "json_output.h"
#include "sepa.h"

using nlohmann::ordered_json;

namespace {

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
    print_json(out);
    return all_valid ? 0 : 1;
}

}  // namespace

void add_iban_command(CLI::App &app, int &rc) {
    auto ibans = std::make_shared<std::vector<std::string>>();
    auto *cmd = app.add_subcommand("iban", "check IBANs (electronic form)");
    cmd->add_option("IBAN", *ibans)->required();
    cmd->callback([ibans, &rc] { rc = check_ibans(*ibans); });
}
