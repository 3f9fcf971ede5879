// quorvel-calc: the calculator's Calculate action for scripts.

#include <array>
#include <charconv>
#include <cstdint>
#include <system_error>
#include <iostream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <CLI/CLI.hpp>

#include "action/fields.h"
#include "cli/batch.h"
#include "cli/exit_status.h"
#include "cli/firmware.h"
#include "cli/single_run.h"
#include "cli/spectrum.h"
#include "cli/sweep.h"
#include "cli/unfinished_run.h"
#include "cli/word_query.h"
#include "core/utf16.h"

namespace {

using quorvel::Field;
namespace cli = quorvel::cli;

// Everything the command line can say, as CLI11 fills it in.
struct CommandLine {
    std::optional<std::string> bits;
    std::optional<std::string> clock;
    std::optional<std::string> wanted;
    std::optional<std::string> error;
    bool json = false;
    bool batch = false;
    bool details = false;
    std::optional<std::string> word;
    std::optional<std::string> sweep;
    bool csv = false;
    cli::FirmwareRequest firmware;
    bool spectrum = false;
    std::optional<std::int32_t> phase_bits;
    std::int32_t harmonics = quorvel::kDefaultHarmonics;
    std::optional<std::string> highest;
    bool svg = false;
};

// The options for firmware words; any of them asks for a firmware run.
struct FirmwareOptions {
    std::vector<CLI::Option*> all;
    CLI::Option* modulus;  // takes the place of --bits
    CLI::Option* exact;    // works from the wanted frequency, not a word
};

FirmwareOptions DefineFirmwareOptions(CLI::App& app, cli::FirmwareRequest& firmware) {
    const CLI::IsMember orders({"msb", "lsb"});
    CLI::Option* registers =
        app.add_option("--registers", firmware.registers,
                       "Print the register writes of this layout, in order: comma-separated writes WIDTH:EXPR over "
                       "the word w and the phase word p, with slices w[hi:lo], <<, | and constants, e.g. "
                       "\"16:0x4000|w[13:0], 16:0x4000|w[27:14]\"")
            ->option_text("LAYOUT");
    CLI::Option* bytes = app.add_option("--bytes", firmware.bytes, "With --registers: each write as bytes, "
                                                                   "most or least significant first")
                             ->option_text("msb|lsb")
                             ->check(orders)
                             ->needs(registers);
    CLI::Option* bits_order = app.add_option("--bits-order", firmware.bits_order,
                                             "With --registers: each write's bits in the order they are shifted in")
                                  ->option_text("msb|lsb")
                                  ->check(orders)
                                  ->needs(registers);
    CLI::Option* phase = app.add_option("--phase", firmware.phase,
                                        "Phase offset in degrees: the phase word round(phase/360 * 2^Q) mod 2^Q, "
                                        "halves to even, the phase it gives and its error")
                             ->option_text("DEGREES");
    CLI::Option* phase_word =
        app.add_option("--phase-word", firmware.phase_word, "The phase a phase word gives (decimal, or hex after 0x)")
            ->option_text("WORD")
            ->excludes(phase);
    CLI::Option* phase_bits =
        app.add_option("--phase-bits", firmware.phase_bits,
                       "Width of the phase: with --phase or --phase-word the phase offset word's width Q, 1 to 64; "
                       "with --spectrum the phase bits P that reach the sine stage (default: all of --bits)")
            ->option_text("BITS");
    phase->needs(phase_bits);
    phase_word->needs(phase_bits);
    CLI::Option* modulus = app.add_option("--modulus", firmware.modulus,
                                          "Instead of --bits: an accumulator that wraps at this whole number M >= 2; "
                                          "output N * clock / M, exactly")
                               ->option_text("M");
    CLI::Option* exact = app.add_flag("--exact", firmware.exact,
                                      "For a programmable modulus: the word rounded down and the rest as A/B, "
                                      "output clock * (word + A/B) / 2^bits");
    CLI::Option* max_denominator =
        app.add_option("--max-denominator", firmware.max_denominator,
                       "With --exact: the largest B (initially 4294967295); beyond it the nearest A/B within it")
            ->option_text("B")
            ->needs(exact);
    CLI::Option* is_signed = app.add_flag("--signed", firmware.is_signed,
                                          "Two's complement words for wanted frequencies in (-clock/2, clock/2); "
                                          "with --word, the word read as signed");
    CLI::Option* emit = app.add_option("--emit", firmware.emit,
                                       "Print the word (and the phase word and writes) as constants of that "
                                       "language, with what they give in a comment")
                            ->option_text("c|python|verilog|vhdl")
                            ->check(CLI::IsMember({"c", "python", "verilog", "vhdl"}));
    CLI::Option* name = app.add_option("--name", firmware.name,
                                       "With --emit: the word's identifier (initially FTW); the phase word and the "
                                       "writes add _PHASE and _WRITE1, _WRITE2, ...")
                            ->option_text("NAME")
                            ->needs(emit);
    return {{registers, bytes, bits_order, phase, phase_word, phase_bits, modulus, exact, max_denominator, is_signed,
             emit, name},
            modulus,
            exact};
}

// The options that give an input field its text.
struct InputOption {
    const char* name;
    Field field;
    const char* meaning;
    std::optional<std::string> CommandLine::*text;
};

constexpr std::array<InputOption, quorvel::kInputFields.size()> kInputOptions = {{
    {"--bits", Field::kBitSize, "accumulator width in bits", &CommandLine::bits},
    {"--clock", Field::kFclock, "reference clock in MHz", &CommandLine::clock},
    {"--wanted", Field::kFwanted, "wanted output frequency in MHz", &CommandLine::wanted},
    {"--error", Field::kFerror, "measured output error in Hz", &CommandLine::error},
}};

constexpr const char* kFooter =
    "Exit status: 0 done; 1 the calculation stopped at a run-time error (with --sweep: in some row); "
    "2 a text that is not UTF-8, a bad option, a bad sweep, (--batch) an invalid line, "
    "or (--word) a word that is not a whole number from 0 to 2^bits - 1, or (the firmware options) a value, "
    "layout or name that cannot be used, or (--spectrum) a word, phase width, harmonic or highest frequency it "
    "cannot take; "
    "3 the run could not finish (memory ran out, the input could not be read or the output "
    "not written): said on stderr, the lines already written are kept.";

// "Text of Fclock: reference clock in MHz (initially "100")"
std::string InputHelp(const InputOption& option) {
    std::string help = "Text of ";
    help.append(quorvel::FieldName(option.field)).append(": ").append(option.meaning);
    const std::u16string_view initial = quorvel::InitialText(option.field);
    if (initial.empty()) return help + " (initially empty)";
    return help + " (initially \"" + quorvel::Utf16ToUtf8(initial) + "\")";
}

// --phase-bits as the spectrum reads it: a whole number, whose range the
// spectrum itself checks against the accumulator width. "12" -> 12;
// "12.5", "x", "99999999999" -> a usage error.
std::int32_t SpectrumPhaseBits(const std::string& text) {
    std::int32_t bits = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, bits);
    if (error != std::errc() || stop != end) {
        throw CLI::ValidationError("--phase-bits", "needs a whole number of bits with --spectrum");
    }
    return bits;
}

