#include "cli/firmware.h"

#include <algorithm>
#include <charconv>
#include <ostream>
#include <utility>
#include <variant>

#include <fmt/format.h>
#include <nlohmann/json.hpp>

#include "action/constant_text.h"
#include "cli/exit_status.h"
#include "cli/outcome_text.h"
#include "core/modulus.h"
#include "core/number_text.h"
#include "core/phase_word.h"
#include "core/register_layout.h"
#include "core/run_error.h"
#include "core/utf16.h"

namespace quorvel::cli {
namespace {

constexpr int kBitsPerByte = 8;
constexpr int kBitsPerHexDigit = 4;
constexpr std::uint64_t kByteMask = 0xFF;

// A reason to stop with exit status 2; the message goes to stderr as it is.
struct Invalid {
    std::string message;
};

std::u16string Utf16(const std::string& text, std::string_view option) {
    std::optional<std::u16string> converted = Utf8ToUtf16(text);
    if (!converted) throw Invalid{"the text given to " + std::string(option) + " is not valid UTF-8"};
    return std::move(*converted);
}

std::optional<std::u16string> Utf16(const std::optional<std::string>& text, std::string_view option) {
    if (!text) return std::nullopt;
    return Utf16(*text, option);
}

// Everything worked out, before anything is written.
struct FirmwareResult {
    AccumulatorWord word;
    std::optional<PhaseWord> phase;
    std::int32_t phase_bits = 0;
    std::vector<RegisterWrite> writes;
    std::optional<std::string> emitted;
};

AccumulatorRequest Accumulator(const FirmwareRequest& request) {
    AccumulatorRequest accumulator;
    accumulator.clock = InitialText(Field::kFclock);
    std::u16string bits{InitialText(Field::kBitSize)};
    std::optional<std::u16string> wanted;
    for (const InputArgument& input : request.inputs) {
        std::u16string text = Utf16(input.text, input.option);
        if (input.field == Field::kBitSize) bits = std::move(text);
        if (input.field == Field::kFclock) accumulator.clock = std::move(text);
        if (input.field == Field::kFwanted) wanted = std::move(text);
    }
    accumulator.modulus = Utf16(request.modulus, "--modulus");
    // The width is read as the window reads it; a modulus takes its place.
    if (!accumulator.modulus) accumulator.bits = ReadBitSize(bits);
    accumulator.word = Utf16(request.word, "--word");
    if (!accumulator.word) accumulator.wanted = wanted ? std::move(wanted) : std::u16string(InitialText(Field::kFwanted));
    accumulator.is_signed = request.is_signed;
    accumulator.fraction = request.exact;
    if (request.max_denominator) accumulator.max_denominator = Utf16(*request.max_denominator, "--max-denominator");
    return accumulator;
}

std::int32_t PhaseBits(const std::string& text) {
    std::int32_t bits = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), bits);
    if (error != std::errc() || end != text.data() + text.size() || bits < 1 || bits > kMaxPhaseBits) {
        throw Invalid{"--phase-bits must be a whole number from 1 to 64"};
    }
    return bits;
}

std::optional<PhaseWord> Phase(const FirmwareRequest& request, std::int32_t bits) {
    if (!request.phase && !request.phase_word) return std::nullopt;
    const std::variant<PhaseWord, PhaseFault> phase =
        request.phase ? PhaseWordOfAngle(Utf16(*request.phase, "--phase"), bits)
                      : PhaseOfWord(Utf16(*request.phase_word, "--phase-word"), bits);
    if (const auto* fault = std::get_if<PhaseFault>(&phase)) throw Invalid{PhaseFaultText(*fault, bits)};
    return std::get<PhaseWord>(phase);
}

std::string HexDigits(const std::string& literal) { return literal.substr(2); }

std::vector<RegisterWrite> Writes(const std::string& layout, const FirmwareResult& result) {
    LayoutWords words{{HexDigits(result.word.hex), result.word.register_bits}, std::nullopt};
    if (result.phase) words.p = LayoutWord{HexDigits(result.phase->hex), result.phase_bits};
    std::variant<std::vector<RegisterWrite>, LayoutError> writes = EvaluateLayout(layout, words);
    if (const auto* error = std::get_if<LayoutError>(&writes)) {
        throw Invalid{"--registers: position " + std::to_string(error->position) + ": " + error->reason};
    }
    return std::get<std::vector<RegisterWrite>>(std::move(writes));
}

std::string WriteHex(const RegisterWrite& write) {
    return fmt::format("0x{:0{}X}", write.value, (write.width + kBitsPerHexDigit - 1) / kBitsPerHexDigit);
}

