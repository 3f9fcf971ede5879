#include "core/spectrum.h"

#include <gmpxx.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <numbers>
#include <string_view>
#include <tuple>

#include <fmt/format.h>

#include "core/short_figure.h"

namespace quorvel {
namespace {

constexpr int kDecimalBase = 10;
constexpr int kDoubleMantissaBits = std::numeric_limits<double>::digits;
// Megahertz: hertz over 10^6.
constexpr std::int64_t kMegahertzDigits = 6;
// 20 log10(2): the decibels one more phase bit buys.
constexpr double kDecibelsPerPhaseBit = 6.0206;
constexpr double kDecibelsPerDecade = 20.0;

mp_bitcnt_t BitCount(std::int64_t bits) { return static_cast<mp_bitcnt_t>(bits); }

// A positive finite double as odd mantissa * 2^exponent.
struct Binary {
    mpz_class mantissa;
    std::int64_t exponent = 0;
};

Binary BinaryOf(double value) {
    int exponent = 0;
    const double fraction = std::frexp(value, &exponent);  // 0.5 <= fraction < 1 for a positive value
    // fraction * 2^53 is a whole number below 2^53: exact, and in range of int64.
    auto mantissa = static_cast<std::int64_t>(std::ldexp(fraction, kDoubleMantissaBits));
    std::int64_t binary_exponent = std::int64_t{exponent} - kDoubleMantissaBits;
    const int zeros = std::countr_zero(static_cast<std::uint64_t>(mantissa));
    mantissa >>= zeros;
    binary_exponent += zeros;
    Binary binary;
    // Not mpz_set_si: a long has 32 bits in WebAssembly; below 2^53 the double is exact.
    mpz_set_d(binary.mantissa.get_mpz_t(), static_cast<double>(mantissa));
    binary.exponent = binary_exponent;
    return binary;
}

// The decimal digits of |whole|.
std::string Digits(const mpz_class& whole) {
    mpz_class magnitude = abs(whole);
    return magnitude.get_str(kDecimalBase);
}

// value = whole / 10^shift written as a finite decimal, "-" for negatives,
// no trailing zeros after the point: (7278, 2) -> "72.78", (-612, 3) -> "-0.612".
std::string DecimalFigure(const mpz_class& whole, std::int64_t shift) {
    std::string digits = Digits(whole);
    const auto places = static_cast<std::size_t>(shift);
    if (digits.size() <= places) digits.insert(0, places + 1 - digits.size(), '0');
    std::string text = sgn(whole) < 0 ? "-" : "";
    text.append(digits, 0, digits.size() - places);
    std::string_view fraction = std::string_view(digits).substr(digits.size() - places);
    while (!fraction.empty() && fraction.back() == '0') fraction.remove_suffix(1);
    if (!fraction.empty()) text.append(".").append(fraction);
    return text;
}

// Frequencies counted in steps of clock / 2^bits, turned into text.
class StepScale {
public:
    StepScale(double clock, std::int32_t bits) : clock_(BinaryOf(clock)), bits_(bits) {
        // steps * mantissa * 2^(exponent - bits) hertz = whole / 10^shift megahertz
        const std::int64_t power = clock_.exponent - bits_;
        factor_ = clock_.mantissa;
        if (power >= 0) {
            mpz_mul_2exp(factor_.get_mpz_t(), factor_.get_mpz_t(), BitCount(power));
            shift_ = kMegahertzDigits;
        } else {
            mpz_class five;
            mpz_ui_pow_ui(five.get_mpz_t(), 5, static_cast<unsigned long>(-power));
            factor_ *= five;
            shift_ = kMegahertzDigits - power;
        }
    }

    std::string Mhz(const mpz_class& steps) const { return DecimalFigure(steps * factor_, shift_); }

    SpectrumFrequency Frequency(const mpz_class& steps) const {
        const mpz_class whole = steps * factor_;
        const std::string digits = Digits(whole);
        std::string_view leading = digits;
        while (leading.size() > 1 && leading.back() == '0') leading.remove_suffix(1);
        // whole / 10^shift MHz = 0.digits * 10^(size - shift + 6) Hz
        const LeadingDigits value{sgn(whole) < 0, sgn(whole) == 0 ? std::string_view() : leading,
                                  static_cast<std::int64_t>(digits.size()) - shift_ + kMegahertzDigits, false};
        return {DecimalFigure(whole, shift_), ShortFigure(value, "Hz"), InClocks(steps)};
    }

