#include "action/spectrum_svg.h"

#include <algorithm>
#include <array>
#include <utility>
#include <cmath>
#include <cstddef>
#include <numbers>
#include <string_view>
#include <vector>

#include <fmt/format.h>

namespace quorvel {
namespace {

// The plot area inside the 600 x 300 sketch: rows of labels above it, the
// level axis to its left, the frequency axis and the legend below it.
constexpr double kPlotLeft = 52;
constexpr double kPlotRight = 588;
constexpr double kPlotTop = 50;
constexpr double kPlotBottom = 246;
constexpr double kTickLabelBaseline = 260;
constexpr double kLegendBaseline = 288;
constexpr double kFontSize = 11;
// An estimate of the width of one character of the sketch's sans-serif face
// at kFontSize, on the wide side so that labels keep apart in any face.
constexpr double kCharacterWidth = 6.6;
constexpr double kLabelGap = 6;
constexpr std::array<double, 3> kLabelRows = {16, 30, 44};
constexpr int kEnvelopePoints = 268;
// Levels: at least 60 dB shown, in steps of 20 dB (wider steps beyond six).
constexpr double kMinimumSpan = 60;
constexpr double kLevelStep = 20;
constexpr int kMaxLevelTicks = 6;
// Nyquist boundaries closer than this many pixels are left undrawn.
constexpr double kMinBoundarySpacing = 4;
constexpr double kHarmonicMarkSize = 5;
// Lines come by frequency: a column already drawn is among the last few.
constexpr std::size_t kRecentColumns = 8;

struct Palette {
    std::string_view ground, text, grid, carrier, image, spur, harmonic, envelope;
};
// Each against its ground (WCAG contrast): text 16.5:1, grid 5.3:1,
// carrier 8.0:1, images 6.4:1, spurs 8.2:1, harmonics 6.6:1, envelope
// 7.0:1 (light); 14.1, 5.9, 8.2, 9.0, 8.4, 9.2, 7.7 to 1 (dark).
constexpr Palette kLight{"#ffffff", "#1f1f1f", "#6b6b6b", "#0a4fa0", "#a0410d", "#7b1fa2", "#1e6b24", "#595959"};
constexpr Palette kDark{"#1e1e1e", "#ececec", "#9a9a9a", "#8ab8ff", "#ffab70", "#e59cff", "#7ed486", "#b0b0b0"};

std::string Escaped(std::string_view text) {
    std::string escaped;
    for (char c : text) {
        if (c == '&') escaped += "&amp;";
        else if (c == '<') escaped += "&lt;";
        else if (c == '>') escaped += "&gt;";
        else if (c == '"') escaped += "&quot;";
        else escaped += c;
    }
    return escaped;
}

double Sinc(double x) {
    if (x == 0) return 1;
    const double angle = std::numbers::pi * x;
    return std::sin(angle) / angle;
}

// A frequency at a glance without its sign: "+75.000 0 MHz" -> "75.000 0 MHz".
std::string_view Unsigned(std::string_view glance) {
    if (!glance.empty() && glance.front() == '+') glance.remove_prefix(1);
    return glance;
}

// The level axis, from `bottom` to `top` dBc.
struct LevelAxis {
    double top = 0;
    double bottom = -kMinimumSpan;
    double step = kLevelStep;
};

LevelAxis AxisFor(const SpectrumFigures& figures) {
    double highest = 0, lowest = 0;
    for (const SpectrumLine& line : figures.lines) {
        if (!line.level) continue;
        highest = std::max(highest, line.level->db);
        lowest = std::min(lowest, line.level->db);
    }
    LevelAxis axis;
    axis.top = std::ceil(highest / kLevelStep) * kLevelStep;
    axis.bottom = std::min(axis.top - kMinimumSpan, std::floor((lowest - kLevelStep / 2) / kLevelStep) * kLevelStep);
    const double steps = (axis.top - axis.bottom) / kLevelStep;
    axis.step = kLevelStep * std::ceil(steps / kMaxLevelTicks);
    axis.bottom = axis.top - axis.step * std::ceil((axis.top - axis.bottom) / axis.step);
    return axis;
}

// A label placed in one of the rows above the plot.
struct Placed {
    double left, right;
    std::size_t row;
};

class Sketch {
public:
    Sketch(const SpectrumFigures& figures, SvgTheme theme)
        : figures_(figures), palette_(theme == SvgTheme::kDark ? kDark : kLight), axis_(AxisFor(figures)) {}