// The write's bytes, in the order asked for.
std::vector<std::string> Bytes(const RegisterWrite& write, const std::string& order) {
    const int count = (write.width + kBitsPerByte - 1) / kBitsPerByte;
    std::vector<std::string> bytes;
    for (int i = 0; i < count; ++i) {
        const int byte = order == "lsb" ? i : count - 1 - i;
        bytes.push_back(fmt::format("0x{:02X}", (write.value >> (byte * kBitsPerByte)) & kByteMask));
    }
    return bytes;
}

// The write's bits in the order they are shifted in.
std::string SerialBits(const RegisterWrite& write, const std::string& order) {
    std::string bits = fmt::format("{:0{}b}", write.value, write.width);
    if (order == "lsb") std::reverse(bits.begin(), bits.end());
    return bits;
}

// "19010416.6666667 Hz = 57031250/3 Hz" or "1440000 Hz".
std::string Figure(const ExactNumber& number, const char* unit) {
    std::string text = number.decimal + " " + unit;
    if (number.fraction) text += std::string(" = ") + *number.fraction + " " + unit;
    return text;
}

// "19010416.6666667 = 57031250/3" or "1440000": a comment adds the unit.
std::string Bare(const ExactNumber& number) {
    return number.fraction ? number.decimal + " = " + *number.fraction : number.decimal;
}

std::string Accumulated(const FirmwareRequest& request, const AccumulatorWord& word) {
    if (request.modulus) return "modulus " + word.modulus;
    return std::to_string(word.register_bits) + " bits";
}

std::string WordLabel(const AccumulatorWord& word) {
    std::string label = word.word;
    if (word.numerator) label += " + " + *word.numerator + "/" + *word.denominator;
    if (word.signed_word) label += " (signed " + *word.signed_word + ")";
    return label;
}

std::string ConstantName(const FirmwareRequest& request, ConstantLanguage language, const std::string& suffix) {
    const std::string name = request.name.value_or(std::string(kDefaultConstantName)) + suffix;
    if (!IsConstantName(name, language)) {
        throw Invalid{"--name: \"" + name + "\" is not an identifier of " + *request.emit};
    }
    return name;
}

std::string Line(const Constant& constant, ConstantLanguage language) {
    std::optional<std::string> line = ConstantLine(constant, language);
    if (!line) throw Invalid{"--emit c: no C integer constant holds " + std::to_string(constant.bits) + " bits"};
    return *line + "\n";
}

std::string Emitted(const FirmwareRequest& request, const FirmwareResult& result) {
    const std::optional<ConstantLanguage> language = ConstantLanguageNamed(*request.emit);
    if (!language) throw Invalid{"--emit must be c, python, verilog or vhdl"};
    const AccumulatorWord& word = result.word;
    WordComment comment{WordLabel(word), Bare(word.output_hz), word.clock_mhz, Accumulated(request, word),
                        std::nullopt, std::nullopt};
    if (word.error_hz) comment.error_hz = Bare(*word.error_hz);
    if (word.error_ppb) comment.error_ppb = word.error_ppb->decimal;
    std::string text = Line({ConstantName(request, *language, ""), word.register_bits, HexDigits(word.hex),
                             WordCommentText(comment)},
                            *language);
    if (result.phase) {
        std::string phase_comment = result.phase->word + ": " + result.phase->degrees + " degrees at " +
                                    std::to_string(result.phase_bits) + " bits";
        if (result.phase->error) phase_comment += ", error " + *result.phase->error + " degrees";
        text += Line({ConstantName(request, *language, "_PHASE"), result.phase_bits, HexDigits(result.phase->hex),
                      phase_comment},
                     *language);
    }
    for (std::size_t i = 0; i < result.writes.size(); ++i) {
        const RegisterWrite& write = result.writes[i];
        const std::string number = std::to_string(i + 1);
        text += Line({ConstantName(request, *language, "_WRITE" + number), write.width,
                      fmt::format("{:X}", write.value),
                      "write " + number + " of " + std::to_string(result.writes.size()) + ", " +
                          std::to_string(write.width) + " bits"},
                     *language);
    }
    return text;
}

FirmwareResult Work(const FirmwareRequest& request) {
    FirmwareResult result;
    const std::variant<AccumulatorWord, AccumulatorFault> word = AccumulatorWordOf(Accumulator(request));
    if (const auto* fault = std::get_if<AccumulatorFault>(&word)) throw Invalid{AccumulatorFaultText(*fault)};
    result.word = std::get<AccumulatorWord>(word);
    if (request.phase_bits) result.phase_bits = PhaseBits(*request.phase_bits);
    result.phase = Phase(request, result.phase_bits);
    if (request.registers) result.writes = Writes(*request.registers, result);
    if (request.emit) result.emitted = Emitted(request, result);
    return result;
}

