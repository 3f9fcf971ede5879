// quorvel-calc: the calculator's Calculate action for scripts.

#include <array>
#include <iostream>
#include <string>

#include <CLI/CLI.hpp>

#include "cli/batch.h"
#include "cli/exit_status.h"
#include "cli/single_run.h"

namespace {

using quorvel::Field;
namespace cli = quorvel::cli;

struct InputOption {
    const char* name;
    Field field;
    const char* help;
};

constexpr std::array<InputOption, 4> kInputOptions = {{
    {"--bits", Field::kBitSize, "Text of BitSize: accumulator width in bits (default \"32\")"},
    {"--clock", Field::kFclock, "Text of Fclock: reference clock in MHz (default \"100\")"},
    {"--wanted", Field::kFwanted, "Text of Fwanted: wanted output frequency in MHz (default \"25\")"},
    {"--error", Field::kFerror, "Text of Ferror: measured output error in Hz (default empty)"},
}};

constexpr const char* kFooter =
    "Exit status: 0 done; 1 the calculation stopped at a run-time error; "
    "2 a text that is not UTF-8, a bad option, or (--batch) an invalid line.";

}  // namespace

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    // Reading a batch line must not flush the output each time.
    std::cin.tie(nullptr);

    CLI::App app{"Runs the DDS tuning-word calculation of the Quorvel window once, "
                 "on its initial texts apart from the fields given."};
    app.footer(kFooter);
    app.set_version_flag("--version", QUORVEL_DISPLAY_VERSION);

    std::array<std::string, kInputOptions.size()> texts;
    std::array<CLI::Option*, kInputOptions.size()> options{};
    for (std::size_t i = 0; i < kInputOptions.size(); ++i) {
        options[i] = app.add_option(kInputOptions[i].name, texts[i], kInputOptions[i].help)
                         ->option_text("TEXT");
    }
    bool json = false;
    bool batch = false;
    CLI::Option* json_flag = app.add_flag("--json", json, "Print the outcome as one JSON object");
    CLI::Option* batch_flag = app.add_flag(
        "--batch", batch, "Read JSON Lines of inputs on stdin, write one JSON line each");
    batch_flag->excludes(json_flag);
    for (CLI::Option* option : options) batch_flag->excludes(option);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        return app.exit(error) == 0 ? cli::kExitOk : cli::kExitInvalidInput;
    }

    if (batch) return cli::RunBatch(std::cin, std::cout) ? cli::kExitOk : cli::kExitInvalidInput;

    cli::SingleRunRequest request;
    request.json = json;
    for (std::size_t i = 0; i < kInputOptions.size(); ++i) {
        if (options[i]->count() > 0) {
            request.inputs.push_back({kInputOptions[i].field, kInputOptions[i].name, std::move(texts[i])});
        }
    }
    return cli::RunSingle(request, std::cout, std::cerr);
}
