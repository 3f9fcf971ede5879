// The Calculate action with one input holding a pasted text of a million
// code units: digits, blanks, markers and non-ASCII text. The expected
// outputs are the worked examples of the initial texts (25 MHz of 100 MHz at
// 32 bits, with or without a 10 Hz error; 48 bits; 60 MHz above the limit),
// reached through texts that read as the same numbers.

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "window/calculate_action.h"
#include "window/fields.h"
#include "core/run_error.h"

namespace {

using quorvel::ErrorKind;
using quorvel::Field;

constexpr std::size_t kMillion = 1000000;

// Repeats `unit` until the text holds `size` code units (the last copy cut).
std::u16string Repeat(std::u16string_view unit, std::size_t size) {
    std::u16string text;
    text.reserve(size);
    while (text.size() < size) text.append(unit.substr(0, size - text.size()));
    return text;
}

// Non-ASCII text of every kind a paste can bring: Latin-1, BMP, a surrogate
// pair, a lone low and a lone high surrogate, U+FFFF, U+FEFF, a NUL.
constexpr std::u16string_view kNonAscii = u"\u00B5\u20AC\u00E9\U0001F600\xDC00\xD800\xFFFF\uFEFF";
const std::u16string kNonAsciiWithNul = std::u16string(kNonAscii) + u'\0';

// The outputs written, in the write order: all six after a finished run,
// the ones before the stop after an error.
using Written = std::vector<std::u16string_view>;

const Written kInitial = {u" .023283064365387", u" 1073741824", u"0x 4000 0000", u" 100",
                          u" 1073741824", u"0x 4000 0000"};
const Written kError10Hz = {u" .023283064365387", u" 1073741824", u"0x 4000 0000",
                            u" 100.00004", u" 1073741395", u"0x 3FFF FE53"};
const Written k48Bits = {u" 3.5527136788005E-07", u" 70368744177664", u"0x 4000 0000 0000",
                         u" 100", u" 70368744177664", u"0x 4000 0000 0000"};
const Written kAboveNyquist = {u" .023283064365387", u" 2576980378", u"0x 9999 999A",
                               u" 99.999999984478", u" 2576980378", u"0x 9999 999A"};
// Fwanted reads as 0 and Ferror is empty: 0/0 when the clock is inferred.
const Written kZeroWordThenStop = {u" .023283064365387", u" 0", u"0x 0000 0000"};
const Written kNothing = {};

struct LongFieldCase {
    const char* name;
    Field field;
    std::function<std::u16string()> text;
    Written written;
    std::optional<ErrorKind> error = std::nullopt;
    bool marked = false;
};

std::vector<LongFieldCase> Cases() {
    return {
        {"WantedTwentyFiveThenBlanksMarkersAndNonAscii", Field::kFwanted,
         [] {
             std::u16string text = u"25" + Repeat(u" \t\n", kMillion / 2 - 2);
             return text + Repeat(u" NYQUIST!" + kNonAsciiWithNul, kMillion / 2);
         },
         kInitial},
        {"ClockDigitsOneZeroZeroSpreadOverBlanks", Field::kFclock,
         [] {
             return u"1" + Repeat(u" ", kMillion / 2 - 2) + u"0" + Repeat(u"\t\n ", kMillion / 2 - 1) + u"0";
         },
         kInitial},
        {"ClockOneAndAMillionZerosOverflows", Field::kFclock,
         [] { return u"1" + Repeat(u"0", kMillion - 1); }, kNothing, ErrorKind::kOverflow},
        {"ClockWithAHalfMillionZerosAfterThePoint", Field::kFclock,
         [] { return u"100." + Repeat(u"0", kMillion / 2) + Repeat(kNonAscii, kMillion / 2 - 4); },
         kInitial},
        {"ErrorTenWrittenWithAMillionDigitMantissa", Field::kFerror,
         // 10 followed by 999,990 zeros, then E-999990: 10 again.
         [] { return u"10" + Repeat(u"0", 999990) + u"E-999990"; }, kError10Hz},
        {"ErrorTenThenNonAscii", Field::kFerror,
         [] { return u"10" + Repeat(kNonAsciiWithNul, kMillion - 2); }, kError10Hz},
        {"WantedSixtyThenMarkersIsMarkedOnceMore", Field::kFwanted,
         [] { return u"60" + Repeat(u" NYQUIST!", kMillion - 2); }, kAboveNyquist, std::nullopt, true},
        {"WantedBelowTheSmallestDoubleReadsAsZero", Field::kFwanted,
          // 0.000...01 with a million digits: too small for a double, so 0.
         [] { return u"0." + Repeat(u"0", kMillion - 3) + u"1"; }, kZeroWordThenStop,
         ErrorKind::kOverflow},
        {"BitSizeFortyEightInAMillionSpaces", Field::kBitSize,
         [] { return Repeat(u" ", kMillion / 2 - 1) + u"48" + Repeat(u" ", kMillion / 2 - 1); },
         k48Bits},
        {"BitSizeFollowedByTabsIsATypeMismatch", Field::kBitSize,
         [] { return u"32" + Repeat(u"\t", kMillion - 2); }, kNothing, ErrorKind::kTypeMismatch},
        {"BitSizeOfAMillionDigitsOverflows", Field::kBitSize,
         [] { return Repeat(u"9", kMillion); }, kNothing, ErrorKind::kOverflow},
    };
}

class LongFieldTest : public testing::TestWithParam<LongFieldCase> {};

TEST_P(LongFieldTest, IsCalculatedRight) {
    const LongFieldCase& c = GetParam();
    const std::u16string text = c.text();
    ASSERT_GE(text.size(), kMillion) << "the case's text is shorter than a million code units";

    quorvel::FieldTexts fields;
    fields.SetText(c.field, text);
    quorvel::CalculatorVariables vars;

    std::optional<ErrorKind> error;
    try {
        quorvel::Calculate(fields, vars);
    } catch (const quorvel::RunTimeError& e) {
        error = e.kind();
    }

    EXPECT_EQ(error, c.error);
    const std::u16string marked = text + u" NYQUIST!";
    EXPECT_TRUE(fields[c.field] == (c.marked ? marked : text)) << "the long text was altered";
    for (std::size_t i = 0; i < quorvel::kOutputFields.size(); ++i) {
        const Field field = quorvel::kOutputFields[i];
        const std::u16string_view expected = i < c.written.size() ? c.written[i] : u"";
        EXPECT_TRUE(fields[field] == expected) << "output " << quorvel::FieldName(field);
    }
}

INSTANTIATE_TEST_SUITE_P(MillionCodeUnits, LongFieldTest, testing::ValuesIn(Cases()),
                         [](const testing::TestParamInfo<LongFieldCase>& case_info) {
                             return std::string(case_info.param.name);
                         });

}  // namespace