    std::string Draw() {
        Open();
        DrawLevelAxis();
        DrawBoundaries();
        DrawEnvelope();
        DrawLines();
        DrawLabels();
        DrawLegend();
        svg_ += "</svg>\n";
        return svg_;
    }

private:
    double X(double in_clocks) const {
        return kPlotLeft + (kPlotRight - kPlotLeft) * in_clocks / figures_.highest.in_clocks;
    }
    double Y(double dbc) const {
        const double clamped = std::clamp(dbc, axis_.bottom, axis_.top);
        return kPlotTop + (kPlotBottom - kPlotTop) * (axis_.top - clamped) / (axis_.top - axis_.bottom);
    }

    void Open() {
        svg_ += fmt::format(
            "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"{0}\" height=\"{1}\" viewBox=\"0 0 {0} {1}\" "
            "role=\"img\" aria-labelledby=\"SpectrumTitle SpectrumDesc\" font-family=\"sans-serif\" "
            "font-size=\"{2}\">\n",
            kSpectrumSvgWidth, kSpectrumSvgHeight, kFontSize);
        svg_ += fmt::format("<title id=\"SpectrumTitle\">Spectrum of word {}</title>\n", Escaped(figures_.word));
        svg_ += fmt::format("<desc id=\"SpectrumDesc\">{}</desc>\n", Escaped(SpectrumAlternative(figures_)));
        svg_ += fmt::format("<rect width=\"{}\" height=\"{}\" fill=\"{}\"/>\n", kSpectrumSvgWidth,
                            kSpectrumSvgHeight, palette_.ground);
    }

    void DrawLevelAxis() {
        for (double level = axis_.top; level >= axis_.bottom; level -= axis_.step) {
            const double y = Y(level);
            svg_ += fmt::format("<line x1=\"{:.1f}\" y1=\"{:.1f}\" x2=\"{:.1f}\" y2=\"{:.1f}\" stroke=\"{}\" "
                                "stroke-width=\"0.5\"/>\n",
                                kPlotLeft, y, kPlotRight, y, palette_.grid);
            svg_ += fmt::format("<text x=\"{:.1f}\" y=\"{:.1f}\" text-anchor=\"end\" fill=\"{}\">{:.0f}</text>\n",
                                kPlotLeft - 4, y + 4, palette_.text, level);
        }
        svg_ += fmt::format("<text x=\"4\" y=\"{:.1f}\" fill=\"{}\">dBc</text>\n", kPlotTop - 6, palette_.text);
        svg_ += fmt::format("<line x1=\"{0:.1f}\" y1=\"{1:.1f}\" x2=\"{2:.1f}\" y2=\"{1:.1f}\" stroke=\"{3}\"/>\n",
                            kPlotLeft, kPlotBottom, kPlotRight, palette_.text);
    }

    // Dashed lines at every multiple of half the clock; the multiples of the
    // clock named below the axis.
    void DrawBoundaries() {
        const double half_spacing = X(0.5) - X(0);
        if (half_spacing < kMinBoundarySpacing) return;
        const double label_spacing = X(1) - X(0);
        const auto count = static_cast<int>(std::floor(2 * figures_.highest.in_clocks));
        svg_ += fmt::format("<text x=\"{:.1f}\" y=\"{:.1f}\" text-anchor=\"middle\" fill=\"{}\">0</text>\n",
                            kPlotLeft, kTickLabelBaseline, palette_.text);
        for (int k = 1; k <= count; ++k) {
            const double x = X(k / 2.0);
            svg_ += fmt::format("<line x1=\"{0:.1f}\" y1=\"{1:.1f}\" x2=\"{0:.1f}\" y2=\"{2:.1f}\" stroke=\"{3}\" "
                                "stroke-dasharray=\"4 3\"/>\n",
                                x, kPlotTop, kPlotBottom, palette_.grid);
            const bool named = k % 2 == 0 && label_spacing >= 4 * kCharacterWidth * (k > 18 ? 2 : 1);
            if (named) {
                svg_ += fmt::format("<text x=\"{:.1f}\" y=\"{:.1f}\" text-anchor=\"middle\" fill=\"{}\">{}Fc</text>\n",
                                    x, kTickLabelBaseline, palette_.text, k == 2 ? "" : std::to_string(k / 2));
            }
        }
        svg_ += fmt::format("<text x=\"{:.1f}\" y=\"{:.1f}\" text-anchor=\"end\" fill=\"{}\">{} MHz</text>\n",
                            kPlotRight, kTickLabelBaseline + 12, palette_.text, Escaped(figures_.highest.mhz));
    }