    double InClocks(const mpz_class& steps) const { return std::ldexp(steps.get_d(), -bits_); }

    // floor(hertz / step), for a positive finite double.
    mpz_class StepsBelow(double hertz) const {
        const Binary value = BinaryOf(hertz);
        // hertz / (clock / 2^bits) = m_h * 2^(e_h + bits - e_c) / m_c
        const std::int64_t power = value.exponent + bits_ - clock_.exponent;
        mpz_class num = value.mantissa;
        mpz_class den = clock_.mantissa;
        mpz_class& scaled = power >= 0 ? num : den;
        mpz_mul_2exp(scaled.get_mpz_t(), scaled.get_mpz_t(), BitCount(power >= 0 ? power : -power));
        mpz_class steps;
        mpz_fdiv_q(steps.get_mpz_t(), num.get_mpz_t(), den.get_mpz_t());
        return steps;
    }

private:
    Binary clock_;
    std::int32_t bits_;
    mpz_class factor_;
    std::int64_t shift_ = 0;
};

double Sinc(double x) {
    if (x == 0) return 1;
    const double angle = std::numbers::pi * x;
    return std::sin(angle) / angle;
}

Level LevelOf(double db) {
    // Every value from -0.005 up rounds to a zero, written without its sign.
    const double shown = db > -0.005 && db < 0 ? 0.0 : db;
    return {db, fmt::format("{:.2f}", shown)};
}

// fold(x) = |x - M round(x / M)|, in steps, with M = 2^bits steps a clock.
mpz_class Fold(const mpz_class& steps, const mpz_class& clock_steps) {
    mpz_class rest;
    mpz_fdiv_r(rest.get_mpz_t(), steps.get_mpz_t(), clock_steps.get_mpz_t());
    const mpz_class other = clock_steps - rest;
    return rest <= other ? rest : other;
}

mpz_class PowerOfTwo(std::int64_t exponent) {
    mpz_class power;
    mpz_setbit(power.get_mpz_t(), BitCount(exponent));
    return power;
}

std::optional<SpectrumFault> CheckRequest(const SpectrumRequest& request) {
    if (request.bits < 1 || request.bits > kMaxSpectrumBits) return SpectrumFault::kBits;
    if (!std::isfinite(request.clock) || request.clock <= 0) return SpectrumFault::kClock;
    if (request.phase_bits < 1 || request.phase_bits > request.bits) return SpectrumFault::kPhaseBits;
    if (request.harmonics < 1) return SpectrumFault::kHarmonics;
    if (request.harmonics - 1 > kMaxSpectrumLines) return SpectrumFault::kTooManyLines;
    if (request.highest && (!std::isfinite(*request.highest) || *request.highest <= 0)) {
        return SpectrumFault::kHighestBelowCarrier;
    }
    return std::nullopt;
}

// The word, when it is decimal digits with 0 < N < 2^bits.
std::optional<mpz_class> WordOf(const std::string& text, std::int32_t bits) {
    if (text.empty() || text.size() > static_cast<std::size_t>(bits) ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    mpz_class word(text, kDecimalBase);
    if (sgn(word) <= 0 || mpz_sizeinbase(word.get_mpz_t(), 2) > static_cast<std::size_t>(bits)) return std::nullopt;
    return word;
}

class SpectrumBuilder {
public:
    SpectrumBuilder(const SpectrumRequest& request, const mpz_class& word)
        : request_(request), scale_(request.clock, request.bits), word_(word),
          clock_steps_(PowerOfTwo(request.bits)), word_in_clocks_(scale_.InClocks(word)) {}

    std::variant<SpectrumFigures, SpectrumFault> Build() {
        const double highest = request_.highest.value_or(kDefaultHighestInClocks * request_.clock);
        if (!std::isfinite(highest)) return SpectrumFault::kHighestBelowCarrier;
        highest_steps_ = scale_.StepsBelow(highest);
        if (highest_steps_ < word_) return SpectrumFault::kHighestBelowCarrier;
        if (!FitsLineLimit()) return SpectrumFault::kTooManyLines;

        SpectrumFigures figures;
        figures.word = word_.get_str(kDecimalBase);
        figures.bits = request_.bits;
        figures.phase_bits = request_.phase_bits;
        figures.harmonics = request_.harmonics;
        figures.clock = scale_.Frequency(clock_steps_);
        figures.highest = scale_.Frequency(highest_steps_);
        figures.highest.in_clocks = highest / request_.clock;
        figures.carrier = Carrier();
        std::vector<PlacedLine> placed;
        AddImages(placed);
        AddHarmonics(placed);
        figures.truncation = Truncation(placed);
        figures.lines = Sorted(std::move(placed));
        return figures;
    }

private:
    // Images k*M - N and k*M + N up to the highest frequency, harmonics and
    // at most two spurs.
    bool FitsLineLimit() const {
        mpz_class below, above;
        mpz_class sum = highest_steps_ + word_;
        mpz_class difference = highest_steps_ - word_;
        mpz_fdiv_q_2exp(below.get_mpz_t(), sum.get_mpz_t(), BitCount(request_.bits));
        mpz_fdiv_q_2exp(above.get_mpz_t(), difference.get_mpz_t(), BitCount(request_.bits));
        constexpr long kSpurLines = 2;
        const mpz_class lines = below + above + (request_.harmonics - 1) + kSpurLines;
        // As a long, which every build's GMP compares with (32 bits in WebAssembly).
        return lines <= static_cast<long>(kMaxSpectrumLines);
    }

    SpectrumCarrier Carrier() const {
        SpectrumCarrier carrier;
        carrier.frequency = scale_.Frequency(word_);
        mpz_class zone;
        mpz_class doubled = 2 * word_;
        mpz_fdiv_q_2exp(zone.get_mpz_t(), doubled.get_mpz_t(), BitCount(request_.bits));
        carrier.zone = static_cast<std::int32_t>(zone.get_si()) + 1;  // 0 or 1: N < 2^b
        carrier.droop = LevelOf(kDecibelsPerDecade * std::log10(std::abs(Sinc(word_in_clocks_))));
        return carrier;
    }

    // A line with its frequency in steps, to sort by.
    struct PlacedLine {
        mpz_class steps;
        SpectrumLine line;
    };

    PlacedLine Line(SpectrumLineKind kind, long order, const mpz_class& steps, std::optional<Level> level) const {
        return {steps, {kind, order, scale_.Frequency(steps), std::move(level), scale_.Mhz(steps - word_)}};
    }

    void AddImages(std::vector<PlacedLine>& lines) const {
        const double carrier_sinc = std::abs(Sinc(word_in_clocks_));
        for (long k = 1;; ++k) {
            const mpz_class centre = clock_steps_ * k;
            const mpz_class lower = centre - word_;
            if (lower > highest_steps_) break;
            const mpz_class upper = centre + word_;
            for (const auto& [steps, order] : {std::pair{&lower, -k}, std::pair{&upper, k}}) {
                if (*steps > highest_steps_) continue;
                const double ratio = std::abs(Sinc(scale_.InClocks(*steps))) / carrier_sinc;
                lines.push_back(Line(SpectrumLineKind::kImage, order, *steps,
                                     LevelOf(kDecibelsPerDecade * std::log10(ratio))));
            }
        }
    }

    void AddHarmonics(std::vector<PlacedLine>& lines) const {
        for (long n = 2; n <= request_.harmonics; ++n) {
            const mpz_class folded = Fold(word_ * n, clock_steps_);
            if (folded <= highest_steps_) lines.push_back(Line(SpectrumLineKind::kHarmonic, n, folded, std::nullopt));
        }
    }

    SpectrumTruncation Truncation(std::vector<PlacedLine>& lines) const {
        const std::int64_t dropped = request_.bits - request_.phase_bits;  // W
        const auto zeros = static_cast<std::int64_t>(mpz_scan1(word_.get_mpz_t(), 0));
        SpectrumTruncation truncation;
        truncation.square_like = request_.phase_bits <= kSquareLikePhaseBits;
        // g = gcd(N, 2^W) = 2^min(zeros, W); L = 2^W / g.
        const std::int64_t period_bits = std::max<std::int64_t>(dropped - zeros, 0);
        const mpz_class period = PowerOfTwo(period_bits);
        truncation.period = period.get_str(kDecimalBase);
        truncation.spur_count = mpz_class(period - 1).get_str(kDecimalBase);
        if (period_bits > 0) {
            const double length = std::ldexp(1.0, static_cast<int>(period_bits));
            const double shape = length * std::sin(std::numbers::pi / length) / std::numbers::pi;
            const Level estimate = LevelOf(-(kDecibelsPerPhaseBit * request_.phase_bits +
                                             kDecibelsPerDecade * std::log10(shape)));
            truncation.largest_estimate = estimate;
            // a = (N / g) mod L; a * Fc / L = a * 2^(b - period_bits) steps
            mpz_class a;
            mpz_fdiv_q_2exp(a.get_mpz_t(), word_.get_mpz_t(), BitCount(zeros));
            mpz_fdiv_r_2exp(a.get_mpz_t(), a.get_mpz_t(), BitCount(period_bits));
            mpz_class offset;
            mpz_mul_2exp(offset.get_mpz_t(), a.get_mpz_t(), BitCount(request_.bits - period_bits));
            const mpz_class upper = Fold(word_ + offset, clock_steps_);
            const mpz_class lower = Fold(word_ - offset, clock_steps_);
            if (upper <= highest_steps_) lines.push_back(Line(SpectrumLineKind::kTruncation, 1, upper, estimate));
            if (lower != upper && lower <= highest_steps_) {
                lines.push_back(Line(SpectrumLineKind::kTruncation, -1, lower, estimate));
            }
        }
        const mpz_class free_word = SpurFreeWord(dropped);
        truncation.spur_free_word = free_word.get_str(kDecimalBase);
        truncation.spur_free_frequency = scale_.Frequency(free_word);
        truncation.spur_free_offset_mhz = scale_.Mhz(free_word - word_);
        std::u16string word_text(truncation.spur_free_word.begin(), truncation.spur_free_word.end());
        const auto figures =
            WordFigureCalculator().Typed(word_text, request_.clock, request_.bits, request_.wanted);
        truncation.spur_free_figures = std::get<WordQueryFigures>(figures).produced;
        return truncation;
    }

    // round(N / 2^W) * 2^W, halves up; kept inside 1 .. 2^b - 1 (the nearest
    // multiple of 2^W on the other side when rounding reaches 0 or 2^b).
    mpz_class SpurFreeWord(std::int64_t dropped) const {
        if (dropped == 0) return word_;
        const mpz_class step = PowerOfTwo(dropped);
        mpz_class rounded = word_ + step / 2;
        mpz_fdiv_q_2exp(rounded.get_mpz_t(), rounded.get_mpz_t(), BitCount(dropped));
        mpz_mul_2exp(rounded.get_mpz_t(), rounded.get_mpz_t(), BitCount(dropped));
        if (sgn(rounded) == 0) return step;
        if (rounded == clock_steps_) return clock_steps_ - step;
        return rounded;
    }

    static std::vector<SpectrumLine> Sorted(std::vector<PlacedLine> placed) {
        std::sort(placed.begin(), placed.end(), [](const PlacedLine& a, const PlacedLine& b) {
            if (a.steps != b.steps) return a.steps < b.steps;
            return std::tie(a.line.kind, a.line.order) < std::tie(b.line.kind, b.line.order);
        });
        std::vector<SpectrumLine> lines;
        lines.reserve(placed.size());
        for (PlacedLine& line : placed) lines.push_back(std::move(line.line));
        return lines;
    }

    const SpectrumRequest& request_;
    StepScale scale_;
    mpz_class word_;
    mpz_class clock_steps_;
    double word_in_clocks_;
    mpz_class highest_steps_;
};

}  // namespace

const char* SpectrumFaultText(SpectrumFault fault) {
    switch (fault) {
        case SpectrumFault::kBits:
            return "The accumulator width must be from 1 to 128 bits for a spectrum.";
        case SpectrumFault::kWord:
            return "The word must be a whole number above 0 and below 2^bits.";
        case SpectrumFault::kClock:
            return "The clock must be positive and finite.";
        case SpectrumFault::kPhaseBits:
            return "The phase width must be from 1 to the accumulator width.";
        case SpectrumFault::kHarmonics:
            return "The highest harmonic must be 1 or more.";
        case SpectrumFault::kHighestBelowCarrier:
            return "The highest frequency must be finite and at least the carrier frequency.";
        case SpectrumFault::kTooManyLines:
            return "The list would pass 10000 lines: lower the highest frequency or harmonic.";
    }
    return "";
}

std::variant<SpectrumFigures, SpectrumFault> Spectrum(const SpectrumRequest& request) {
    if (const std::optional<SpectrumFault> fault = CheckRequest(request)) return *fault;
    const std::optional<mpz_class> word = WordOf(request.word, request.bits);
    if (!word) return SpectrumFault::kWord;
    return SpectrumBuilder(request, *word).Build();
}

}  // namespace quorvel