// --spectrum and the options only it reads (--phase-bits is shared with the
// phase words).
void DefineSpectrumOptions(CLI::App& app, CommandLine& line, const std::array<CLI::Option*, 5>& others) {
    const auto [batch, sweep, details, csv, json] = others;
    CLI::Option* spectrum = app.add_flag(
        "--spectrum", line.spectrum,
        "Print what the output holds besides the wanted tone: images, harmonic aliases, truncation spurs and "
        "sinc droop, for --word or for the word the calculation gives");
    spectrum->excludes(batch)->excludes(sweep)->excludes(details);
    CLI::Option* options[] = {
        app.add_option("--harmonics", line.harmonics, "With --spectrum: the highest harmonic listed (default 7)"),
        app.add_option("--highest", line.highest, "With --spectrum: the highest frequency listed, MHz (default 3 clocks)")
            ->option_text("MHZ"),
        app.add_flag("--svg", line.svg, "With --spectrum: write the spectrum sketch as SVG"),
    };
    for (CLI::Option* option : options) option->needs(spectrum);
    options[2]->excludes(csv)->excludes(json);
}

void DefineOptions(CLI::App& app, CommandLine& line) {
    app.footer(kFooter);
    app.set_version_flag("--version", QUORVEL_DISPLAY_VERSION);
    CLI::Option* json = app.add_flag("--json", line.json, "Print the outcome as one JSON object");
    CLI::Option* batch = app.add_flag("--batch", line.batch,
                                      "Read JSON Lines of inputs on stdin, write one JSON line each");
    batch->excludes(json);
    CLI::Option* details = app.add_flag("--details", line.details,
                                        "Add what each word really gives: its exact output, its error and "
                                        "the exact nearest word");
    CLI::Option* word = app.add_option("--word", line.word,
                                       "Print what this tuning word gives with --clock and --bits (decimal, "
                                       "or hex after 0x), exactly; its error with --wanted")
                            ->option_text("WORD");
    word->excludes(batch)->excludes(details);
    CLI::Option* sweep =
        app.add_option("--sweep", line.sweep,
                       "Run once per wanted frequency FROM, FROM+STEP, ... up to TO (MHz, exact decimals), "
                       "one output row each")
            ->option_text("FROM:TO:STEP");
    sweep->excludes(batch)->excludes(json)->excludes(word);
    CLI::Option* csv =
        app.add_flag("--csv", line.csv, "With --sweep, --batch or --spectrum: write CSV (a header, then one row each)")
            ->excludes(json);
    const FirmwareOptions firmware = DefineFirmwareOptions(app, line.firmware);
    for (CLI::Option* option : firmware.all) option->excludes(batch)->excludes(sweep)->excludes(details);
    firmware.exact->excludes(word);
    DefineSpectrumOptions(app, line, {batch, sweep, details, csv, json});
    for (const InputOption& input : kInputOptions) {
        CLI::Option* option = app.add_option(input.name, line.*input.text, InputHelp(input))->option_text("TEXT");
        batch->excludes(option);
        if (input.field == Field::kFerror) {
            word->excludes(option);
            for (CLI::Option* firmware_option : firmware.all) firmware_option->excludes(option);
        }
        if (input.field == Field::kFwanted) sweep->excludes(option);
        if (input.field == Field::kBitSize) firmware.modulus->excludes(option);
    }
}