void WritePlain(const FirmwareRequest& request, const FirmwareResult& result, std::ostream& out) {
    const AccumulatorWord& word = result.word;
    out << "Word " << word.word << " (" << word.hex << ")\n";
    if (word.signed_word) out << "Signed " << *word.signed_word << '\n';
    if (word.numerator) {
        out << "Fraction " << *word.numerator << '/' << *word.denominator
            << (word.exact ? " (exact)\n" : " (the nearest within the largest denominator; not exact)\n");
    }
    if (request.modulus) out << "Modulus " << word.modulus << '\n';
    out << "Output " << Figure(word.output_hz, "Hz") << '\n';
    if (word.error_hz) {
        out << "Error " << Figure(*word.error_hz, "Hz");
        if (word.error_ppb) out << " (" << Figure(*word.error_ppb, "ppb") << ')';
        out << '\n';
    }
    if (result.phase) {
        out << "Phase word " << result.phase->word << " (" << result.phase->hex << "), " << result.phase_bits
            << " bits\nPhase " << result.phase->degrees << " degrees\n";
        if (result.phase->error) out << "Phase error " << *result.phase->error << " degrees\n";
    }
    for (std::size_t i = 0; i < result.writes.size(); ++i) {
        const RegisterWrite& write = result.writes[i];
        out << "Write " << i + 1 << ": " << WriteHex(write) << ' ' << write.value << " (" << write.width
            << " bits)\n";
        if (request.bytes) {
            out << "  Bytes, " << (*request.bytes == "lsb" ? "least" : "most") << " significant first:";
            for (const std::string& byte : Bytes(write, *request.bytes)) out << ' ' << byte;
            out << '\n';
        }
        if (request.bits_order) {
            out << "  Bits, " << (*request.bits_order == "lsb" ? "least" : "most")
                << " significant first: " << SerialBits(write, *request.bits_order) << '\n';
        }
    }
}

nlohmann::ordered_json OrNull(const std::optional<std::string>& text) {
    return text ? nlohmann::ordered_json(*text) : nlohmann::ordered_json(nullptr);
}

void AddFigure(nlohmann::ordered_json& object, const std::string& key, const std::optional<ExactNumber>& number) {
    object[key] = number ? nlohmann::ordered_json(number->decimal) : nlohmann::ordered_json(nullptr);
    object[key + "_fraction"] = number ? OrNull(number->fraction) : nlohmann::ordered_json(nullptr);
}

void WriteJson(const FirmwareRequest& request, const FirmwareResult& result, std::ostream& out) {
    const AccumulatorWord& word = result.word;
    nlohmann::ordered_json object = {
        {"word", word.word},
        {"hex", word.hex},
        {"register_bits", word.register_bits},
        {"modulus", word.modulus},
        {"signed", OrNull(word.signed_word)},
        {"fraction", nullptr},
    };
    if (word.numerator) {
        object["fraction"] = {{"numerator", *word.numerator}, {"denominator", *word.denominator}, {"exact", word.exact}};
    }
    AddFigure(object, "output_hz", word.output_hz);
    AddFigure(object, "error_hz", word.error_hz);
    AddFigure(object, "error_ppb", word.error_ppb);
    object["phase"] = nullptr;
    if (result.phase) {
        object["phase"] = {{"word", result.phase->word},      {"hex", result.phase->hex},
                           {"bits", result.phase_bits},       {"degrees", result.phase->degrees},
                           {"error_degrees", OrNull(result.phase->error)}};
    }
    object["writes"] = nullptr;
    if (request.registers) {
        object["writes"] = nlohmann::ordered_json::array();
        for (const RegisterWrite& write : result.writes) {
            nlohmann::ordered_json entry = {{"width", write.width},
                                            {"hex", WriteHex(write)},
                                            {"value", std::to_string(write.value)},
                                            {"bytes", nullptr},
                                            {"bits", nullptr}};
            if (request.bytes) entry["bytes"] = Bytes(write, *request.bytes);
            if (request.bits_order) entry["bits"] = SerialBits(write, *request.bits_order);
            object["writes"].push_back(std::move(entry));
        }
    }
    object["emit"] = OrNull(result.emitted);
    out << JsonLine(object) << '\n';
}

}  // namespace

int RunFirmware(const FirmwareRequest& request, std::ostream& out, std::ostream& err) {
    FirmwareResult result;
    try {
        result = Work(request);
    } catch (const RunTimeError& error) {
        err << ErrorLine(error.kind()) << '\n';
        return kExitRunTimeError;
    } catch (const Invalid& invalid) {
        err << "quorvel-calc: " << invalid.message << '\n';
        return kExitInvalidInput;
    }
    if (request.json) {
        WriteJson(request, result, out);
    } else if (result.emitted) {
        out << *result.emitted;
    } else {
        WritePlain(request, result, out);
    }
    return kExitOk;
}

}  // namespace quorvel::cli
