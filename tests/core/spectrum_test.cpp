// The spectrum of a word. Published values and worked examples were worked
// out by hand (sinc levels with a pocket calculator's sin and log10); the
// truncation spurs are checked against a direct DFT of the truncated-phase
// sine over one full period, which shares nothing with the code under test.

#include "core/spectrum.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdint>
#include <numbers>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace quorvel {
namespace {

using Kind = SpectrumLineKind;

// A line the figures must hold: its frequency exact ("72.78") or at a
// glance ("+24.541 0 MHz"), its level when it has one, its offset if given.
struct ExpectedLine {
    Kind kind;
    long order;
    std::string frequency;
    std::optional<std::string> level = std::nullopt;
    std::optional<std::string> offset = std::nullopt;
};

struct PublishedCase {
    const char* name;    // the kind of source, and what it says
    double clock_mhz;
    std::int32_t bits;
    std::string word;    // N = round(f0 / Fc * 2^b), worked out apart
    std::int32_t phase_bits;
    std::string carrier;  // exact, or at a glance
    std::int32_t zone;
    std::string droop;
    std::vector<ExpectedLine> lines;
    std::optional<std::string> estimate = std::nullopt;
    std::optional<std::string> spur_free_word = std::nullopt;
};

void PrintTo(const PublishedCase& c, std::ostream* os) { *os << c.name; }

template <typename Case>
std::string CaseName(const testing::TestParamInfo<Case>& param) {
    return "case" + std::to_string(param.index);
}

const SpectrumLine* Find(const SpectrumFigures& figures, const ExpectedLine& expected) {
    for (const SpectrumLine& line : figures.lines) {
        if (line.kind == expected.kind && line.order == expected.order) return &line;
    }
    return nullptr;
}

bool Matches(const SpectrumFrequency& frequency, const std::string& expected) {
    return frequency.mhz == expected || frequency.glance == expected;
}

class PublishedSpectrum : public testing::TestWithParam<PublishedCase> {};

TEST_P(PublishedSpectrum, AgreesWithTheSource) {
    const PublishedCase& c = GetParam();
    SpectrumRequest request;
    request.clock = c.clock_mhz * 1e6;
    request.bits = c.bits;
    request.word = c.word;
    request.phase_bits = c.phase_bits;
    const auto result = Spectrum(request);
    ASSERT_TRUE(std::holds_alternative<SpectrumFigures>(result));
    const auto& figures = std::get<SpectrumFigures>(result);
    EXPECT_TRUE(Matches(figures.carrier.frequency, c.carrier)) << figures.carrier.frequency.mhz;
    EXPECT_EQ(figures.carrier.zone, c.zone);
    EXPECT_EQ(figures.carrier.droop.text, c.droop);
    for (const ExpectedLine& expected : c.lines) {
        const SpectrumLine* line = Find(figures, expected);
        ASSERT_NE(line, nullptr) << "no line of order " << expected.order;
        EXPECT_TRUE(Matches(line->frequency, expected.frequency))
            << "order " << expected.order << ": " << line->frequency.mhz << " / " << line->frequency.glance;
        EXPECT_EQ(line->level ? line->level->text : "none", expected.level.value_or("none"));
        if (expected.offset) {
            EXPECT_EQ(line->offset_mhz, *expected.offset);
        }
    }
    if (c.estimate) {
        EXPECT_EQ(figures.truncation.largest_estimate.value_or(Level{}).text, *c.estimate);
    }
    if (c.spur_free_word) {
        EXPECT_EQ(figures.truncation.spur_free_word, *c.spur_free_word);
    }
    EXPECT_TRUE(std::is_sorted(figures.lines.begin(), figures.lines.end(), [](const auto& a, const auto& b) {
        return a.frequency.in_clocks < b.frequency.in_clocks;
    }));
}

INSTANTIATE_TEST_SUITE_P(
    Sources, PublishedSpectrum,
    testing::Values(
        PublishedCase{"DAC datasheet: sinc droop at half the clock is -3.92 dB", 100, 32, "2147483648", 32, "50", 2,
                      "-3.92", {}},
        PublishedCase{"DAC datasheet: sinc droop at 0.4 of the clock is -2.42 dB", 100, 32, "1717986918", 32,
                      "+40.000 0 MHz", 1, "-2.42", {}},
        PublishedCase{"application note: 80 MHz at 300 MHz, images at 220, 380, 520, 680, 820 MHz", 300, 32,
                      "1145324612", 32, "+80.000 0 MHz", 1, "-1.04",
                      {{Kind::kImage, -1, "+220.000 MHz", "-8.79"}, {Kind::kImage, 1, "+380.000 MHz", "-13.53"},
                       {Kind::kImage, -2, "+520.000 MHz", "-16.26"}, {Kind::kImage, 2, "+680.000 MHz", "-18.59"},
                       {Kind::kImage, -3, "+820.000 MHz", "-20.21"}}},
        PublishedCase{"forum answer: 3rd harmonic of 25.153 MHz at 100 MHz folds to 24.541 MHz, 612 kHz below", 100,
                      48, "70799400892031", 48, "+25.153 0 MHz", 1, "-0.92",
                      {{Kind::kHarmonic, 3, "+24.541 0 MHz", std::nullopt}}},
        PublishedCase{"forum answer: 122.88 - 50.1 = 72.78 MHz", 122.88, 48, "114761526149120", 48, "50.1", 1, "-2.52",
                      {{Kind::kImage, -1, "72.78", "-3.24", "22.68"}}},
        PublishedCase{"worked example: a quarter of the clock, images fall as 1/3, 1/5, 1/7, 1/9, 1/11", 100, 32,
                      "1073741824", 12, "25", 1, "-0.91",
                      {{Kind::kImage, -1, "75", "-9.54", "50"}, {Kind::kImage, 1, "125", "-13.98"},
                       {Kind::kImage, -2, "175", "-16.90"}, {Kind::kImage, 2, "225", "-19.08"},
                       {Kind::kImage, -3, "275", "-20.83"}, {Kind::kHarmonic, 2, "50"},
                       {Kind::kHarmonic, 3, "25", std::nullopt, "0"}, {Kind::kHarmonic, 4, "0", std::nullopt, "-25"},
                       {Kind::kHarmonic, 6, "50"}},
                      std::nullopt, "1073741824"},
        PublishedCase{"forum question: a wanted 62.5 MHz at 100 MHz comes out as its alias 37.5 MHz, stronger", 100,
                      32, "2684354560", 32, "62.5", 2, "-6.55", {{Kind::kImage, -1, "37.5", "4.44", "-25"}}},
        PublishedCase{"tutorial: 5 phase bits, word 3 of 256 steps of 1 MHz; period 8, spurs at 3 +- 96", 256, 8, "3",
                      5, "3", 1, "0.00",
                      {{Kind::kTruncation, 1, "99", "-29.88", "96"}, {Kind::kTruncation, -1, "93", "-29.88", "90"}},
                      "-29.88", "8"},
        PublishedCase{"application note: worst case at 12 phase bits is 6.02 P - 3.92 = 68.32 dB down", 100, 32,
                      "1572864", 12, "+36.621 1 kHz", 1, "0.00", {{Kind::kTruncation, 1, "+49.963 4 MHz", "-68.32"}},
                      "-68.32", "2097152"}),
    CaseName<PublishedCase>);

// In place radix-2 FFT of a power-of-two length.
void Fft(std::vector<std::complex<double>>& x) {
    const std::size_t n = x.size();
    for (std::size_t i = 1, j = 0; i < n; ++i) {
        std::size_t bit = n >> 1;
        for (; (j & bit) != 0; bit >>= 1) j ^= bit;
        j ^= bit;
        if (i < j) std::swap(x[i], x[j]);
    }
    for (std::size_t len = 2; len <= n; len <<= 1) {
        const double angle = -2 * std::numbers::pi / static_cast<double>(len);
        const std::complex<double> root(std::cos(angle), std::sin(angle));
        for (std::size_t start = 0; start < n; start += len) {
            std::complex<double> w(1);
            for (std::size_t k = 0; k < len / 2; ++k) {
                const std::complex<double> a = x[start + k], b = x[start + k + len / 2] * w;
                x[start + k] = a + b;
                x[start + k + len / 2] = a - b;
                w *= root;
            }
        }
    }
}

struct Strongest {
    std::uint64_t frequency_steps;  // of clock / 2^b
    double dbc;
};

// The strongest line apart from the carrier, from the truncated-phase sine
// over one full period of the output.
Strongest StrongestSpur(std::int32_t bits, std::uint64_t word, std::int32_t phase_bits) {
    const std::uint64_t modulus = std::uint64_t{1} << bits;
    const std::uint64_t common = word & (~word + 1);  // gcd(N, 2^b) for N < 2^b
    const std::uint64_t period = modulus / common;
    const std::uint64_t keep = ~((std::uint64_t{1} << (bits - phase_bits)) - 1);
    std::vector<std::complex<double>> samples(period);
    for (std::uint64_t n = 0; n < period; ++n) {
        const std::uint64_t phase = (n * word % modulus) & keep;
        samples[n] = std::sin(2 * std::numbers::pi * static_cast<double>(phase) / static_cast<double>(modulus));
    }
    Fft(samples);
    const std::uint64_t carrier = std::min(word / common, period - word / common);
    std::uint64_t best = 0;
    for (std::uint64_t j = 0; j <= period / 2; ++j) {
        if (j != carrier && std::abs(samples[j]) > std::abs(samples[best == carrier ? j : best])) best = j;
    }
    return {best * common, 20 * std::log10(std::abs(samples[best]) / std::abs(samples[carrier]))};
}

struct DftCase {
    std::int32_t bits;
    std::uint64_t word;
    std::int32_t phase_bits;
};

void PrintTo(const DftCase& c, std::ostream* os) {
    *os << "b=" << c.bits << " N=" << c.word << " P=" << c.phase_bits;
}

class TruncationAgainstDft : public testing::TestWithParam<DftCase> {};

TEST_P(TruncationAgainstDft, LargestSpurIsOneOfThePair) {
    const DftCase& c = GetParam();
    // A clock of 2^b MHz makes each step one megahertz: frequencies are whole.
    const double clock = std::ldexp(1e6, c.bits);
    const auto result = Spectrum({.clock = clock, .bits = c.bits, .word = std::to_string(c.word),
                                  .phase_bits = c.phase_bits, .harmonics = 1, .highest = clock,
                                  .wanted = std::nullopt});
    ASSERT_TRUE(std::holds_alternative<SpectrumFigures>(result));
    const auto& figures = std::get<SpectrumFigures>(result);
    const Strongest measured = StrongestSpur(c.bits, c.word, c.phase_bits);
    bool in_pair = false;
    for (const SpectrumLine& line : figures.lines) {
        if (line.kind != Kind::kTruncation) continue;
        in_pair = in_pair || line.frequency.mhz == std::to_string(measured.frequency_steps);
        if (c.phase_bits >= 10) {
            EXPECT_NEAR(line.level->db, measured.dbc, 0.02);
        }
    }
    EXPECT_TRUE(in_pair) << "strongest spur at " << measured.frequency_steps << " MHz, " << measured.dbc << " dBc";
}

INSTANTIATE_TEST_SUITE_P(VariedWords, TruncationAgainstDft,
                         testing::Values(DftCase{12, 1, 3}, DftCase{12, 1365, 4}, DftCase{14, 4097, 6},
                                         DftCase{16, 12345, 7}, DftCase{16, 32769, 8}, DftCase{18, 3, 10},
                                         DftCase{18, 98765, 10}, DftCase{18, 131073, 11}, DftCase{18, 9856, 10},
                                         DftCase{17, 40961, 12}, DftCase{18, 77777, 13}, DftCase{16, 11, 14},
                                         DftCase{18, 672, 10}));

struct BadCase {
    const char* name;
    SpectrumRequest request;
    SpectrumFault fault;
};

void PrintTo(const BadCase& c, std::ostream* os) { *os << c.name; }

class BadSpectrumInput : public testing::TestWithParam<BadCase> {};

TEST_P(BadSpectrumInput, GivesItsFaultAndNoFigures) {
    const auto result = Spectrum(GetParam().request);
    ASSERT_TRUE(std::holds_alternative<SpectrumFault>(result));
    EXPECT_EQ(std::get<SpectrumFault>(result), GetParam().fault);
}

constexpr double kHundredMhz = 100e6;

SpectrumRequest Request(double clock, std::int32_t bits, std::string word, std::int32_t phase_bits,
                        std::int32_t harmonics = kDefaultHarmonics, std::optional<double> highest = std::nullopt) {
    return {.clock = clock, .bits = bits, .word = std::move(word), .phase_bits = phase_bits,
            .harmonics = harmonics, .highest = highest, .wanted = std::nullopt};
}

INSTANTIATE_TEST_SUITE_P(
    Faults, BadSpectrumInput,
    testing::Values(
        BadCase{"phase width 0", Request(kHundredMhz, 32, "1", 0), SpectrumFault::kPhaseBits},
        BadCase{"phase width above the accumulator", Request(kHundredMhz, 32, "1", 33), SpectrumFault::kPhaseBits},
        BadCase{"word 0", Request(kHundredMhz, 32, "0", 32), SpectrumFault::kWord},
        BadCase{"word 2^b", Request(kHundredMhz, 32, "4294967296", 32), SpectrumFault::kWord},
        BadCase{"word with a sign", Request(kHundredMhz, 32, "-1", 32), SpectrumFault::kWord},
        BadCase{"clock 0", Request(0, 32, "1", 32), SpectrumFault::kClock},
        BadCase{"clock negative", Request(-1e6, 32, "1", 32), SpectrumFault::kClock},
        BadCase{"clock infinite", Request(HUGE_VAL, 32, "1", 32), SpectrumFault::kClock},
        BadCase{"clock not a number", Request(std::nan(""), 32, "1", 32), SpectrumFault::kClock},
        BadCase{"width 0", Request(kHundredMhz, 0, "1", 1), SpectrumFault::kBits},
        BadCase{"no harmonic", Request(kHundredMhz, 32, "1", 32, 0), SpectrumFault::kHarmonics},
        // 2^30 of 2^32 is 25 MHz; one step below it is highest.
        BadCase{"highest just below the carrier", Request(kHundredMhz, 32, "1073741824", 32, 7, 24999999.99), SpectrumFault::kHighestBelowCarrier},
        BadCase{"highest 5000 clocks: over 10000 lines", Request(kHundredMhz, 32, "1073741824", 32, 7, 5000 * kHundredMhz),
                SpectrumFault::kTooManyLines}),
    CaseName<BadCase>);

}  // namespace
}  // namespace quorvel
