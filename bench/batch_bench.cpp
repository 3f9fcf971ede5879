// quorvel-calc --batch without the process around it: RunBatch on an
// in-memory stream of realistic lines, reported as lines per second
// (items_per_second). scripts/bench.sh measures the built executable too.

#include <benchmark/benchmark.h>

#include <array>
#include <sstream>
#include <string>
#include <string_view>

#include "cli/batch.h"

namespace {

constexpr std::size_t kLinesPerRun = 10000;

// Inputs as a script would send them; some keys left out, one error line.
constexpr std::array<std::string_view, 8> kLines = {
    R"({"BitSize":"32","Fclock":"100","Fwanted":"25","Ferror":""})",
    R"({"BitSize":"32","Fclock":"100","Fwanted":"25","Ferror":"10"})",
    R"({"BitSize":"48","Fclock":"180","Fwanted":"10"})",
    R"({"BitSize":"48","Fclock":"1000","Fwanted":"140.625","Ferror":"12.5"})",
    R"({"Fclock":"125","Fwanted":"10.7"})",
    R"({"BitSize":"32","Fclock":"50","Fwanted":"13.56","Ferror":"-3.2"})",
    R"({"BitSize":"32","Fclock":"20","Fwanted":"7.15909","Ferror":"0.4"})",
    R"({"BitSize":"48","Fclock":"100","Fwanted":"60"})",
};

std::string BatchInput() {
    std::string input;
    for (std::size_t i = 0; i < kLinesPerRun; ++i) input.append(kLines[i % kLines.size()]).push_back('\n');
    return input;
}

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
