#pragma once
// The spectrum sketch, drawn once as SVG text for every front end: the
// window renders it, the page puts it inline, the companion writes it.

#include <string>

#include "core/spectrum.h"

namespace quorvel {

// The ground the sketch is drawn on, and with it the colours: each colour
// holds at least 4.5:1 against its theme's ground.
enum class SvgTheme { kLight, kDark };

// The sketch's size in pixels: readable at this size and scalable.
inline constexpr int kSpectrumSvgWidth = 600;
inline constexpr int kSpectrumSvgHeight = 300;

// A 600 x 300 sketch: frequency from 0 to the highest frequency, with the
// multiples of half the clock dashed; level in dBc, the carrier at 0; the
// sinc envelope as a curve; the carrier, the images and the truncation spurs
// as lines up to their levels; the folded harmonics as marks on the axis
// (their level is not known). Labels go in rows above the lines and are
// left out rather than drawn over each other. Its <title> and <desc> name
// the word and list the strongest lines, for screen readers.
std::string SpectrumSvg(const SpectrumFigures& figures, SvgTheme theme = SvgTheme::kLight);

// The text alternative of the sketch: the word, the carrier, and the
// strongest lines with their levels, at most kAlternativeLines of them, the
// frequencies at a glance:
//   "Spectrum of word 1073741824 at clock 100 MHz: carrier 25.000 0 MHz, sinc droop -0.91 dB;
//    strongest lines: image 75.000 0 MHz -9.54 dBc, ...; 6 harmonic aliases, level not known"
inline constexpr int kAlternativeLines = 5;
std::string SpectrumAlternative(const SpectrumFigures& figures);

}  // namespace quorvel
