// The exact figures against the plain action (goal: at most 3x), in full
// alone and with their short forms, and --batch --details in memory (goal:
// at least 100,000 lines per second).
// Both actions start from a fresh copy of the fields each run, as the
// companion does.

#include <benchmark/benchmark.h>

#include <array>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "action/calculate_action.h"
#include "action/word_details.h"
#include "bench/realistic_mix.h"
#include "cli/batch.h"

namespace {

using quorvel::FieldTexts;
using quorvel::bench::MixFields;

void BM_RunActionRealisticMix(benchmark::State& state) {
    const std::vector<FieldTexts> mix = MixFields();
    std::size_t next = 0;
    for (auto _ : state) {
        quorvel::ActionOutcome outcome = quorvel::RunAction(mix[next]);
        benchmark::DoNotOptimize(outcome);
        next = next + 1 == mix.size() ? 0 : next + 1;
    }
}
BENCHMARK(BM_RunActionRealisticMix);

void RunActionWithFigures(benchmark::State& state, quorvel::ShortForms short_forms) {
    const std::vector<FieldTexts> mix = MixFields();
    quorvel::WordFigureCalculator calculator(short_forms);  // one for all runs, as a batch has
    std::size_t next = 0;
    for (auto _ : state) {
        quorvel::DetailedOutcome detailed = quorvel::RunActionWithFigures(mix[next], calculator);
        benchmark::DoNotOptimize(detailed);
        next = next + 1 == mix.size() ? 0 : next + 1;
    }
}

// The figures in full alone, as the companion's details print them.
void BM_RunActionWithFiguresRealisticMix(benchmark::State& state) {
    RunActionWithFigures(state, quorvel::ShortForms::kOmitted);
}
BENCHMARK(BM_RunActionWithFiguresRealisticMix);

// With the short forms too, as the window's tooltips and panel need them.
void BM_RunActionWithFiguresAtAGlanceRealisticMix(benchmark::State& state) {
    RunActionWithFigures(state, quorvel::ShortForms::kGiven);
}
BENCHMARK(BM_RunActionWithFiguresAtAGlanceRealisticMix);

using quorvel::bench::BatchInput;
using quorvel::bench::kLinesPerRun;

void BM_RunBatchWithDetailsInMemory(benchmark::State& state) {
    const std::string input = BatchInput();
    std::string output;
    for (auto _ : state) {
        std::istringstream in(input);
        std::ostringstream out;
        benchmark::DoNotOptimize(quorvel::cli::RunBatch(in, out, {.details = true}));
        output = std::move(out).str();
        benchmark::DoNotOptimize(output.data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(kLinesPerRun));
    state.SetLabel("items_per_second = lines per second");
}
BENCHMARK(BM_RunBatchWithDetailsInMemory)->Unit(benchmark::kMillisecond);

}  // namespace
