// quorvel-calc --sweep without the process around it: RunSweep into memory,
// as JSON Lines and as CSV, reported as rows per second (items_per_second),
// and the exact decimal stepping alone. scripts/bench.sh measures the built
// executable too.

#include <benchmark/benchmark.h>

#include <sstream>
#include <string>
#include <variant>

#include "cli/sweep.h"

namespace {

using quorvel::cli::RowFormat;

// 10 to 10.09999 MHz in steps of 10 Hz: 10,000 rows.
constexpr const char* kSweep = "10:10.09999:0.00001";
constexpr std::int64_t kRowsPerRun = 10000;

void BM_RunSweepInMemory(benchmark::State& state, RowFormat format) {
    const quorvel::cli::SweepRequest request{kSweep, {}, format};
    std::string output;
    for (auto _ : state) {
        std::ostringstream out;
        std::ostringstream err;
        benchmark::DoNotOptimize(quorvel::cli::RunSweep(request, out, err));
        output = std::move(out).str();
        benchmark::DoNotOptimize(output.data());
    }
    state.SetItemsProcessed(state.iterations() * kRowsPerRun);
    state.SetLabel("items_per_second = rows per second");
}
BENCHMARK_CAPTURE(BM_RunSweepInMemory, json_lines, RowFormat::kJsonLines)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RunSweepInMemory, csv, RowFormat::kCsv)->Unit(benchmark::kMillisecond);

// The wanted texts alone: one exact addition and one decimal text a row.
void BM_WantedTexts(benchmark::State& state) {
    const auto plan = std::get<quorvel::cli::SweepPlan>(quorvel::cli::ParseSweep(kSweep));
    for (auto _ : state) {
        quorvel::cli::WantedTexts wanted(plan);
        for (std::int64_t row = 0; row < plan.rows; ++row) benchmark::DoNotOptimize(wanted.Next().data());
    }
    state.SetItemsProcessed(state.iterations() * plan.rows);
}
BENCHMARK(BM_WantedTexts)->Unit(benchmark::kMicrosecond);

}  // namespace
