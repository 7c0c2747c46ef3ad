// sepa-tool render ORDER.json [-o FILE]: a JSON order as pain.001 / pain.008.
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>

#include "commands.h"
#include "order_file.h"
#include "sepa.h"

namespace {

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
    // Which rulebook the document follows, beside the document rather than in it.
    const char *rulebook = sepa_getRulebook();
    std::cerr << "rendered under rulebook " << (rulebook != nullptr ? rulebook : "?") << "\n";
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

struct render_args {
    std::string order_path, output;
};

}  // namespace

void add_render_command(CLI::App &app, int &rc) {
    auto args = std::make_shared<render_args>();
    auto *cmd = app.add_subcommand("render", "render a JSON order as pain.001 / pain.008 XML");
    cmd->add_option("ORDER", args->order_path, "JSON order file")->required();
    cmd->add_option("-o,--output", args->output, "write the document to this file");
    cmd->callback([args, &rc] { rc = render(args->order_path, args->output); });
}
