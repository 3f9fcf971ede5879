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

#include "core/run_error.h"
#include "window/field_write_log.h"
#include "window/fields.h"

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

// Every case, finished runs first.
inline std::vector<WorkedCase> AllWorkedCases() {
    std::vector<WorkedCase> all = FinishedRuns();
    all.insert(all.end(), FailedRuns().begin(), FailedRuns().end());
    return all;
}

// The case of that name; a misspelt name is a fault of the test.
inline const WorkedCase& FindWorkedCase(std::string_view name) {
    for (const auto* table : {&FinishedRuns(), &FailedRuns()}) {
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
