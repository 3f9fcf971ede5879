// The Calculate action with one input holding a pasted text of a million
// code units: digits, blanks, markers and non-ASCII text. Each text reads as
// the same number as a worked case's input (tests/support/worked_cases.h), so
// the outputs must be that case's.

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "action/calculate_action.h"
#include "action/fields.h"
#include "core/run_error.h"
#include "tests/support/escaped.h"
#include "tests/support/worked_cases.h"

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

// The outputs a worked case writes, in write order (the marker left out).
std::vector<std::u16string> OutputsOf(const char* name) {
    std::vector<std::u16string> outputs;
    for (const auto& write : quorvel::test::FindWorkedCase(name).writes) {
        if (write.field != Field::kFwanted) outputs.push_back(write.text);
    }
    return outputs;
}
using Written = std::vector<std::u16string>;

const Written kInitial = OutputsOf("InitialTexts");
const Written kError10Hz = OutputsOf("Error10Hz");
const Written k48Bits = OutputsOf("Bits48");
const Written kAboveNyquist = OutputsOf("AboveNyquist");
// Fwanted reads as 0 and Ferror is empty: 0/0 when the clock is inferred.
const Written kZeroWordThenStop = OutputsOf("ZeroWantedNoError");
const Written kNothing = {};

struct LongFieldCase {
    const char* name;
    Field field;
    std::function<std::u16string()> text;
    Written written;
    std::optional<ErrorKind> error = std::nullopt;
    bool marked = false;
};

// The field and the start of its text, escaped; the whole would be a megabyte.
void PrintTo(const LongFieldCase& c, std::ostream* os) {
    const std::u16string text = c.text();
    *os << quorvel::FieldName(c.field) << " of " << text.size() << " code units starting \""
        << quorvel::test::Escaped(std::u16string_view(text).substr(0, 24)) << '"';
}

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

    quorvel::FieldTexts inputs;
    inputs.SetText(c.field, text);
    const quorvel::ActionOutcome outcome = quorvel::RunAction(std::move(inputs));
    const quorvel::FieldTexts& fields = outcome.fields;

    EXPECT_EQ(outcome.error, c.error);
    const std::u16string marked = text + u" NYQUIST!";
    EXPECT_TRUE(fields[c.field] == (c.marked ? marked : text)) << "the long text was altered";
    for (std::size_t i = 0; i < quorvel::kOutputFields.size(); ++i) {
        const Field field = quorvel::kOutputFields[i];
        const std::u16string_view expected = i < c.written.size() ? std::u16string_view(c.written[i]) : u"";
        EXPECT_TRUE(fields[field] == expected) << "output " << quorvel::FieldName(field);
    }
}

INSTANTIATE_TEST_SUITE_P(MillionCodeUnits, LongFieldTest, testing::ValuesIn(Cases()),
                         [](const testing::TestParamInfo<LongFieldCase>& case_info) {
                             return std::string(case_info.param.name);
                         });

}  // namespace
