// The spectrum of any request: no crash and no hang; a request out of range
// gives a fault; figures keep every line between 0 and the highest
// frequency, in order, within the line limit, and no level reads "-0.00".
//
// Input: the accumulator width, the phase width and the harmonics (a byte
// each, so that values out of range come too), the clock and the highest
// frequency (eight bytes each, a double's bits: NaN, infinities and
// negatives included; a highest of 0 stands for "absent"), then the word.

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <variant>

#include "core/spectrum.h"
#include "fuzz/fuzz_support.h"

namespace {

using quorvel::fuzz::Require;

constexpr std::size_t kHeaderSize = 3 + 2 * sizeof(double);

double DoubleAt(const std::uint8_t* data) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, data, sizeof bits);
    return std::bit_cast<double>(bits);
}

void CheckLevel(const quorvel::Level& level, std::u16string_view shown) {
    Require(level.text != "-0.00", "a level reads -0.00", shown);
    Require(!level.text.empty(), "a level without text", shown);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < kHeaderSize) return 0;
    quorvel::SpectrumRequest request;
    // Widths a little past the largest, so that the refusals are reached.
    request.bits = data[0] % (quorvel::kMaxSpectrumBits + 8);
    request.phase_bits = data[1] % (quorvel::kMaxSpectrumBits + 8);
    request.harmonics = static_cast<std::int8_t>(data[2]);
    request.clock = DoubleAt(data + 3);
    const double highest = DoubleAt(data + 3 + sizeof(double));
    if (highest != 0) request.highest = highest;
    request.word.assign(reinterpret_cast<const char*>(data + kHeaderSize), size - kHeaderSize);
    const std::u16string shown = quorvel::fuzz::DecodeText(data + kHeaderSize, size - kHeaderSize);

    const auto result = quorvel::Spectrum(request);
    const bool out_of_range = request.bits < 1 || request.bits > quorvel::kMaxSpectrumBits ||
                              request.phase_bits < 1 || request.phase_bits > request.bits ||
                              request.harmonics < 1 || !std::isfinite(request.clock) || request.clock <= 0;
    if (std::holds_alternative<quorvel::SpectrumFault>(result)) return 0;
    Require(!out_of_range, "a request out of range gave figures", shown);

    const auto& figures = std::get<quorvel::SpectrumFigures>(result);
    Require(static_cast<std::int64_t>(figures.lines.size()) <= quorvel::kMaxSpectrumLines, "too many lines", shown);
    CheckLevel(figures.carrier.droop, shown);
    if (figures.truncation.largest_estimate) CheckLevel(*figures.truncation.largest_estimate, shown);
    Require((figures.truncation.period == "1") == (figures.truncation.spur_count == "0"),
            "a period of 1 without a spur count of 0, or the other way", shown);
    double previous = 0;
    for (const quorvel::SpectrumLine& line : figures.lines) {
        const double at = line.frequency.in_clocks;
        Require(at >= 0 && at <= figures.highest.in_clocks, "a line outside 0 to the highest frequency", shown);
        Require(at >= previous, "lines out of order", shown);
        Require(!line.frequency.mhz.empty() && !line.offset_mhz.empty(), "a line without its figures", shown);
        if (line.level) CheckLevel(*line.level, shown);
        previous = at;
    }
    return 0;
}
