#include "cli/details.h"

#include <array>
#include <optional>
#include <ostream>
#include <string_view>

namespace quorvel::cli {
namespace {

// The figures are plain ASCII digits, signs, points and "e": no escaping.
void AppendString(std::string& line, const std::string& text) { line.append("\"").append(text).append("\""); }

void AppendOptional(std::string& line, const std::optional<std::string>& text) {
    if (text) {
        AppendString(line, *text);
    } else {
        line.append("null");
    }
}

// "output_hz":...,"error_hz":...,"error_ppb":... (all null without figures)
void AppendFrequencyMembers(std::string& line, const std::optional<FrequencyFigures>& figures) {
    line.append("\"output_hz\":");
    AppendOptional(line, figures ? std::optional(figures->output_hz) : std::nullopt);
    line.append(",\"error_hz\":");
    AppendOptional(line, figures ? figures->error_hz : std::nullopt);
    line.append(",\"error_ppb\":");
    AppendOptional(line, figures ? figures->error_ppb : std::nullopt);
}

void AppendWord(std::string& line, const std::optional<WordFigures>& word) {
    if (!word) {
        line.append("null");
        return;
    }
    line.append("{\"word\":");
    AppendString(line, word->word);
    line.push_back(',');
    AppendFrequencyMembers(line, word->produced);
    line.append(",\"exact\":");
    if (const auto* check = std::get_if<CrossCheck>(&word->cross_check)) {
        line.append("{\"word\":");
        AppendString(line, check->word);
        line.append(",\"steps\":");
        AppendString(line, check->steps);
        line.push_back(',');
        AppendFrequencyMembers(line, check->figures);
        line.push_back('}');
    } else {
        line.append("null");
    }
    line.push_back('}');
}

void WritePlainWord(std::string_view heading, const std::optional<WordFigures>& word, std::ostream& out) {
    out << heading;
    if (!word) {
        out << " not reached\n";
        return;
    }
    out << '\n';
    const std::string text = WordFiguresText(*word);
    std::string_view rest = text;
    while (!rest.empty()) {
        const std::size_t end = rest.find('\n');
        out << "  " << rest.substr(0, end) << '\n';
        rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
    }
}

}  // namespace

void AppendDetailsJson(std::string& line, const RunFigures& figures) {
    line.append("{\"N\":");
    AppendWord(line, figures.ideal);
    line.append(",\"N2\":");
    AppendWord(line, figures.corrected);
    line.push_back('}');
}

void WritePlainDetails(const RunFigures& figures, std::ostream& out) {
    out << '\n';
    WritePlainWord("N (Nideal, Nhex):", figures.ideal, out);
    WritePlainWord("N2 (NewN, NewNhex):", figures.corrected, out);
}

namespace {

constexpr std::array<std::string_view, 2> kWordNames = {"N", "N2"};
constexpr std::array<std::string_view, 4> kWordColumns = {"word", "output_hz", "error_hz", "error_ppb"};
constexpr std::array<std::string_view, 5> kExactColumns = {"word", "steps", "output_hz", "error_hz", "error_ppb"};
static_assert(kDetailsCsvColumns == kWordNames.size() * (kWordColumns.size() + kExactColumns.size()));

void AppendColumn(std::string& row, const std::optional<std::string>& figure) {
    row.push_back(',');
    if (figure) row.append(*figure);  // digits, signs, points and "e": never quoted
}

void AppendFrequencyColumns(std::string& row, const std::optional<FrequencyFigures>& figures) {
    AppendColumn(row, figures ? std::optional(figures->output_hz) : std::nullopt);
    AppendColumn(row, figures ? figures->error_hz : std::nullopt);
    AppendColumn(row, figures ? figures->error_ppb : std::nullopt);
}

void AppendWordColumns(std::string& row, const std::optional<WordFigures>& word) {
    AppendColumn(row, word ? std::optional(word->word) : std::nullopt);
    AppendFrequencyColumns(row, word ? std::optional<FrequencyFigures>(word->produced) : std::nullopt);
    const CrossCheck* check = word ? std::get_if<CrossCheck>(&word->cross_check) : nullptr;
    AppendColumn(row, check ? std::optional(check->word) : std::nullopt);
    AppendColumn(row, check ? std::optional(check->steps) : std::nullopt);
    AppendFrequencyColumns(row, check ? check->figures : std::nullopt);
}

}  // namespace

void AppendDetailsCsvHeader(std::string& row) {
    for (std::string_view word : kWordNames) {
        for (std::string_view column : kWordColumns) row.append(",").append(word).append(".").append(column);
        for (std::string_view column : kExactColumns) {
            row.append(",").append(word).append(".exact.").append(column);
        }
    }
}

void AppendDetailsCsv(std::string& row, const RunFigures& figures) {
    AppendWordColumns(row, figures.ideal);
    AppendWordColumns(row, figures.corrected);
}

}  // namespace quorvel::cli