    // 20 log10(|sinc(f/Fc)| / |sinc(f0/Fc)|) across the axis.
    void DrawEnvelope() {
        const double carrier = std::abs(Sinc(figures_.carrier.frequency.in_clocks));
        std::string points;
        for (int i = 0; i <= kEnvelopePoints; ++i) {
            const double f = figures_.highest.in_clocks * i / kEnvelopePoints;
            const double ratio = std::abs(Sinc(f)) / carrier;
            const double level = ratio > 0 ? 20 * std::log10(ratio) : axis_.bottom;
            points += fmt::format("{:.1f},{:.1f} ", X(f), Y(level));
        }
        svg_ += fmt::format("<polyline points=\"{}\" fill=\"none\" stroke=\"{}\" stroke-width=\"1\" "
                            "stroke-dasharray=\"1 2\"/>\n",
                            points, palette_.envelope);
    }

    std::string_view ColourOf(SpectrumLineKind kind) const {
        switch (kind) {
            case SpectrumLineKind::kImage:
                return palette_.image;
            case SpectrumLineKind::kHarmonic:
                return palette_.harmonic;
            case SpectrumLineKind::kTruncation:
                return palette_.spur;
        }
        return palette_.text;
    }

    void DrawStem(double x, double level, std::string_view colour, double width) {
        svg_ += fmt::format("<line x1=\"{0:.1f}\" y1=\"{1:.1f}\" x2=\"{0:.1f}\" y2=\"{2:.1f}\" stroke=\"{3}\" "
                            "stroke-width=\"{4}\"/>\n",
                            x, kPlotBottom, Y(level), colour, width);
    }

    // One stem per pixel column and kind, the strongest: a list of
    // thousands of images stays a sketch of a few hundred elements.
    void DrawLines() {
        std::vector<std::pair<long, SpectrumLineKind>> drawn;
        for (const SpectrumLine& line : figures_.lines) {
            const double x = X(line.frequency.in_clocks);
            const std::pair column{std::lround(x), line.kind};
            if (std::find(drawn.end() - static_cast<std::ptrdiff_t>(std::min<std::size_t>(drawn.size(), kRecentColumns)), drawn.end(), column) !=
                drawn.end()) {
                continue;
            }
            drawn.push_back(column);
            if (line.level) {
                DrawStem(x, line.level->db, ColourOf(line.kind), 2);
            } else {
                svg_ += fmt::format("<path d=\"M{:.1f} {:.1f}l{} {}h{}z\" fill=\"{}\"/>\n", x,
                                    kPlotBottom - kHarmonicMarkSize * 2, kHarmonicMarkSize, kHarmonicMarkSize * 2,
                                    -2 * kHarmonicMarkSize, palette_.harmonic);
            }
        }
        DrawStem(X(figures_.carrier.frequency.in_clocks), 0, palette_.carrier, 3);
    }

    // Labels in priority order: the carrier, then the lines by level, then
    // the harmonics; each in the first row where it overlaps no other, or
    // not at all.
    void DrawLabels() {
        std::vector<const SpectrumLine*> order;
        for (const SpectrumLine& line : figures_.lines) order.push_back(&line);
        std::stable_sort(order.begin(), order.end(), [](const SpectrumLine* a, const SpectrumLine* b) {
            const double la = a->level ? a->level->db : -HUGE_VAL;
            const double lb = b->level ? b->level->db : -HUGE_VAL;
            return la > lb;
        });
        Label(X(figures_.carrier.frequency.in_clocks), "f0 " + std::string(Unsigned(figures_.carrier.frequency.glance)),
              palette_.carrier);
        for (const SpectrumLine* line : order) {
            std::string text(Unsigned(line->frequency.glance));
            if (line->kind == SpectrumLineKind::kHarmonic) text = "H" + std::to_string(line->order) + " " + text;
            if (line->kind == SpectrumLineKind::kTruncation) text = "spur " + text;
            Label(X(line->frequency.in_clocks), text, ColourOf(line->kind));
        }
    }