bool WantsFirmware(const CommandLine& line) {
    const cli::FirmwareRequest& f = line.firmware;
    return f.registers || f.phase || f.phase_word || f.modulus || f.exact || f.is_signed || f.emit;
}

// The input fields given on the command line, in window order.
std::vector<cli::InputArgument> GivenInputs(CommandLine& line) {
    std::vector<cli::InputArgument> inputs;
    for (const InputOption& input : kInputOptions) {
        if (std::optional<std::string>& text = line.*input.text) {
            inputs.push_back({input.field, input.name, std::move(*text)});
        }
    }
    return inputs;
}

cli::RowFormat RowFormat(const CommandLine& line) {
    return line.csv ? cli::RowFormat::kCsv : cli::RowFormat::kJsonLines;
}

cli::SingleRunRequest SingleRun(CommandLine& line) {
    cli::SingleRunRequest request;
    request.json = line.json;
    request.details = line.details;
    request.inputs = GivenInputs(line);
    return request;
}

cli::WordQueryRequest WordQuery(CommandLine& line) {
    cli::WordQueryRequest request;
    request.word = std::move(*line.word);
    request.json = line.json;
    request.inputs = GivenInputs(line);
    return request;
}

cli::FirmwareRequest Firmware(CommandLine& line) {
    cli::FirmwareRequest request = std::move(line.firmware);
    request.word = std::move(line.word);
    request.json = line.json;
    request.inputs = GivenInputs(line);
    return request;
}

cli::SpectrumCliRequest SpectrumRun(CommandLine& line) {
    cli::SpectrumCliRequest request;
    request.inputs = GivenInputs(line);
    request.word = std::move(line.word);
    request.phase_bits = line.phase_bits;
    request.harmonics = line.harmonics;
    request.highest = std::move(line.highest);
    request.format = line.json  ? cli::SpectrumFormat::kJson
                     : line.csv ? cli::SpectrumFormat::kCsv
                     : line.svg ? cli::SpectrumFormat::kSvg
                                : cli::SpectrumFormat::kText;
    return request;
}

cli::SweepRequest Sweep(CommandLine& line) {
    cli::SweepRequest request;
    request.sweep = std::move(*line.sweep);
    request.inputs = GivenInputs(line);
    request.format = RowFormat(line);
    request.details = line.details;
    return request;
}

}  // namespace

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    // Reading a batch line must not flush the output each time.
    std::cin.tie(nullptr);

    CLI::App app{"Runs the DDS tuning-word calculation of the Quorvel window on its initial texts "
                 "apart from the fields given: once, once per batch line, or once per sweep row."};
    CommandLine line;
    DefineOptions(app, line);
    try {
        app.parse(argc, argv);
        if (line.csv && !line.sweep && !line.batch && !line.spectrum) {
            throw CLI::ValidationError("--csv", "needs --sweep, --batch or --spectrum");
        }
        const cli::FirmwareRequest& firmware = line.firmware;
        if (firmware.phase_bits && !firmware.phase && !firmware.phase_word && !line.spectrum) {
            throw CLI::ValidationError("--phase-bits", "needs --phase, --phase-word or --spectrum");
        }
        if (line.spectrum && firmware.phase_bits) line.phase_bits = SpectrumPhaseBits(*firmware.phase_bits);
        if (line.spectrum && WantsFirmware(line)) {
            throw CLI::ValidationError("--spectrum", "cannot be combined with the firmware options");
        }
    } catch (const CLI::ParseError& error) {
        return app.exit(error) == 0 ? cli::kExitOk : cli::kExitInvalidInput;
    }

    // A read error (or memory running out while a line is read) must end the
    // batch with a report, not look like the end of the input.
    std::cin.exceptions(std::ios::badbit);
    return cli::RunToTheEnd(
        [&] {
            if (line.batch) {
                const cli::BatchOptions options{.format = RowFormat(line), .details = line.details};
                return cli::RunBatch(std::cin, std::cout, options) ? cli::kExitOk : cli::kExitInvalidInput;
            }
            if (line.sweep) return cli::RunSweep(Sweep(line), std::cout, std::cerr);
            if (line.spectrum) return cli::RunSpectrum(SpectrumRun(line), std::cout, std::cerr);
            if (WantsFirmware(line)) return cli::RunFirmware(Firmware(line), std::cout, std::cerr);
            if (line.word) return cli::RunWordQuery(WordQuery(line), std::cout, std::cerr);
            return cli::RunSingle(SingleRun(line), std::cout, std::cerr);
        },
        std::cout, std::cerr);
}
