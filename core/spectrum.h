#pragma once
// What a DDS puts out besides the wanted tone, for one tuning word: the
// carrier and its sinc droop, the images around each multiple of the clock,
// the harmonics folded into the first Nyquist zone, and the spurs of phase
// truncation. Every frequency is exact: each is a whole multiple of the
// step clock / 2^bits, and is written as a finite decimal in megahertz.
// Levels are doubles (sin, log10), written with two decimals. The exact
// arithmetic (GMP) stays inside: this interface is standard library only.

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "core/exact_figures.h"

namespace quorvel {

// Harmonics 2 to 7 unless asked otherwise.
inline constexpr std::int32_t kDefaultHarmonics = 7;
// The images reach three clocks unless asked otherwise.
inline constexpr double kDefaultHighestInClocks = 3.0;
// Longer lists are no sketch any more, and no reader takes them in.
inline constexpr std::int64_t kMaxSpectrumLines = 10000;
// Accumulators of up to 128 bits: wider than any generator built, while
// every exact frequency keeps well under two hundred digits.
inline constexpr std::int32_t kMaxSpectrumBits = 128;
// At one or two phase bits the output is close to a square wave: its own
// odd harmonics, not the pair below, are then the strongest lines.
inline constexpr std::int32_t kSquareLikePhaseBits = 2;

struct SpectrumRequest {
    double clock = 0;                    // hertz, positive and finite
    std::int32_t bits = 0;               // accumulator width b, 1 to kMaxSpectrumBits
    std::string word;                    // N, decimal digits, 0 < N < 2^b
    std::int32_t phase_bits = 0;         // P, 1 to b; b means no truncation
    std::int32_t harmonics = kDefaultHarmonics;  // H >= 1: harmonics 2 to H
    std::optional<double> highest;       // hertz; kDefaultHighestInClocks clocks when absent
    std::optional<double> wanted;        // hertz: the spur-free word's error is taken from it
};

// Why a request gives no figures.
enum class SpectrumFault {
    kBits,              // b outside 1..kMaxSpectrumBits
    kWord,              // N not a whole number with 0 < N < 2^b
    kClock,             // the clock not positive and finite
    kPhaseBits,         // P outside 1..b
    kHarmonics,         // H below 1
    kHighestBelowCarrier,  // the highest frequency below the carrier (or not finite)
    kTooManyLines,      // the list would pass kMaxSpectrumLines lines
};

// One sentence saying what is wrong, for every front end:
//   kPhaseBits -> "The phase width must be from 1 to the accumulator width."
const char* SpectrumFaultText(SpectrumFault fault);

// An exact frequency: every digit in megahertz ("72.78", "-0.612"), and at
// a glance in hertz with its prefix ("+72.780 0 MHz"); `in_clocks` is the
// frequency over the clock as a double, for drawing.
struct SpectrumFrequency {
    std::string mhz;
    std::string glance;
    double in_clocks = 0;
};

// A level in dB as a double and written with two decimals, correctly
// rounded, never "-0.00": -3.9224 -> "-3.92", 0.004 -> "0.00".
struct Level {
    double db = 0;
    std::string text;
};

enum class SpectrumLineKind { kImage, kHarmonic, kTruncation };

// One line of the output besides the carrier.
//   image k*Fc + f0: order +k; image k*Fc - f0: order -k
//   harmonic n folded: order n, no level (it depends on the DAC)
//   truncation spur at fold(f0 + a*Fc/L): order +1; at fold(f0 - a*Fc/L): -1,
//     its level the small-angle estimate
struct SpectrumLine {
    SpectrumLineKind kind = SpectrumLineKind::kImage;
    std::int64_t order = 0;
    SpectrumFrequency frequency;
    std::optional<Level> level;  // dBc
    std::string offset_mhz;      // frequency minus carrier, exact, signed: "-0.612"
};

struct SpectrumCarrier {
    SpectrumFrequency frequency;  // N * Fc / 2^b
    std::int32_t zone = 1;        // floor(f0 / (Fc/2)) + 1
    Level droop;                  // 20 log10 |sinc(f0/Fc)|
};

struct SpectrumTruncation {
    std::string period;       // L: 1 when the phase width leaves no spurs
    std::string spur_count;   // L - 1
    // The small-angle estimate of the largest spur; none when L = 1.
    std::optional<Level> largest_estimate;
    bool square_like = false;  // P <= kSquareLikePhaseBits: the estimate does not hold
    std::string spur_free_word;                // round(N / 2^W) * 2^W, halves up, kept in 1..2^b-1
    SpectrumFrequency spur_free_frequency;
    std::string spur_free_offset_mhz;          // its output minus the carrier
    FrequencyFigures spur_free_figures;        // its output, and error when a wanted frequency is given
};

struct SpectrumFigures {
    std::string word;          // N, every digit
    std::int32_t bits = 0;
    std::int32_t phase_bits = 0;
    std::int32_t harmonics = 0;
    SpectrumFrequency clock;
    SpectrumFrequency highest;
    SpectrumCarrier carrier;
    SpectrumTruncation truncation;
    // Every image, folded harmonic and truncation spur from 0 to the highest
    // frequency, by frequency (at equal frequencies: images, harmonics,
    // spurs, then by order).
    std::vector<SpectrumLine> lines;
};

// The spectrum of a request.
//   100 MHz, 32 bits, N = 2^30: carrier "25", zone 1, droop "-0.91";
//     images "75" (order -1, "-9.54" dBc), "125" (+1, "-13.98"), ...
//   300 MHz, 32 bits, N for 80 MHz (0x44444444 gives 79.99999995...):
//     images near 220, 380, 520, 680, 820 MHz
//   48 bits, P = 16, N = 3: W = 32, L = 2^32, a = 3
//   P = 0 -> kPhaseBits; N = 2^b -> kWord; highest below f0 -> kHighestBelowCarrier
std::variant<SpectrumFigures, SpectrumFault> Spectrum(const SpectrumRequest& request);

}  // namespace quorvel
