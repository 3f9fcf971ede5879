// A word's spectrum with the default lists (images to 3 clocks, harmonics
// 2 to 7, the truncation pair): goal under 1 ms. The figures alone, then
// with the sketch every front end draws from them.

#include <benchmark/benchmark.h>

#include <optional>
#include <string>
#include <variant>

#include "action/spectrum_svg.h"
#include "core/spectrum.h"

namespace {

// 23.711649 MHz of 100 MHz at 48 bits, 14 phase bits: every list is full.
quorvel::SpectrumRequest DefaultRequest() {
    return {.clock = 100e6, .bits = 48, .word = "66742358500463", .phase_bits = 14,
            .harmonics = quorvel::kDefaultHarmonics, .highest = std::nullopt, .wanted = 23.711649e6};
}

void BM_SpectrumDefaultLists(benchmark::State& state) {
    const quorvel::SpectrumRequest request = DefaultRequest();
    for (auto _ : state) {
        auto figures = quorvel::Spectrum(request);
        benchmark::DoNotOptimize(figures);
    }
}
BENCHMARK(BM_SpectrumDefaultLists)->Unit(benchmark::kMicrosecond);

void BM_SpectrumWithSketch(benchmark::State& state) {
    const quorvel::SpectrumRequest request = DefaultRequest();
    for (auto _ : state) {
        const auto figures = quorvel::Spectrum(request);
        std::string svg = quorvel::SpectrumSvg(std::get<quorvel::SpectrumFigures>(figures));
        benchmark::DoNotOptimize(svg);
    }
}
BENCHMARK(BM_SpectrumWithSketch)->Unit(benchmark::kMicrosecond);

}  // namespace
