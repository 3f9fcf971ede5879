#include "cli/spectrum.h"

#include <ostream>
#include <utility>
#include <variant>

#include <nlohmann/json.hpp>

#include "action/calculate_action.h"
#include "action/spectrum_svg.h"
#include "action/spectrum_view.h"
#include "action/word_details.h"
#include "cli/csv.h"
#include "cli/exit_status.h"
#include "cli/outcome_text.h"
#include "cli/word_query.h"
#include "core/exact_figures.h"
#include "core/number_text.h"
#include "core/run_error.h"
#include "core/tuning_word.h"
#include "core/utf16.h"

namespace quorvel::cli {
namespace {

constexpr std::string_view kCsvLineEnd = "\r\n";

// The word and what its spectrum is taken against.
struct Subject {
    std::string word;
    double clock = 0;
    std::int32_t bits = 0;
    std::optional<double> wanted;
};

// Why no subject: the exit status, its message already written.
using SubjectOrExit = std::variant<Subject, int>;

// --word: the width and clock read as the Calculate action reads them.
SubjectOrExit GivenWord(const SpectrumCliRequest& request, const FieldTexts& fields, std::ostream& err) {
    const std::optional<std::u16string> word = Utf8ToUtf16(*request.word);
    if (!word) {
        err << "quorvel-calc: the text given to --word is not valid UTF-8\n";
        return kExitInvalidInput;
    }
    Subject subject;
    try {
        subject.bits = ReadBitSize(fields[Field::kBitSize]);
        subject.clock = Hertz(fields[Field::kFclock]);
        if (!fields[Field::kFwanted].empty()) subject.wanted = Hertz(fields[Field::kFwanted]);
    } catch (const RunTimeError& error) {
        err << ErrorLine(error.kind()) << '\n';
        return kExitRunTimeError;
    }
    const auto typed = WordFigureCalculator(ShortForms::kOmitted).Typed(*word, subject.clock, subject.bits, std::nullopt);
    if (const auto* fault = std::get_if<WordTextFault>(&typed)) {
        err << WordFaultMessage(*fault, *request.word, subject.bits) << '\n';
        return kExitInvalidInput;
    }
    subject.word = std::get<WordQueryFigures>(typed).word;
    return subject;
}

// Without --word: N as the Calculate action computes it.
SubjectOrExit CalculatedWord(FieldTexts fields, std::ostream& err) {
    WordFigureCalculator calculator(ShortForms::kOmitted);
    const DetailedOutcome run = RunActionWithFigures(std::move(fields), calculator);
    if (!run.figures.ideal) {
        err << ErrorLine(run.outcome.error.value_or(ErrorKind::kTypeMismatch)) << '\n';
        return kExitRunTimeError;
    }
    return Subject{run.figures.ideal->word, run.figures.entered_clock, run.outcome.variables.Bits,
                   run.figures.wanted};
}


void WriteJson(const SpectrumFigures& figures, std::ostream& out) {
    nlohmann::ordered_json lines = nlohmann::ordered_json::array();
    for (const SpectrumLine& line : figures.lines) {
        nlohmann::ordered_json object = {{"kind", SpectrumLineKindName(line.kind)},
                                         {"order", line.order},
                                         {"frequency_mhz", line.frequency.mhz}};
        if (line.level) object["level_dbc"] = line.level->text;
        if (line.kind == SpectrumLineKind::kTruncation) object["level_is_estimate"] = true;
        object["offset_mhz"] = line.offset_mhz;
        lines.push_back(std::move(object));
    }
    nlohmann::ordered_json truncation = {{"period", figures.truncation.period},
                                         {"spur_count", figures.truncation.spur_count},
                                         {"spur_free_word", figures.truncation.spur_free_word},
                                         {"spur_free_frequency_mhz", figures.truncation.spur_free_frequency.mhz}};
    if (figures.truncation.largest_estimate) {
        truncation["largest_estimate_dbc"] = figures.truncation.largest_estimate->text;
    }
    const nlohmann::ordered_json object = {
        {"clock_mhz", figures.clock.mhz},
        {"bits", figures.bits},
        {"word", figures.word},
        {"phase_bits", figures.phase_bits},
        {"carrier",
         {{"frequency_mhz", figures.carrier.frequency.mhz},
          {"zone", figures.carrier.zone},
          {"droop_db", figures.carrier.droop.text}}},
        {"truncation", std::move(truncation)},
        {"lines", std::move(lines)},
    };
    out << JsonLine(object) << '\n';
}

void WriteCsv(const SpectrumFigures& figures, std::ostream& out) {
    std::string rows = "kind,order,frequency_mhz,level_dbc,level_note,offset_mhz";
    rows.append(kCsvLineEnd);
    for (const SpectrumLine& line : figures.lines) {
        AppendCsvField(rows, SpectrumLineKindName(line.kind));
        rows.append(",").append(std::to_string(line.order)).append(",");
        AppendCsvField(rows, line.frequency.mhz);
        rows.append(",");
        if (line.level) AppendCsvField(rows, line.level->text);
        rows.append(",");
        if (!line.level) rows.append("not known");
        if (line.kind == SpectrumLineKind::kTruncation) rows.append("estimate");
        rows.append(",");
        AppendCsvField(rows, line.offset_mhz);
        rows.append(kCsvLineEnd);
    }
    out << rows;
}

void Write(const SpectrumFigures& figures, SpectrumFormat format, std::ostream& out) {
    switch (format) {
        case SpectrumFormat::kText:
            out << SpectrumText(figures) << '\n';
            return;
        case SpectrumFormat::kJson:
            WriteJson(figures, out);
            return;
        case SpectrumFormat::kCsv:
            WriteCsv(figures, out);
            return;
        case SpectrumFormat::kSvg:
            out << SpectrumSvg(figures);
            return;
    }
}

}  // namespace

int RunSpectrum(const SpectrumCliRequest& request, std::ostream& out, std::ostream& err) {
    FieldTexts fields;
    if (!SetInputTexts(request.inputs, fields, err)) return kExitInvalidInput;
    // Without --wanted, a given word's spur-free neighbour has no error to show.
    bool wanted_given = false;
    for (const InputArgument& input : request.inputs) wanted_given = wanted_given || input.field == Field::kFwanted;
    if (request.word && !wanted_given) fields.SetText(Field::kFwanted, u"");

    const SubjectOrExit found = request.word ? GivenWord(request, fields, err) : CalculatedWord(fields, err);
    if (const int* status = std::get_if<int>(&found)) return *status;
    const Subject& subject = std::get<Subject>(found);

    SpectrumRequest spectrum{.clock = subject.clock,
                             .bits = subject.bits,
                             .word = subject.word,
                             .phase_bits = request.phase_bits.value_or(subject.bits),
                             .harmonics = request.harmonics,
                             .highest = std::nullopt,
                             .wanted = subject.wanted};
    if (request.highest) {
        const std::optional<std::u16string> text = Utf8ToUtf16(*request.highest);
        try {
            if (!text) throw RunTimeError(ErrorKind::kTypeMismatch);
            spectrum.highest = Hertz(*text);
        } catch (const RunTimeError&) {
            err << "quorvel-calc: --highest needs a frequency in MHz\n";
            return kExitInvalidInput;
        }
    }
    const auto result = Spectrum(spectrum);
    if (const auto* fault = std::get_if<SpectrumFault>(&result)) {
        err << "quorvel-calc: " << SpectrumFaultText(*fault) << '\n';
        return kExitInvalidInput;
    }
    Write(std::get<SpectrumFigures>(result), request.format, out);
    return kExitOk;
}

}  // namespace quorvel::cli
