#pragma once
// The spectrum panel's content for every front end, and the figures as
// text: the window and the page show the same heading, figures and sketch,
// and the companion prints the same figures.

#include <cstdint>
#include <optional>
#include <string>

#include "action/fields.h"
#include "action/spectrum_svg.h"
#include "action/word_details.h"
#include "core/spectrum.h"

namespace quorvel {

// A line's kind as every output names it: "image", "harmonic", "truncation".
std::string_view SpectrumLineKindName(SpectrumLineKind kind);

// The figures as lines of text, the frequencies exact in MHz, the dB figures
// with two decimals, every estimated level marked "(estimate)":
//   Word 1073741824 of 32 bits, clock 100 MHz, phase 12 bits, harmonics to 7
//   Carrier 25 MHz (+25.000 0 MHz), Nyquist zone 1, sinc droop -0.91 dB
//   Truncation: none (period 1)
//   Spur-free word 1073741824: output 25 MHz (+25.000 0 MHz), offset 0 MHz
//   Lines from 0 to 300 MHz:
//   image -1  75 MHz (+75.000 0 MHz)  -9.54 dBc  offset 50 MHz
//   harmonic 4  0 MHz (0 Hz)  level not known  offset -25 MHz
std::string SpectrumText(const SpectrumFigures& figures);

// The word a word field shows after a run, with what its spectrum needs.
struct SpectrumSubject {
    std::string heading;  // "Wanted N 1073741824 with the entered clock 100 MHz, wanted 25 MHz"
    std::string word;
    double clock = 0;     // hertz: the entered clock for N, the inferred one for N2
    std::int32_t bits = 0;
    double wanted = 0;    // hertz
};

// The subject of a word field (Nideal, Nhex: N; NewN, NewNhex: N2); nothing
// when the run did not write that field, and for every other field.
std::optional<SpectrumSubject> SpectrumSubjectOf(Field field, const RunFigures& figures,
                                                 const WrittenFields& written, std::int32_t bits);

// What the panel shows: its heading, the figures as text (or the reason
// there are none) and the sketch with its text alternative (both empty
// without figures). A phase width of 0 stands for the accumulator width.
struct SpectrumView {
    std::string heading;
    std::string figures;
    std::string svg;
    std::string alternative;
};
SpectrumView ViewSpectrum(const SpectrumSubject& subject, std::int32_t phase_bits, std::int32_t harmonics,
                          SvgTheme theme);

}  // namespace quorvel
