#include "action/spectrum_view.h"

#include <string>
#include <variant>

namespace quorvel {
namespace {


// "+1", "-3", "7": images and spurs carry a side, harmonics a number.
std::string OrderText(const SpectrumLine& line) {
    const std::string number = std::to_string(line.order);
    return line.kind != SpectrumLineKind::kHarmonic && line.order > 0 ? "+" + number : number;
}

// "75 MHz (+75.000 0 MHz)"
std::string FrequencyText(const SpectrumFrequency& frequency) {
    return frequency.mhz + " MHz (" + frequency.glance + ")";
}

std::string LevelText(const SpectrumLine& line) {
    if (!line.level) return "level not known";
    std::string text = line.level->text + " dBc";
    if (line.kind == SpectrumLineKind::kTruncation) text.append(" (estimate)");
    return text;
}

void AppendTruncation(std::string& text, const SpectrumFigures& figures) {
    const SpectrumTruncation& truncation = figures.truncation;
    if (!truncation.largest_estimate) {
        text.append("Truncation: none (period ").append(truncation.period).append(")\n");
    } else {
        text.append("Truncation period ").append(truncation.period).append(" samples, ");
        text.append(truncation.spur_count).append(" distinct spurs; largest about ");
        text.append(truncation.largest_estimate->text).append(" dBc (estimate)\n");
    }
    if (truncation.square_like) {
        text.append("At 1 or 2 phase bits the output is close to a square wave: its own harmonics, "
                    "not the pair shown, are the strongest lines\n");
    }
    text.append("Spur-free word ").append(truncation.spur_free_word).append(": output ");
    text.append(FrequencyText(truncation.spur_free_frequency));
    text.append(", offset ").append(truncation.spur_free_offset_mhz).append(" MHz");
    const FrequencyFigures& exact = truncation.spur_free_figures;
    if (exact.error_hz) {
        text.append(", error ").append(*exact.error_hz).append(" Hz");
        if (exact.error_ppb) text.append(" (").append(*exact.error_ppb).append(" ppb)");
    }
    text.append("\n");
}

}  // namespace

std::string_view SpectrumLineKindName(SpectrumLineKind kind) {
    switch (kind) {
        case SpectrumLineKind::kImage:
            return "image";
        case SpectrumLineKind::kHarmonic:
            return "harmonic";
        case SpectrumLineKind::kTruncation:
            return "truncation";
    }
    return {};
}

std::string SpectrumText(const SpectrumFigures& figures) {
    std::string text = "Word " + figures.word + " of " + std::to_string(figures.bits) + " bits, clock " +
                       figures.clock.mhz + " MHz, phase " + std::to_string(figures.phase_bits) +
                       " bits, harmonics to " + std::to_string(figures.harmonics) + "\n";
    const SpectrumCarrier& carrier = figures.carrier;
    text.append("Carrier ").append(FrequencyText(carrier.frequency)).append(", Nyquist zone ");
    text.append(std::to_string(carrier.zone)).append(", sinc droop ").append(carrier.droop.text).append(" dB\n");
    AppendTruncation(text, figures);
    text.append("Lines from 0 to ").append(figures.highest.mhz).append(" MHz:");
    for (const SpectrumLine& line : figures.lines) {
        text.append("\n").append(SpectrumLineKindName(line.kind)).append(" ").append(OrderText(line)).append("  ");
        text.append(FrequencyText(line.frequency)).append("  ").append(LevelText(line));
        text.append("  offset ").append(line.offset_mhz).append(" MHz");
    }
    return text;
}

std::optional<SpectrumSubject> SpectrumSubjectOf(Field field, const RunFigures& figures,
                                                 const WrittenFields& written, std::int32_t bits) {
    std::string heading = WordFieldHeading(field, figures, written);
    if (heading.empty()) return std::nullopt;
    const bool corrected = field == Field::kNewN || field == Field::kNewNhex;
    const WordFigures& word = corrected ? *figures.corrected : *figures.ideal;
    return SpectrumSubject{std::move(heading), word.word, corrected ? figures.inferred_clock : figures.entered_clock,
                           bits, figures.wanted};
}

SpectrumView ViewSpectrum(const SpectrumSubject& subject, std::int32_t phase_bits, std::int32_t harmonics,
                          SvgTheme theme) {
    SpectrumRequest request{.clock = subject.clock,
                            .bits = subject.bits,
                            .word = subject.word,
                            .phase_bits = phase_bits == 0 ? subject.bits : phase_bits,
                            .harmonics = harmonics,
                            .highest = std::nullopt,
                            .wanted = subject.wanted};
    const auto result = Spectrum(request);
    SpectrumView view{"Spectrum of " + subject.heading, {}, {}, {}};
    if (const auto* fault = std::get_if<SpectrumFault>(&result)) {
        view.figures = SpectrumFaultText(*fault);
        return view;
    }
    const auto& figures = std::get<SpectrumFigures>(result);
    view.figures = SpectrumText(figures);
    view.svg = SpectrumSvg(figures, theme);
    view.alternative = SpectrumAlternative(figures);
    return view;
}

}  // namespace quorvel
