// sepa-tool render ORDER.json [-o FILE]: a JSON order as pain.001 / pain.008.
#include <iostream>
#include <memory>
#include <string>

#include "commands.h"
#include "file_io.h"
#include "library_handles.h"
#include "order_file.h"
#include "sepa.h"

namespace {

int render(const std::string &path, const std::string &output) {
    std::string text, error;
    if (!read_regular_file(path, text, error)) {
        std::cerr << error << "\n";
        return exit_io;
    }
    order_result built;
    try {
        built = build_order(nlohmann::json::parse(text));
    } catch (const nlohmann::json::exception &e) {
        std::cerr << path << ": " << e.what() << "\n";
        return exit_refused;
    }
    if (!built.message) {
        std::cerr << path << ": " << built.error << "\n";
        return exit_refused;
    }
    malloc_ptr<char> xml(sepa_toXML(built.message.get()));
    if (!xml) {
        const char *why = sepa_getError(built.message.get());
        std::cerr << path << ": " << (why ? why : "rendering failed") << "\n";
        return exit_refused;
    }
    // Which rulebook the document follows, beside the document rather than in it.
    const char *rulebook = sepa_getRulebook();
    std::cerr << "rendered under rulebook " << (rulebook != nullptr ? rulebook : "?") << "\n";
    if (output.empty()) {
        std::cout << xml.get();
        return exit_ok;
    }
    if (!write_file(output, xml.get(), error)) {
        std::cerr << error << "\n";
        return exit_io;
    }
    return exit_ok;
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
