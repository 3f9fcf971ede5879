// The Calculate action at the edges where a plausible fault shows: each row
// gives the four inputs and every write the action makes, in order, with the
// error that stops it. The expected texts were worked out with an
// independent model of the rules (Python floats, which round every operation
// as doubles do, Fractions for the rounding of words and bit sizes, and
// Decimal for the exact 15-digit texts), never with the code under test.

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "core/run_error.h"
#include "tests/printable.h"
#include "window/calculate_action.h"
#include "window/field_write_log.h"
#include "window/fields.h"

namespace quorvel {

// Found by argument-dependent lookup for the write log's entries.
void PrintTo(const FieldWriteLog::Write& write, std::ostream* os) {
    *os << FieldName(write.field) << " \"" << testing_text::Escaped(write.text) << '"';
}

namespace {

struct EdgeInputs {
    std::u16string bits, clock, wanted, error;
};

struct EdgeRun {
    const char* name;
    EdgeInputs in;
    std::optional<ErrorKind> error;
    std::vector<FieldWriteLog::Write> writes;  // exactly these, in this order
};

void PrintTo(const EdgeRun& run, std::ostream* os) {
    using testing_text::Escaped;
    *os << "BitSize \"" << Escaped(run.in.bits) << "\", Fclock \"" << Escaped(run.in.clock)
        << "\", Fwanted \"" << Escaped(run.in.wanted) << "\", Ferror \"" << Escaped(run.in.error) << '"';
}

class ActionEdge : public testing::TestWithParam<EdgeRun> {};

TEST_P(ActionEdge, WritesExactlyTheseAndStopsWhereItShould) {
    const EdgeRun& row = GetParam();
    FieldTexts texts;
    texts.SetText(Field::kBitSize, row.in.bits);
    texts.SetText(Field::kFclock, row.in.clock);
    texts.SetText(Field::kFwanted, row.in.wanted);
    texts.SetText(Field::kFerror, row.in.error);
    FieldWriteLog log(texts);
    CalculatorVariables vars;
    EXPECT_EQ(CalculateCatchingRunTimeError(log, vars), row.error);
    EXPECT_EQ(log.writes(), row.writes);
}

INSTANTIATE_TEST_SUITE_P(
    Edges, ActionEdge,
    testing::Values(
        // The Nyquist test with a negative or a zero clock: Fout > 0.499 Fc as it stands.
        EdgeRun{"NegativeClockMarks", {u"32", u"-100", u"25", u""}, std::nullopt,
                {{Field::kFwanted, u"25 NYQUIST!"}, {Field::kResol, u"-.023283064365387"},
                 {Field::kNideal, u"-1073741824"}, {Field::kNhex, u"0x FFFFC000 0000"},
                 {Field::kActualClock, u"-100"}, {Field::kNewN, u"-1073741824"},
                 {Field::kNewNhex, u"0x FFFFC000 0000"}}},
        EdgeRun{"NegativeClockNegativeWanted", {u"32", u"-100", u"-60", u""}, std::nullopt,
                {{Field::kResol, u"-.023283064365387"}, {Field::kNideal, u" 2576980378"},
                 {Field::kNhex, u"0x 9999 999A"}, {Field::kActualClock, u"-99.999999984478"},
                 {Field::kNewN, u" 2576980378"}, {Field::kNewNhex, u"0x 9999 999A"}}},
        EdgeRun{"ZeroClockNegativeWanted", {u"32", u"0", u"-25", u""}, ErrorKind::kDivisionByZero,
                {{Field::kResol, u" 0"}}},
        // Formulas in their written order, shown where another order overflows or
        // does not: huge frequencies, a huge measured error, and widths around the
        // subnormal powers of two (-1021...-1025) and around 1023.
        EdgeRun{"QuotientBeforePowerAtHugeFrequencies", {u"32", u"1e300", u"1e300", u""}, ErrorKind::kOverflow,
                {{Field::kFwanted, u"1e300 NYQUIST!"}, {Field::kResol, u" 2.3283064365387E+296"},
                 {Field::kNideal, u" 4294967296"}, {Field::kNhex, u"0x 10000 0000"}}},
        EdgeRun{"QuotientOverflowsBeforeTinyPower", {u"-1000", u"1e-300", u"1e300", u""}, ErrorKind::kOverflow,
                {{Field::kFwanted, u"1e300 NYQUIST!"}, {Field::kResol, u" 10715086.0718627"}}},
        EdgeRun{"HugeErrorOverflowsBeforeDivision", {u"32", u"100", u"99", u"1e308"}, ErrorKind::kOverflow,
                {{Field::kFwanted, u"99 NYQUIST!"}, {Field::kResol, u" .023283064365387"},
                 {Field::kNideal, u" 4252017623"}, {Field::kNhex, u"0x FD70 A3D7"}}},
        EdgeRun{"WidthMinus1021", {u"-1021", u"1e-6", u"1.7e302", u""}, ErrorKind::kOverflow,
                {{Field::kFwanted, u"1.7e302 NYQUIST!"}, {Field::kResol, u" 2.24711641857789E+307"},
                 {Field::kNideal, u" 8"}, {Field::kNhex, u"0x 0 0008"},
                 {Field::kActualClock, u" 9.45656389865561E-07"}}},
        EdgeRun{"WidthMinus1022", {u"-1022", u"1e-6", u"1.7e302", u""}, ErrorKind::kOverflow,
                {{Field::kFwanted, u"1.7e302 NYQUIST!"}, {Field::kResol, u" 4.49423283715579E+307"},
                 {Field::kNideal, u" 4"}, {Field::kNhex, u"0x 0 0004"},
                 {Field::kActualClock, u" 9.45656389865561E-07"}}},
        EdgeRun{"WidthMinus1023", {u"-1023", u"1e-6", u"1.7e302", u""}, ErrorKind::kOverflow,
                {{Field::kFwanted, u"1.7e302 NYQUIST!"}, {Field::kResol, u" 8.98846567431158E+307"},
                 {Field::kNideal, u" 2"}, {Field::kNhex, u"0x 0 0002"},
                 {Field::kActualClock, u" 9.45656389865561E-07"}}},
        EdgeRun{"WidthMinus1024", {u"-1024", u"1e-300", u"1e-10", u""}, ErrorKind::kDivisionByZero,
                {{Field::kFwanted, u"1e-10 NYQUIST!"}, {Field::kResol, u" 179769313486232"},
                 {Field::kNideal, u" 0"}, {Field::kNhex, u"0x 0 0000"}}},
        EdgeRun{"WidthMinus1025", {u"-1025", u"1e-300", u"1e-10", u""}, ErrorKind::kDivisionByZero,
                {{Field::kFwanted, u"1e-10 NYQUIST!"}, {Field::kResol, u" 359538626972463"},
                 {Field::kNideal, u" 0"}, {Field::kNhex, u"0x 0 0000"}}},
        EdgeRun{"Width1022", {u"1022", u"100", u"25", u""}, ErrorKind::kOverflow,
                {{Field::kResol, u" 2.2250738585072E-300"}, {Field::kNideal, u" 1.12355820928895E+307"}}},
        EdgeRun{"Width1023", {u"1023", u"100", u"25", u""}, ErrorKind::kOverflow,
                {{Field::kResol, u" 1.1125369292536E-300"}, {Field::kNideal, u" 2.24711641857789E+307"}}},
        // A word exactly halfway between two steps goes up, for either sign.
        EdgeRun{"HalfStepRoundsUp", {u"2", u"1", u"2.125", u""}, std::nullopt,
                {{Field::kFwanted, u"2.125 NYQUIST!"}, {Field::kResol, u" 250000"},
                 {Field::kNideal, u" 9"}, {Field::kNhex, u"0x 0 0009"},
                 {Field::kActualClock, u" .944444444444445"}, {Field::kNewN, u" 9"},
                 {Field::kNewNhex, u"0x 0 0009"}}},
        EdgeRun{"NegativeHalfStepRoundsUp", {u"2", u"1", u"-2.125", u""}, std::nullopt,
                {{Field::kResol, u" 250000"}, {Field::kNideal, u"-8"},
                 {Field::kNhex, u"0x FFFFFFFF FFF8"}, {Field::kActualClock, u" 1.0625"},
                 {Field::kNewN, u"-8"}, {Field::kNewNhex, u"0x FFFFFFFF FFF8"}}},
        // Last digits that depend on how megahertz become hertz and back.
        EdgeRun{"MegahertzOf24Bits", {u"24", u"180", u"10", u"-1000"}, std::nullopt,
                {{Field::kResol, u" 10.7288360595703"}, {Field::kNideal, u" 932068"},
                 {Field::kNhex, u"0x 0E 38E4"}, {Field::kActualClock, u" 179.981914177936"},
                 {Field::kNewN, u" 932161"}, {Field::kNewNhex, u"0x 0E 3941"}}},
        EdgeRun{"MegahertzOf31Bits", {u"31", u"100", u"10", u"-1000"}, std::nullopt,
                {{Field::kResol, u" 4.65661287307739E-02"}, {Field::kNideal, u" 214748365"},
                 {Field::kNhex, u"0x 0CCC CCCD"}, {Field::kActualClock, u" 99.9899999068771"},
                 {Field::kNewN, u" 214769842"}, {Field::kNewNhex, u"0x 0CCD 20B2"}}},
        EdgeRun{"HertzOf1Point1", {u"48", u"50", u"1.1", u"1"}, std::nullopt,
                {{Field::kResol, u" 1.77635683940025E-07"}, {Field::kNideal, u" 6192449487634"},
                 {Field::kNhex, u"0x 05A1 CAC0 8312"}, {Field::kActualClock, u" 50.0000454545489"},
                 {Field::kNewN, u" 6192443858140"}, {Field::kNewNhex, u"0x 05A1 CA6A 9CDC"}}},
        EdgeRun{"HertzOf33Point3", {u"24", u"100", u"33.3", u""}, std::nullopt,
                {{Field::kResol, u" 5.96046447753906"}, {Field::kNideal, u" 5586813"},
                 {Field::kNhex, u"0x 55 3F7D"}, {Field::kActualClock, u" 99.9999987112509"},
                 {Field::kNewN, u" 5586813"}, {Field::kNewNhex, u"0x 55 3F7D"}}},
        EdgeRun{"ErrorAddedBeforeScaling", {u"32", u"10", u"13", u"-1000"}, std::nullopt,
                {{Field::kFwanted, u"13 NYQUIST!"}, {Field::kResol, u" 2.3283064365387E-03"},
                 {Field::kNideal, u" 5583457485"}, {Field::kNhex, u"0x 14CCC CCCD"},
                 {Field::kActualClock, u" 9.9992307688726"}, {Field::kNewN, u" 5583887015"},
                 {Field::kNewNhex, u"0x 14CD3 5AA7"}}},
        // Hex padding at widths that are no multiple of 4.
        EdgeRun{"PaddingAt21Bits", {u"21", u"100", u"1", u""}, std::nullopt,
                {{Field::kResol, u" 47.6837158203125"}, {Field::kNideal, u" 20972"},
                 {Field::kNhex, u"0x 00 51EC"}, {Field::kActualClock, u" 99.9977112340263"},
                 {Field::kNewN, u" 20972"}, {Field::kNewNhex, u"0x 00 51EC"}}},
        EdgeRun{"PaddingAt33Bits", {u"33", u"100", u"1", u""}, std::nullopt,
                {{Field::kResol, u" 1.16415321826935E-02"}, {Field::kNideal, u" 85899346"},
                 {Field::kNhex, u"0x 0051E B852"}, {Field::kActualClock, u" 99.9999999068677"},
                 {Field::kNewN, u" 85899346"}, {Field::kNewNhex, u"0x 0051E B852"}}},
        EdgeRun{"PaddingAt35Bits", {u"35", u"100", u"1", u""}, std::nullopt,
                {{Field::kResol, u" 2.91038304567337E-03"}, {Field::kNideal, u" 343597384"},
                 {Field::kNhex, u"0x 0147A E148"}, {Field::kActualClock, u" 99.9999999068677"},
                 {Field::kNewN, u" 343597384"}, {Field::kNewNhex, u"0x 0147A E148"}}},
        EdgeRun{"PaddingAt47Bits", {u"47", u"100", u"1", u""}, std::nullopt,
                {{Field::kResol, u" 7.105427357601E-07"}, {Field::kNideal, u" 1407374883553"},
                 {Field::kNhex, u"0x 0147AE14 7AE1"}, {Field::kActualClock, u" 100.00000000002"},
                 {Field::kNewN, u" 1407374883553"}, {Field::kNewNhex, u"0x 0147AE14 7AE1"}}},
        EdgeRun{"PaddingAt49Bits", {u"49", u"100", u"1", u""}, std::nullopt,
                {{Field::kResol, u" 1.77635683940025E-07"}, {Field::kNideal, u" 5629499534213"},
                 {Field::kNhex, u"0x 0051EB851 EB85"}, {Field::kActualClock, u" 100.000000000002"},
                 {Field::kNewN, u" 5629499534213"}, {Field::kNewNhex, u"0x 0051EB851 EB85"}}},
        // Which error wins when two steps would both fail.
        EdgeRun{"BadBitSizeBeforeOverflowingClock", {u"x", u"1e303", u"25", u""}, ErrorKind::kTypeMismatch, {}},
        EdgeRun{"PowerOverflowBeforeZeroClock", {u"1024", u"0", u"25", u""}, ErrorKind::kOverflow,
                {{Field::kFwanted, u"25 NYQUIST!"}}},
        EdgeRun{"ZeroPowerOverZeroClock", {u"-1075", u"0", u"25", u""}, ErrorKind::kOverflow,
                {{Field::kFwanted, u"25 NYQUIST!"}}},
        EdgeRun{"ZeroPower", {u"-1075", u"100", u"25", u""}, ErrorKind::kDivisionByZero, {}},
        EdgeRun{"ZeroOverZeroBeforeBadError", {u"32", u"0", u"0", u"1e309"}, ErrorKind::kOverflow,
                {{Field::kResol, u" 0"}}},
        EdgeRun{"BadErrorBeforeZeroWord", {u"32", u"100", u"0", u"1e309"}, ErrorKind::kOverflow,
                {{Field::kResol, u" .023283064365387"}, {Field::kNideal, u" 0"},
                 {Field::kNhex, u"0x 0000 0000"}}},
        // Bit sizes decided by digits past what a double keeps.
        EdgeRun{"BitSizeJustAboveAHalf", {u"0.50000000000000000001", u"100", u"25", u""}, std::nullopt,
                {{Field::kResol, u" 50000000"}, {Field::kNideal, u" 1"}, {Field::kNhex, u"0x 0 0001"},
                 {Field::kActualClock, u" 50"}, {Field::kNewN, u" 1"}, {Field::kNewNhex, u"0x 0 0001"}}},
        EdgeRun{"BitSize1023JustBelowAHalf", {u"1023.49999999999999999", u"100", u"25", u""}, ErrorKind::kOverflow,
                {{Field::kResol, u" 1.1125369292536E-300"}, {Field::kNideal, u" 2.24711641857789E+307"}}},
        EdgeRun{"BitSizeJustBelowMinimum", {u"-32768.5000000000000001", u"100", u"25", u""}, ErrorKind::kOverflow, {}},
        EdgeRun{"BitSizeJustBelowMaximumHalf", {u"32767.4999999999999999", u"100", u"60", u""}, ErrorKind::kOverflow,
                {{Field::kFwanted, u"60 NYQUIST!"}}}),
    [](const testing::TestParamInfo<EdgeRun>& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace quorvel
