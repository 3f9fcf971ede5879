#pragma once
// What a tuning word really gives, computed exactly rather than in doubles:
// the frequency it produces, how far that lies from the wanted frequency,
// and the word an exact calculation from the written decimal numbers would
// have chosen. Whole numbers come out with every digit; other figures as the
// exact value rounded to a stated number of significant digits. The exact
// arithmetic stays inside the core: this interface is standard library only.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace quorvel {

// Frequencies and errors in hertz keep 20 significant digits: a millionth of
// a hertz at a few hundred megahertz, below the step of any 48-bit generator.
inline constexpr int kHertzSignificantDigits = 20;
// Errors in parts per billion keep 10: a relative figure needs no more.
inline constexpr int kPartsPerBillionSignificantDigits = 10;

// The written numbers an exact cross-check reads must each fit in this many
// digits when written out in full ("1e-3" needs 3, "12.5e2" needs 4): every
// double, and anything an engineer types, fits with room to spare, while a
// pasted exponent such as 1e-999999999 would ask for a number of a gigabyte.
inline constexpr std::int64_t kMaxExactDigits = 4000;

// An exact value rounded to `significant` digits, exact halves to the even
// digit, trailing zeros dropped, written the way JavaScript writes numbers:
// positional from 1e-7 up to below 1e21, a leading "0" before the point,
// otherwise one digit, the point, the rest and "e" with a signed exponent.
//   66742358500463 * 10^8 / 2^48 at 20 digits -> "23711649.000000178944"
//   2/3 at 10 digits                          -> "0.6666666667"
//   2^-30 at 20 digits (a half: to even)      -> "9.3132257461547851562e-10"
//   10^21 - 5 at 20 digits                    -> "1e+21"
//   0                                         -> "0"
// Every figure below that is not a whole number is written this way.

// What a word produces with a clock: word * clock / 2^bits, and, when a
// wanted frequency is given, the output minus it, in hertz and in parts per
// billion of the wanted frequency (none for a wanted frequency of 0).
// From a calculator that gives short forms, each figure also comes at a
// glance (ShortFigure), unit included, rounded once from the exact value
// rather than from the figure in full: "+23.711 6 MHz", "+178.944 nHz",
// "+0.000 007 546 67 ppb". A short form is present exactly when its figure
// is and the calculator gives them.
struct FrequencyFigures {
    std::string output_hz;
    std::optional<std::string> error_hz;
    std::optional<std::string> error_ppb;
    std::optional<std::string> output_short;
    std::optional<std::string> error_short;
    std::optional<std::string> error_ppb_short;
};

// The nearest word computed exactly from the decimal numbers written in the
// fields, with halves rounded up as the word's own rule does.
struct CrossCheck {
    std::string word;   // every digit, "-" in front when negative
    std::string steps;  // this word minus the word shown: "0" when they agree, "-1" one step below
    // Present when the words differ: what this word produces with the same
    // clock as the word shown, against the same wanted frequency.
    std::optional<FrequencyFigures> figures;
};

// Why a word has no cross-check.
enum class NoCrossCheck {
    // A written number needs more than kMaxExactDigits digits.
    kBeyondExactRange,
    // The exact clock is zero: no word gives the wanted frequency.
    kNoExactClock,
};

struct WordFigures {
    std::string word;  // the word shown, every digit
    FrequencyFigures produced;
    std::variant<CrossCheck, NoCrossCheck> cross_check;
};

// What the calculation used for a word, and the texts it read them from.
//   `clock`, `wanted`, `word`: the doubles, in hertz and steps
//   `bits`: the width, with 2^bits a finite, non-zero double (as it is for
//     every word the calculation reached)
struct WordInUse {
    double word = 0;
    double clock = 0;
    double wanted = 0;
    std::int32_t bits = 0;
};

// A tuning word typed by the user, in decimal ("1073741824", " 1073741824",
// "1e3") or hexadecimal after "0x", blanks allowed between the digits as
// the hex fields show them ("0x 4000 0000", "0x 028F 5C28 F5C3",
// "0x40000000").
enum class WordTextFault {
    kNotWhole,   // no number, or one with a fraction: "1.5", "0x", "25 MHz"
    kNegative,   // "-1"
    kTooLarge,   // 2^bits or more
};

struct WordQueryFigures {
    std::string word;         // every decimal digit
    std::string hex_literal;  // "0x40000000": upper case, no blanks, no leading zeros
    FrequencyFigures produced;
};

// Whether a calculator's figures come with their short forms too. Only a
// front end that shows figures at a glance needs them, and they cost a
// details run in the companion, which prints the figures in full alone,
// about a tenth of its time.
enum class ShortForms { kGiven, kOmitted };

// Computes the figures of the two words of a run, and of a typed word. It
// keeps the working storage of its exact arithmetic from one call to the
// next, so that a batch of runs allocates it once; no result carries over
// between calls. One object per thread.
class WordFigureCalculator {
public:
    // Short forms are given unless the caller leaves them out: a front end
    // that shows its figures at a glance needs no option to get them.
    explicit WordFigureCalculator(ShortForms short_forms = ShortForms::kGiven);
    ~WordFigureCalculator();
    WordFigureCalculator(WordFigureCalculator&&) noexcept;
    WordFigureCalculator& operator=(WordFigureCalculator&&) noexcept;

    // The ideal word N, whose clock is the one entered. The cross-check
    // reads the clock and wanted frequency texts (megahertz) as the fields
    // are read, but keeps the written decimal value: nearest word of
    // wanted / clock * 2^bits, halves up.
    //   clock "100", wanted "23.711649", 48 bits, N = 66742358500463
    //     -> output "23711649.000000178944" Hz,
    //        error "0.00000017894399206852540374" Hz,
    //        cross-check word 66742358500462, steps "-1"
    WordFigures Ideal(const WordInUse& used, std::u16string_view clock_text, std::u16string_view wanted_text);

    // The corrected word N2, whose clock is the inferred one. The
    // cross-check starts from the exact inferred clock of the word that was
    // loaded, (wanted + error) * 2^bits / loaded_word, with the wanted
    // frequency (megahertz) and measured error (hertz) as written, and takes
    // the nearest word of wanted / that clock * 2^bits, halves up.
    WordFigures Corrected(const WordInUse& used, double loaded_word, std::u16string_view wanted_text,
                          std::u16string_view error_text);

    // What the typed word produces with `clock` (hertz) at `bits`, any width
    // from -32768 to 32767, exactly; with a wanted frequency, also the error.
    //   "0x 4000 0000", clock 100000000, 32 bits -> output "25000000"
    //   "0x100000000", 32 bits -> kTooLarge     "-5" -> kNegative
    std::variant<WordQueryFigures, WordTextFault> Typed(std::u16string_view word_text, double clock,
                                                        std::int32_t bits, std::optional<double> wanted);

private:
    class Workspace;
    std::unique_ptr<Workspace> workspace_;
};

}  // namespace quorvel