    void Label(double x, const std::string& text, std::string_view colour) {
        const double width = kCharacterWidth * static_cast<double>(text.size());
        const double left = std::clamp(x - width / 2, 0.0, kSpectrumSvgWidth - width);
        for (std::size_t row = 0; row < kLabelRows.size(); ++row) {
            const bool free = std::none_of(placed_.begin(), placed_.end(), [&](const Placed& p) {
                return p.row == row && left < p.right + kLabelGap && p.left < left + width + kLabelGap;
            });
            if (!free) continue;
            placed_.push_back({left, left + width, row});
            svg_ += fmt::format("<text x=\"{:.1f}\" y=\"{:.1f}\" fill=\"{}\">{}</text>\n", left, kLabelRows[row],
                                colour, Escaped(text));
            return;
        }
    }

    void DrawLegend() {
        struct Entry {
            std::string_view text;
            std::string_view colour;
        };
        const Entry entries[] = {{"carrier", palette_.carrier},
                                 {"images", palette_.image},
                                 {"truncation spurs (estimate)", palette_.spur},
                                 {"harmonic aliases (level unknown)", palette_.harmonic},
                                 {"sinc envelope", palette_.envelope}};
        double x = 4;
        for (const Entry& entry : entries) {
            svg_ += fmt::format("<rect x=\"{:.1f}\" y=\"{:.1f}\" width=\"10\" height=\"4\" fill=\"{}\"/>\n", x,
                                kLegendBaseline - 5, entry.colour);
            svg_ += fmt::format("<text x=\"{:.1f}\" y=\"{:.1f}\" fill=\"{}\">{}</text>\n", x + 13, kLegendBaseline,
                                palette_.text, entry.text);
            x += 13 + kCharacterWidth * 0.85 * static_cast<double>(entry.text.size()) + 10;
        }
    }

    const SpectrumFigures& figures_;
    Palette palette_;
    LevelAxis axis_;
    std::vector<Placed> placed_;
    std::string svg_;
};

std::string_view KindWord(SpectrumLineKind kind) {
    switch (kind) {
        case SpectrumLineKind::kImage:
            return "image";
        case SpectrumLineKind::kHarmonic:
            return "harmonic alias";
        case SpectrumLineKind::kTruncation:
            return "truncation spur";
    }
    return {};
}

}  // namespace

std::string SpectrumSvg(const SpectrumFigures& figures, SvgTheme theme) { return Sketch(figures, theme).Draw(); }

std::string SpectrumAlternative(const SpectrumFigures& figures) {
    std::vector<const SpectrumLine*> known;
    std::size_t harmonics = 0;
    for (const SpectrumLine& line : figures.lines) {
        if (line.level) known.push_back(&line);
        else ++harmonics;
    }
    std::stable_sort(known.begin(), known.end(),
                     [](const SpectrumLine* a, const SpectrumLine* b) { return a->level->db > b->level->db; });
    std::string text = "Spectrum of word " + figures.word + " at clock " + figures.clock.mhz + " MHz: carrier " +
                       std::string(Unsigned(figures.carrier.frequency.glance)) + ", sinc droop " +
                       figures.carrier.droop.text + " dB";
    if (!known.empty()) text += "; strongest lines:";
    const std::size_t count = std::min<std::size_t>(known.size(), kAlternativeLines);
    for (std::size_t i = 0; i < count; ++i) {
        const SpectrumLine& line = *known[i];
        text += fmt::format("{} {} {} {} dBc{}", i == 0 ? "" : ",", KindWord(line.kind), Unsigned(line.frequency.glance),
                            line.level->text, line.kind == SpectrumLineKind::kTruncation ? " (estimate)" : "");
    }
    if (harmonics > 0) text += fmt::format("; {} harmonic aliases, level not known", harmonics);
    return text;
}

}  // namespace quorvel
