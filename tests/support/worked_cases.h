#pragma once
// The worked cases of the Calculate action, in one table that the action,
// window, companion and robustness tests all check against: the four input
// texts, then every set-text the run makes, in order, and the run-time error
// that stops it, if any.
//
// How the expected texts were worked out: the words from
// N = floor(Fout / Fc * 2^bits + 0.5) with exact fractions (Python's
// fractions module) and checked against double rounding where a word lies
// near a half; the decimal texts as the exact value of the double rounded to
// 15 significant digits (Python's decimal module); the hex words by hand from
// the words. A failing case lists only the writes before its stop.

#include <array>
#include <optional>
#include <stdexcept>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "action/field_write_log.h"
#include "action/fields.h"
#include "core/run_error.h"

namespace quorvel::test {

struct WorkedCase {
    const char* name;  // also the test name: letters and digits only
    // BitSize, Fclock, Fwanted, Ferror.
    std::array<std::u16string_view, 4> inputs;
    std::vector<FieldWriteLog::Write> writes;
    std::optional<ErrorKind> error;
};

inline void PrintTo(const WorkedCase& c, std::ostream* os) { *os << c.name; }

// The outputs of a finished run, in write order.
inline std::vector<FieldWriteLog::Write> Outputs(std::u16string_view resol, std::u16string_view nideal,
                                                 std::u16string_view nhex, std::u16string_view actual_clock,
                                                 std::u16string_view new_n, std::u16string_view new_nhex) {
    return {{Field::kResol, std::u16string(resol)},          {Field::kNideal, std::u16string(nideal)},
            {Field::kNhex, std::u16string(nhex)},            {Field::kActualClock, std::u16string(actual_clock)},
            {Field::kNewN, std::u16string(new_n)},           {Field::kNewNhex, std::u16string(new_nhex)}};
}

inline std::vector<FieldWriteLog::Write> Marked(std::u16string_view wanted,
                                                std::vector<FieldWriteLog::Write> then) {
    then.insert(then.begin(), {Field::kFwanted, std::u16string(wanted)});
    return then;
}

inline constexpr std::u16string_view kResol32 = u" .023283064365387";
inline constexpr std::u16string_view kResol48 = u" 3.5527136788005E-07";

// Runs that finish.
inline const std::vector<WorkedCase>& FinishedRuns() {
    static const std::vector<WorkedCase> cases = {
        {"InitialTexts", {u"32", u"100", u"25", u""},
         Outputs(kResol32, u" 1073741824", u"0x 4000 0000", u" 100", u" 1073741824", u"0x 4000 0000"), {}},
        {"Error10Hz", {u"32", u"100", u"25", u"10"},
         Outputs(kResol32, u" 1073741824", u"0x 4000 0000", u" 100.00004", u" 1073741395", u"0x 3FFF FE53"), {}},
        // Blanks anywhere in a frequency; "Hz" after the error ends its number.
        {"BlanksEverywhere", {u" 32 ", u"1 00", u"2 5", u"1 0 Hz"},
         Outputs(kResol32, u" 1073741824", u"0x 4000 0000", u" 100.00004", u" 1073741395", u"0x 3FFF FE53"), {}},
        {"Bits48", {u"48", u"100", u"25", u""},
         Outputs(kResol48, u" 70368744177664", u"0x 4000 0000 0000", u" 100", u" 70368744177664",
                 u"0x 4000 0000 0000"), {}},
        {"AboveNyquist", {u"32", u"100", u"60", u""},
         Marked(u"60 NYQUIST!", Outputs(kResol32, u" 2576980378", u"0x 9999 999A", u" 99.999999984478",
                                        u" 2576980378", u"0x 9999 999A")), {}},
        {"Clock125", {u"32", u"125", u"25", u""},
         Outputs(u" 2.91038304567337E-02", u" 858993459", u"0x 3333 3333", u" 125.000000029104", u" 858993459",
                 u"0x 3333 3333"), {}},
        {"Clock40MarksWanted25", {u"32", u"40", u"25", u""},
         Marked(u"25 NYQUIST!", Outputs(u" 9.31322574615479E-03", u" 2684354560", u"0x A000 0000", u" 40",
                                        u" 2684354560", u"0x A000 0000")), {}},
        {"Wanted1MHz", {u"32", u"100", u"1", u""},
         Outputs(kResol32, u" 42949673", u"0x 028F 5C29", u" 99.9999999068677", u" 42949673", u"0x 028F 5C29"), {}},
        {"Wanted1MHzBits48", {u"48", u"100", u"1", u""},
         Outputs(kResol48, u" 2814749767107", u"0x 028F 5C28 F5C3", u" 99.9999999999844", u" 2814749767107",
                 u"0x 028F 5C28 F5C3"), {}},
        {"Clock180Bits48", {u"48", u"180", u"10", u""},
         Outputs(u" 6.3948846218409E-07", u" 15637498706148", u"0x 0E38 E38E 38E4", u" 179.999999999995",
                 u" 15637498706148", u"0x 0E38 E38E 38E4"), {}},
        // Seven hex digits at 28 bits: the high group holds three.
        {"Bits28", {u"28", u"100", u"1", u""},
         Outputs(u" .372529029846191", u" 2684355", u"0x 028 F5C3", u" 99.9999836087254", u" 2684355",
                 u"0x 028 F5C3"), {}},
    };
    return cases;
}

// Runs that stop at a run-time error.
inline const std::vector<WorkedCase>& FailedRuns() {
    using W = std::vector<FieldWriteLog::Write>;
    static const std::vector<WorkedCase> cases = {
        // Wanted 60 would be marked, but the width fails first.
        {"EmptyBitSize", {u"", u"100", u"60", u""}, {}, ErrorKind::kTypeMismatch},
        {"WordsInBitSize", {u"32 bits", u"100", u"25", u""}, {}, ErrorKind::kTypeMismatch},
        {"BitSizeTooLarge", {u"40000", u"100", u"25", u""}, {}, ErrorKind::kOverflow},
        {"ClockBeyondDouble", {u"32", u"1e303", u"25", u""}, {}, ErrorKind::kOverflow},
        {"WantedBeyondDouble", {u"32", u"100", u"1e400", u""}, {}, ErrorKind::kOverflow},
        {"ZeroClock", {u"32", u"0", u"25", u""}, W{{Field::kFwanted, u"25 NYQUIST!"}, {Field::kResol, u" 0"}},
         ErrorKind::kDivisionByZero},
        {"ZeroClockAndWanted", {u"32", u"", u"0", u""}, W{{Field::kResol, u" 0"}}, ErrorKind::kOverflow},
        {"ZeroWantedNoError", {u"32", u"100", u"0", u""},
         W{{Field::kResol, std::u16string(kResol32)}, {Field::kNideal, u" 0"}, {Field::kNhex, u"0x 0000 0000"}},
         ErrorKind::kOverflow},
        {"ZeroWantedWithError", {u"32", u"100", u"0", u"5"},
         W{{Field::kResol, std::u16string(kResol32)}, {Field::kNideal, u" 0"}, {Field::kNhex, u"0x 0000 0000"}},
         ErrorKind::kDivisionByZero},
        {"ErrorCancelsWanted", {u"32", u"100", u"25", u"-25000000"},
         W{{Field::kResol, std::u16string(kResol32)},
           {Field::kNideal, u" 1073741824"},
           {Field::kNhex, u"0x 4000 0000"},
           {Field::kActualClock, u" 0"}},
         ErrorKind::kDivisionByZero},
        {"HalfTheClockAt48Bits", {u"48", u"100", u"50", u""},
         W{{Field::kFwanted, u"50 NYQUIST!"},
           {Field::kResol, std::u16string(kResol48)},
           {Field::kNideal, u" 140737488355328"}},
         ErrorKind::kOverflow},
        {"SixtyOfHundredAt48Bits", {u"48", u"100", u"60", u""},
         W{{Field::kFwanted, u"60 NYQUIST!"},
           {Field::kResol, std::u16string(kResol48)},
           {Field::kNideal, u" 168884986026394"}},
         ErrorKind::kOverflow},
        {"WidthOf1024", {u"1024", u"100", u"25", u""}, {}, ErrorKind::kOverflow},
        {"WidthOf1024Marked", {u"1024", u"100", u"60", u""}, W{{Field::kFwanted, u"60 NYQUIST!"}},
         ErrorKind::kOverflow},
        {"TinyWidth", {u"-1075", u"100", u"25", u""}, {}, ErrorKind::kDivisionByZero},
        {"ErrorBeyondDouble", {u"32", u"100", u"25", u"1e309"},
         W{{Field::kResol, std::u16string(kResol32)},
           {Field::kNideal, u" 1073741824"},
           {Field::kNhex, u"0x 4000 0000"}},
         ErrorKind::kOverflow},
        // An error that nearly cancels the wanted frequency infers a clock of
        // a few microhertz; the corrected word is then far too wide for hex.
        {"CorrectedWordTooWide", {u"32", u"100", u"25", u"-24999999.999999"},
         W{{Field::kResol, std::u16string(kResol32)},
           {Field::kNideal, u" 1073741824"},
           {Field::kNhex, u"0x 4000 0000"},
           {Field::kActualClock, u" 3.99351119995117E-12"},
           {Field::kNewN, u" 2.68871619544507E+22"}},
         ErrorKind::kOverflow},
    };
    return cases;
}

// Runs at the edges where a plausible fault shows: the Nyquist test with a
// negative or zero clock, formula order at the ends of the double range,
// rounding of halves, the megahertz conversion, which of two failing steps
// wins, and bit sizes decided by digits a double cannot hold (hex padding at
// widths that are no multiple of 4 is the core's HexPadding table). Worked out
// the same way, every double operation rounded as written (Python floats).
inline const std::vector<WorkedCase>& EdgeRuns() {
    using W = std::vector<FieldWriteLog::Write>;
    static const std::vector<WorkedCase> cases = {
        // The Nyquist test with a negative or a zero clock: Fout > 0.499 Fc as it stands.
        {"NegativeClockMarks", {u"32", u"-100", u"25", u""},
         Marked(u"25 NYQUIST!", Outputs(u"-.023283064365387", u"-1073741824", u"0x FFFFC000 0000", u"-100",
                 u"-1073741824", u"0x FFFFC000 0000")),
         {}},
        {"NegativeClockNegativeWanted", {u"32", u"-100", u"-60", u""},
         Outputs(u"-.023283064365387", u" 2576980378", u"0x 9999 999A", u"-99.999999984478", u" 2576980378",
                 u"0x 9999 999A"),
         {}},
        {"ZeroClockNegativeWanted", {u"32", u"0", u"-25", u""},
         W{{Field::kResol, u" 0"}},
         ErrorKind::kDivisionByZero},
        // Formulas in their written order, shown where another order overflows or
        // does not: huge frequencies, a huge measured error, widths around the
        // subnormal powers of two (-1021...-1025) and around 1023.
        {"QuotientBeforePowerAtHugeFrequencies", {u"32", u"1e300", u"1e300", u""},
         W{{Field::kFwanted, u"1e300 NYQUIST!"}, {Field::kResol, u" 2.3283064365387E+296"},
           {Field::kNideal, u" 4294967296"}, {Field::kNhex, u"0x 10000 0000"}},
         ErrorKind::kOverflow},
        {"QuotientOverflowsBeforeTinyPower", {u"-1000", u"1e-300", u"1e300", u""},
         W{{Field::kFwanted, u"1e300 NYQUIST!"}, {Field::kResol, u" 10715086.0718627"}},
         ErrorKind::kOverflow},
        {"HugeErrorOverflowsBeforeDivision", {u"32", u"100", u"99", u"1e308"},
         W{{Field::kFwanted, u"99 NYQUIST!"}, {Field::kResol, u" .023283064365387"},
           {Field::kNideal, u" 4252017623"}, {Field::kNhex, u"0x FD70 A3D7"}},
         ErrorKind::kOverflow},
        {"WidthMinus1021", {u"-1021", u"1e-6", u"1.7e302", u""},
         W{{Field::kFwanted, u"1.7e302 NYQUIST!"}, {Field::kResol, u" 2.24711641857789E+307"},
           {Field::kNideal, u" 8"}, {Field::kNhex, u"0x 0 0008"},
           {Field::kActualClock, u" 9.45656389865561E-07"}},
         ErrorKind::kOverflow},
        {"WidthMinus1022", {u"-1022", u"1e-6", u"1.7e302", u""},
         W{{Field::kFwanted, u"1.7e302 NYQUIST!"}, {Field::kResol, u" 4.49423283715579E+307"},
           {Field::kNideal, u" 4"}, {Field::kNhex, u"0x 0 0004"},
           {Field::kActualClock, u" 9.45656389865561E-07"}},
         ErrorKind::kOverflow},
        {"WidthMinus1023", {u"-1023", u"1e-6", u"1.7e302", u""},
         W{{Field::kFwanted, u"1.7e302 NYQUIST!"}, {Field::kResol, u" 8.98846567431158E+307"},
           {Field::kNideal, u" 2"}, {Field::kNhex, u"0x 0 0002"},
           {Field::kActualClock, u" 9.45656389865561E-07"}},
         ErrorKind::kOverflow},
        {"WidthMinus1024", {u"-1024", u"1e-300", u"1e-10", u""},
         W{{Field::kFwanted, u"1e-10 NYQUIST!"}, {Field::kResol, u" 179769313486232"}, {Field::kNideal, u" 0"},
           {Field::kNhex, u"0x 0 0000"}},
         ErrorKind::kDivisionByZero},
        {"WidthMinus1025", {u"-1025", u"1e-300", u"1e-10", u""},
         W{{Field::kFwanted, u"1e-10 NYQUIST!"}, {Field::kResol, u" 359538626972463"}, {Field::kNideal, u" 0"},
           {Field::kNhex, u"0x 0 0000"}},
         ErrorKind::kDivisionByZero},
        {"Width1022", {u"1022", u"100", u"25", u""},
         W{{Field::kResol, u" 2.2250738585072E-300"}, {Field::kNideal, u" 1.12355820928895E+307"}},
         ErrorKind::kOverflow},
        {"Width1023", {u"1023", u"100", u"25", u""},
         W{{Field::kResol, u" 1.1125369292536E-300"}, {Field::kNideal, u" 2.24711641857789E+307"}},
         ErrorKind::kOverflow},
        // A word exactly halfway between two steps goes up, for either sign.
        {"HalfStepRoundsUp", {u"2", u"1", u"2.125", u""},
         Marked(u"2.125 NYQUIST!", Outputs(u" 250000", u" 9", u"0x 0 0009", u" .944444444444445", u" 9",
                 u"0x 0 0009")),
         {}},
        {"NegativeHalfStepRoundsUp", {u"2", u"1", u"-2.125", u""},
         Outputs(u" 250000", u"-8", u"0x FFFFFFFF FFF8", u" 1.0625", u"-8", u"0x FFFFFFFF FFF8"),
         {}},
        // Last digits that depend on how megahertz become hertz and back.
        {"MegahertzOf24Bits", {u"24", u"180", u"10", u"-1000"},
         Outputs(u" 10.7288360595703", u" 932068", u"0x 0E 38E4", u" 179.981914177936", u" 932161",
                 u"0x 0E 3941"),
         {}},
        {"MegahertzOf31Bits", {u"31", u"100", u"10", u"-1000"},
         Outputs(u" 4.65661287307739E-02", u" 214748365", u"0x 0CCC CCCD", u" 99.9899999068771", u" 214769842",
                 u"0x 0CCD 20B2"),
         {}},
        {"HertzOf1Point1", {u"48", u"50", u"1.1", u"1"},
         Outputs(u" 1.77635683940025E-07", u" 6192449487634", u"0x 05A1 CAC0 8312", u" 50.0000454545489",
                 u" 6192443858140", u"0x 05A1 CA6A 9CDC"),
         {}},
        {"HertzOf33Point3", {u"24", u"100", u"33.3", u""},
         Outputs(u" 5.96046447753906", u" 5586813", u"0x 55 3F7D", u" 99.9999987112509", u" 5586813",
                 u"0x 55 3F7D"),
         {}},
        {"ErrorAddedBeforeScaling", {u"32", u"10", u"13", u"-1000"},
         Marked(u"13 NYQUIST!", Outputs(u" 2.3283064365387E-03", u" 5583457485", u"0x 14CCC CCCD",
                 u" 9.9992307688726", u" 5583887015", u"0x 14CD3 5AA7")),
         {}},
        // Which error wins when two steps would both fail.
        {"BadBitSizeBeforeOverflowingClock", {u"x", u"1e303", u"25", u""},
         {},
         ErrorKind::kTypeMismatch},
        {"PowerOverflowBeforeZeroClock", {u"1024", u"0", u"25", u""},
         W{{Field::kFwanted, u"25 NYQUIST!"}},
         ErrorKind::kOverflow},
        {"ZeroPowerOverZeroClock", {u"-1075", u"0", u"25", u""},
         W{{Field::kFwanted, u"25 NYQUIST!"}},
         ErrorKind::kOverflow},
        {"ZeroOverZeroBeforeBadError", {u"32", u"0", u"0", u"1e309"},
         W{{Field::kResol, u" 0"}},
         ErrorKind::kOverflow},
        {"BadErrorBeforeZeroWord", {u"32", u"100", u"0", u"1e309"},
         W{{Field::kResol, u" .023283064365387"}, {Field::kNideal, u" 0"}, {Field::kNhex, u"0x 0000 0000"}},
         ErrorKind::kOverflow},
        // Bit sizes decided by digits past what a double keeps.
        {"BitSizeJustAboveAHalf", {u"0.50000000000000000001", u"100", u"25", u""},
         Outputs(u" 50000000", u" 1", u"0x 0 0001", u" 50", u" 1", u"0x 0 0001"),
         {}},
        {"BitSize1023JustBelowAHalf", {u"1023.49999999999999999", u"100", u"25", u""},
         W{{Field::kResol, u" 1.1125369292536E-300"}, {Field::kNideal, u" 2.24711641857789E+307"}},
         ErrorKind::kOverflow},
        {"BitSizeJustBelowMinimum", {u"-32768.5000000000000001", u"100", u"25", u""},
         {},
         ErrorKind::kOverflow},
        {"BitSizeJustBelowMaximumHalf", {u"32767.4999999999999999", u"100", u"60", u""},
         W{{Field::kFwanted, u"60 NYQUIST!"}},
         ErrorKind::kOverflow},
    };
    return cases;
}

// Every case, finished runs first.
inline std::vector<WorkedCase> AllWorkedCases() {
    std::vector<WorkedCase> all = FinishedRuns();
    all.insert(all.end(), FailedRuns().begin(), FailedRuns().end());
    all.insert(all.end(), EdgeRuns().begin(), EdgeRuns().end());
    return all;
}

// The case of that name; a misspelt name is a fault of the test.
inline const WorkedCase& FindWorkedCase(std::string_view name) {
    for (const auto* table : {&FinishedRuns(), &FailedRuns(), &EdgeRuns()}) {
        for (const WorkedCase& c : *table) {
            if (c.name == name) return c;
        }
    }
    throw std::logic_error("no worked case named " + std::string(name));
}

// Fresh fields holding the window's initial texts with the case's inputs.
inline FieldTexts InputFields(const WorkedCase& c) {
    FieldTexts fields;
    for (std::size_t i = 0; i < kInputFields.size(); ++i) fields.SetText(kInputFields[i], c.inputs[i]);
    return fields;
}

// The fields as the run leaves them: the inputs, then every write.
inline FieldTexts FieldsAfter(const WorkedCase& c) {
    FieldTexts fields = InputFields(c);
    for (const FieldWriteLog::Write& write : c.writes) fields.SetText(write.field, write.text);
    return fields;
}

}  // namespace quorvel::test
