// quorvel-calc --batch without the process around it: RunBatch on an
// in-memory stream of realistic lines, reported as lines per second
// (items_per_second). scripts/bench.sh measures the built executable too.

#include <benchmark/benchmark.h>

#include <array>
#include <sstream>
#include <string>
#include <string_view>

#include "bench/realistic_mix.h"
#include "cli/batch.h"

namespace {

using quorvel::bench::BatchInput;
using quorvel::bench::kLinesPerRun;

void BM_RunBatchInMemory(benchmark::State& state) {
    const std::string input = BatchInput();
    std::string output;
    for (auto _ : state) {
        std::istringstream in(input);
        std::ostringstream out;
        benchmark::DoNotOptimize(quorvel::cli::RunBatch(in, out));
        output = std::move(out).str();
        benchmark::DoNotOptimize(output.data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(kLinesPerRun));
    state.SetLabel("items_per_second = lines per second");
}
BENCHMARK(BM_RunBatchInMemory)->Unit(benchmark::kMillisecond);

}  // namespace
