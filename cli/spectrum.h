#pragma once
// quorvel-calc --spectrum: what the DAC puts out besides the wanted tone,
// for a given word or for the word the Calculate action gives.

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "cli/single_run.h"
#include "core/spectrum.h"

namespace quorvel::cli {

enum class SpectrumFormat { kText, kJson, kCsv, kSvg };

struct SpectrumCliRequest {
    // --bits, --clock, --wanted (and --error) as given; the others keep the
    // window's initial texts.
    std::vector<InputArgument> inputs;
    // The word as --word reads it (decimal, or hex after 0x); without it,
    // the word N the Calculate action gives for the inputs.
    std::optional<std::string> word;
    std::optional<std::int32_t> phase_bits;  // the accumulator width when absent
    std::int32_t harmonics = kDefaultHarmonics;
    std::optional<std::string> highest;      // MHz, read as the clock field is; 3 clocks when absent
    SpectrumFormat format = SpectrumFormat::kText;
};

// Writes the spectrum to `out` in the format asked:
//   text: the lines of SpectrumText
//   JSON: one object {"clock_mhz", "bits", "word", "phase_bits", "carrier":
//     {"frequency_mhz", "zone", "droop_db"}, "truncation": {"period",
//     "spur_count", "spur_free_word", "spur_free_frequency_mhz",
//     "largest_estimate_dbc"}, "lines": [{"kind", "order", "frequency_mhz",
//     "level_dbc", "level_is_estimate", "offset_mhz"}]}; exact figures and
//     dB figures as strings, widths, zones and orders as numbers; a level
//     that is not known is absent, and so is level_is_estimate but on
//     truncation spurs
//   CSV: kind,order,frequency_mhz,level_dbc,level_note,offset_mhz, one row
//     a line, CR LF; level_note "estimate", "not known" or empty
//   SVG: the sketch every front end shows
// Returns kExitOk; kExitRunTimeError (the error line on `err`) when the
// Calculate action stops before the word or a number cannot be read;
// kExitInvalidInput (the reason on `err`) for a text that is not UTF-8, a
// word that is not one, or a request Spectrum refuses.
int RunSpectrum(const SpectrumCliRequest& request, std::ostream& out, std::ostream& err);

}  // namespace quorvel::cli
