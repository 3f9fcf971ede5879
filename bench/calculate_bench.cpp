// The Calculate action per run, on the window's initial texts and on a mix of
// realistic inputs, against a floor: formatting the same six output values
// with std::to_chars alone (15 significant digits for the four decimal
// outputs, base 16 for the two words).

#include <benchmark/benchmark.h>

#include <array>
#include <charconv>
#include <cstdint>
#include <vector>

#include "action/calculate_action.h"
#include "action/fields.h"
#include "bench/realistic_mix.h"
#include "core/tuning_word.h"

namespace {

using quorvel::CalculatorVariables;
using quorvel::Field;
using quorvel::FieldTexts;

using quorvel::bench::MixFields;

// The six values the action shows, as the action computes them.
struct OutputValues {
    double resolution = 0;
    double word = 0;
    double actual_clock_mhz = 0;
    double new_word = 0;
    std::int64_t word_bits = 0;
    std::int64_t new_word_bits = 0;
};

OutputValues ValuesOf(FieldTexts fields) {
    CalculatorVariables vars;
    quorvel::Calculate(fields, vars);
    OutputValues values;
    values.resolution = quorvel::Resolution(vars.Fc, vars.Bits);
    values.word = vars.N;
    values.actual_clock_mhz = quorvel::Megahertz(vars.Fc2);
    values.new_word = vars.N2;
    // The mix's words lie below 2^47, so the conversions are exact and safe.
    values.word_bits = static_cast<std::int64_t>(vars.N);
    values.new_word_bits = static_cast<std::int64_t>(vars.N2);
    return values;
}

void FormatFloor(const OutputValues& values, char* buffer, std::size_t size) {
    constexpr int kDigitsAfterFirst = 14;
    constexpr int kHexBase = 16;
    char* const end = buffer + size;
    char* p = buffer;
    p = std::to_chars(p, end, values.resolution, std::chars_format::scientific, kDigitsAfterFirst).ptr;
    p = std::to_chars(p, end, values.word, std::chars_format::scientific, kDigitsAfterFirst).ptr;
    p = std::to_chars(p, end, values.word_bits, kHexBase).ptr;
    p = std::to_chars(p, end, values.actual_clock_mhz, std::chars_format::scientific, kDigitsAfterFirst).ptr;
    p = std::to_chars(p, end, values.new_word, std::chars_format::scientific, kDigitsAfterFirst).ptr;
    std::to_chars(p, end, values.new_word_bits, kHexBase);
}

void BM_CalculateInitialTexts(benchmark::State& state) {
    FieldTexts fields;
    CalculatorVariables vars;
    for (auto _ : state) {
        quorvel::Calculate(fields, vars);
        benchmark::DoNotOptimize(fields[Field::kNewNhex].data());
    }
}
BENCHMARK(BM_CalculateInitialTexts);

void BM_CalculateRealisticMix(benchmark::State& state) {
    std::vector<FieldTexts> mix = MixFields();
    CalculatorVariables vars;
    std::size_t next = 0;
    for (auto _ : state) {
        FieldTexts& fields = mix[next];
        quorvel::Calculate(fields, vars);
        benchmark::DoNotOptimize(fields[Field::kNewNhex].data());
        next = next + 1 == mix.size() ? 0 : next + 1;
    }
}
BENCHMARK(BM_CalculateRealisticMix);

void BM_ToCharsFloorInitialTexts(benchmark::State& state) {
    const OutputValues values = ValuesOf(FieldTexts{});
    char buffer[256];
    for (auto _ : state) {
        FormatFloor(values, buffer, sizeof buffer);
        benchmark::DoNotOptimize(buffer);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ToCharsFloorInitialTexts);

void BM_ToCharsFloorRealisticMix(benchmark::State& state) {
    std::vector<OutputValues> mix;
    for (const FieldTexts& fields : MixFields()) mix.push_back(ValuesOf(fields));
    char buffer[256];
    std::size_t next = 0;
    for (auto _ : state) {
        FormatFloor(mix[next], buffer, sizeof buffer);
        benchmark::DoNotOptimize(buffer);
        benchmark::ClobberMemory();
        next = next + 1 == mix.size() ? 0 : next + 1;
    }
}
BENCHMARK(BM_ToCharsFloorRealisticMix);

}  // namespace
