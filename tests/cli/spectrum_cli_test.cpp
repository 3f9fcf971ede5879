// --spectrum through RunSpectrum. The expected figures were worked by hand:
// N = round(10/100 * 2^32) = 429496730 = 2 * 214748365 gives 10 + 0.4 * 100
// / 2^32 MHz; its image at 90 MHz is 20 log10(sinc 0.9 / sinc 0.1) =
// -19.085 dB below it; dropping 20 of 32 phase bits repeats every 2^20 / 2
// samples, the largest spur estimated at 20 log10(2^-12) = -72.247 dBc, and
// the nearest word free of it is 410 * 2^20, 410 * 100 / 2^12 MHz.

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "cli/exit_status.h"
#include "cli/spectrum.h"

namespace quorvel::cli {
namespace {

struct SpectrumCase {
    const char* name;
    std::string bits;
    std::optional<std::string> word;
    std::optional<std::int32_t> phase_bits;
    SpectrumFormat format;
    std::vector<std::string> out_has;  // each somewhere in what is written
    std::string err;
    int status;
};

class Spectrum : public testing::TestWithParam<SpectrumCase> {};

TEST_P(Spectrum, WritesWhatTheWordGives) {
    const SpectrumCase& c = GetParam();
    SpectrumCliRequest request;
    request.inputs = {{Field::kBitSize, "--bits", c.bits},
                      {Field::kFclock, "--clock", "100"},
                      {Field::kFwanted, "--wanted", "10"}};
    request.word = c.word;
    request.phase_bits = c.phase_bits;
    request.format = c.format;
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(RunSpectrum(request, out, err), c.status);
    for (const std::string& part : c.out_has) EXPECT_NE(out.str().find(part), std::string::npos) << part;
    if (c.out_has.empty()) {
        EXPECT_EQ(out.str(), "");
    }
    EXPECT_EQ(err.str(), c.err);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Spectrum,
    testing::Values(
        SpectrumCase{"TextOfTheCalculatedWord", "32", std::nullopt, std::nullopt, SpectrumFormat::kText,
                     {"Word 429496730 of 32 bits, clock 100 MHz, phase 32 bits",
                      "Carrier 10.00000000931322574615478515625 MHz (+10.000 0 MHz), Nyquist zone 1",
                      "Truncation: none (period 1)", "(+90.000 0 MHz)  -19.08 dBc"},
                     "", kExitOk},
        SpectrumCase{"JsonOfTruncation", "32", std::nullopt, 12, SpectrumFormat::kJson,
                     {R"("truncation":{"period":"524288","spur_count":"524287","spur_free_word":"429916160",)"
                      R"("spur_free_frequency_mhz":"10.009765625","largest_estimate_dbc":"-72.25"})"},
                     "", kExitOk},
        SpectrumCase{"CsvHeader", "32", std::nullopt, std::nullopt, SpectrumFormat::kCsv,
                     {"kind,order,frequency_mhz,level_dbc,level_note,offset_mhz\r\n"}, "", kExitOk},
        SpectrumCase{"GivenWordTooLarge", "32", "0x100000000", std::nullopt, SpectrumFormat::kText, {},
                     "quorvel-calc: the word given to --word (\"0x100000000\") is 2^32 or more, "
                     "beyond a 32-bit accumulator\n",
                     kExitInvalidInput},
        SpectrumCase{"EmptyBitSize", "", std::nullopt, std::nullopt, SpectrumFormat::kText, {},
                     "Run-time error '13': Type mismatch\n", kExitRunTimeError}),
    [](const auto& param_info) { return std::string(param_info.param.name); });

}  // namespace
}  // namespace quorvel::cli
