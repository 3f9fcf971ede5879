// The Calculate action with one input holding a pasted text of n characters
// (digits, blanks, markers, non-ASCII), n from 1 Ki to 1 Mi code units. The
// fitted complexity must come out as O(N): the time per code unit stays flat.

#include <benchmark/benchmark.h>

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string>

#include "action/calculate_action.h"
#include "action/fields.h"

namespace {

using quorvel::Field;

// Repeats `unit` until `text` has reached `size` code units.
void FillTo(std::u16string& text, std::u16string_view unit, std::size_t size) {
    while (text.size() < size) text.append(unit.substr(0, size - text.size()));
}

void AppendWhole(std::u16string& text, std::size_t value) {
    char digits[24];
    const char* end = std::to_chars(std::begin(digits), std::end(digits), value).ptr;
    text.append(static_cast<const char*>(digits), end);
}

// Texts that read as the initial values, with the number itself spread over
// the first half and markers and non-ASCII text after it, so the reader has
// to walk half the text and everything else copies all of it.
std::u16string LongText(Field field, std::size_t size) {
    const std::size_t half = size / 2;
    std::u16string text;
    text.reserve(size);
    switch (field) {
        case Field::kBitSize:  // only blanks may surround the width
            FillTo(text, u" ", half / 2);
            text.append(u"32.");
            FillTo(text, u"0", half);
            FillTo(text, u" ", size);
            return text;
        case Field::kFclock:
            text.append(u"100.");
            FillTo(text, u"0 \t0\n", half);
            break;
        case Field::kFwanted:
            text.append(u"2");
            FillTo(text, u" \t\n ", half);
            text.append(u"5");
            break;
        default:  // Ferror: 10 with the zeros of its exponent written out
            text.append(u"1");
            FillTo(text, u"0", half);
            text.append(u"E-");
            AppendWhole(text, half - 2);  // 10^(half-1) * 10^-(half-2)
            break;
    }
    FillTo(text, u" NYQUIST! \u00B5s \u20AC\u00E9 \U0001F600 12", size);
    return text;
}

void BM_LongField(benchmark::State& state, Field field) {
    const auto size = static_cast<std::size_t>(state.range(0));
    quorvel::FieldTexts fields;
    fields.SetText(field, LongText(field, size));
    quorvel::CalculatorVariables vars;
    for (auto _ : state) {
        quorvel::Calculate(fields, vars);
        benchmark::DoNotOptimize(fields[Field::kNewNhex].data());
    }
    state.SetComplexityN(state.range(0));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

constexpr int kMultiplier = 4;
constexpr std::int64_t kShortest = std::int64_t{1} << 10;
constexpr std::int64_t kLongest = std::int64_t{1} << 20;

BENCHMARK_CAPTURE(BM_LongField, BitSize, Field::kBitSize)
    ->RangeMultiplier(kMultiplier)->Range(kShortest, kLongest)->Complexity(benchmark::oN);
BENCHMARK_CAPTURE(BM_LongField, Fclock, Field::kFclock)
    ->RangeMultiplier(kMultiplier)->Range(kShortest, kLongest)->Complexity(benchmark::oN);
BENCHMARK_CAPTURE(BM_LongField, Fwanted, Field::kFwanted)
    ->RangeMultiplier(kMultiplier)->Range(kShortest, kLongest)->Complexity(benchmark::oN);
BENCHMARK_CAPTURE(BM_LongField, Ferror, Field::kFerror)
    ->RangeMultiplier(kMultiplier)->Range(kShortest, kLongest)->Complexity(benchmark::oN);

}  // namespace
