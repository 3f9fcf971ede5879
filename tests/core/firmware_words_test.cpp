// Register layouts, phase words and words of any modulus, against values
// worked out by hand and published examples of DDS and FPGA accumulators.

#include <gtest/gtest.h>

#include <string>
#include <variant>
#include <vector>

#include "core/modulus.h"
#include "core/phase_word.h"
#include "core/register_layout.h"
#include "core/utf16.h"
#include "tests/support/escaped.h"

namespace quorvel {
namespace {

using test::Escaped;

// 5 MHz from a 25 MHz clock at 28 bits: 0x3333333; a 5-bit phase of 0b10110.
const LayoutWords kWords{{"3333333", 28}, LayoutWord{"16", 5}};

TEST(RegisterLayout, WritesInOrder) {
    struct Case {
        const char* layout;
        std::vector<std::uint64_t> values;
    };
    const Case cases[] = {
        // Two 14-bit halves under a 2-bit address (published worked example).
        {"16:0x4000|w[13:0], 16:0x4000|w[27:14]", {0x7333, 0x4CCC}},
        // The halves the wrong way round would give the same two values swapped.
        {"16:0x4000|w[27:14],16:0x4000|w[13:0]", {0x4CCC, 0x7333}},
        // A 40-bit serial word: the phase in a control byte above the word.
        {"40: p << 35 | w", {0xB003333333}},
        {"8:p<<3 | 1<<2, 32:w", {0xB4, 0x3333333}},
        {"16:(w[27:14]<<2)|1", {0x3331}},
        {"1:w[0], 1:w[2], 64:0xFFFFFFFFFFFFFFFF", {1, 0, 0xFFFFFFFFFFFFFFFF}},
        {"28:w", {0x3333333}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Escaped(std::string(c.layout)));
        const auto result = EvaluateLayout(c.layout, kWords);
        ASSERT_TRUE(std::holds_alternative<std::vector<RegisterWrite>>(result))
            << std::get<LayoutError>(result).reason;
        const auto& writes = std::get<std::vector<RegisterWrite>>(result);
        ASSERT_EQ(writes.size(), c.values.size());
        for (std::size_t i = 0; i < writes.size(); ++i) EXPECT_EQ(writes[i].value, c.values[i]) << "write " << i;
    }
}

TEST(RegisterLayout, FaultsNameTheirPosition) {
    struct Case {
        const char* layout;
        std::size_t position;
        LayoutFault fault;
    };
    const Case cases[] = {
        {"16:0x4000|w[14:0]", 10, LayoutFault::kOverlap},      // a control bit inside the slice
        {"16:0x4000|w[28:14]", 12, LayoutFault::kSlicePastWidth},
        {"14:w[27:14]<<1", 4, LayoutFault::kDoesNotFit},       // 16 bits scaled where 14 are held
        {"16:w[0:13]", 5, LayoutFault::kSliceReversed},
        {"16:x[13:0]", 4, LayoutFault::kUnknownName},
        {"16:w[13:0],", 12, LayoutFault::kEmptyWrite},
        {"16:", 4, LayoutFault::kEmptyWrite},
        {",16:w", 1, LayoutFault::kEmptyWrite},
        {"65:w", 1, LayoutFault::kWidthOutOfRange},
        {"0:w", 1, LayoutFault::kWidthOutOfRange},
        {"16:w>>16", 5, LayoutFault::kSyntax},
        {"16:w[13:0]^1", 11, LayoutFault::kSyntax},
        {"w[13:0]", 1, LayoutFault::kSyntax},
        {"16 w", 4, LayoutFault::kSyntax},
        {"16:(w[3:0]", 11, LayoutFault::kSyntax},
        {"16:1<<w", 7, LayoutFault::kShiftCount},
        {"16:1<<65", 7, LayoutFault::kShiftCount},
        {"16:0x", 4, LayoutFault::kSyntax},
        {"8:\xC2\xB5|w", 3, LayoutFault::kSyntax},             // a character, not a byte, per position
        {"8:\xC2\xB5", 3, LayoutFault::kSyntax},
        {"8:0x10|0x10", 7, LayoutFault::kOverlap},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Escaped(std::string(c.layout)));
        const auto result = EvaluateLayout(c.layout, kWords);
        ASSERT_TRUE(std::holds_alternative<LayoutError>(result));
        EXPECT_EQ(std::get<LayoutError>(result).position, c.position);
        EXPECT_EQ(std::get<LayoutError>(result).fault, c.fault) << std::get<LayoutError>(result).reason;
    }
}

TEST(RegisterLayout, PhaseWordOnlyWhenGiven) {
    const auto result = EvaluateLayout("8:p", {{"1", 8}, std::nullopt});
    ASSERT_TRUE(std::holds_alternative<LayoutError>(result));
    EXPECT_EQ(std::get<LayoutError>(result).fault, LayoutFault::kNoPhaseWord);
}

TEST(RegisterLayout, NestingHasALimit) {
    const std::string deep = "8:" + std::string(100, '(') + "1" + std::string(100, ')');
    const auto result = EvaluateLayout(deep, kWords);
    ASSERT_TRUE(std::holds_alternative<LayoutError>(result));
    EXPECT_EQ(std::get<LayoutError>(result).fault, LayoutFault::kTooDeep);
}

TEST(PhaseWord, RoundsHalvesToEvenAndWraps) {
    struct Case {
        const char* degrees;
        std::int32_t bits;
        const char* word;
        const char* phase;
        const char* error;
    };
    const Case cases[] = {
        {"90", 14, "4096", "90", "0"},
        {"-90", 14, "12288", "270", "0"},
        {"450", 14, "4096", "90", "0"},
        {"1", 8, "1", "1.40625", "0.40625"},            // 256/360 = 0.711 steps
        {"0.703125", 8, "0", "0", "-0.703125"},         // half a step: to even, down
        {"2.109375", 8, "2", "2.8125", "0.703125"},     // a step and a half: to even, up
        {"359.9", 8, "0", "0", "0.1"},                  // 255.93 steps round to a whole turn
        {"45", 16, "8192", "45", "0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.degrees) + " at " + std::to_string(c.bits));
        const auto result = PhaseWordOfAngle(*Utf8ToUtf16(c.degrees), c.bits);
        ASSERT_TRUE(std::holds_alternative<PhaseWord>(result));
        const PhaseWord& phase = std::get<PhaseWord>(result);
        EXPECT_EQ(phase.word, c.word);
        EXPECT_EQ(phase.degrees, c.phase);
        EXPECT_EQ(phase.error, c.error);
    }
}

TEST(PhaseWord, PhaseOfAWordAndFaults) {
    EXPECT_EQ(std::get<PhaseWord>(PhaseOfWord(u"0x2000", 14)).degrees, "180");
    EXPECT_EQ(std::get<PhaseWord>(PhaseOfWord(u"1", 32)).degrees, "8.381903171539306640625e-8");
    EXPECT_EQ(std::get<PhaseFault>(PhaseOfWord(u"16384", 14)), PhaseFault::kWordTooLarge);
    EXPECT_EQ(std::get<PhaseFault>(PhaseWordOfAngle(u"90", 65)), PhaseFault::kBitsOutOfRange);
    EXPECT_EQ(std::get<PhaseFault>(PhaseWordOfAngle(u"ninety", 14)), PhaseFault::kNotANumber);
}

// nullptr for a text not given.
AccumulatorRequest Request(std::int32_t bits, const char16_t* modulus, const char16_t* clock, const char16_t* wanted,
                           const char16_t* word, bool is_signed = false) {
    AccumulatorRequest request;
    request.bits = bits;
    if (modulus != nullptr) request.modulus = modulus;
    request.clock = clock;
    if (wanted != nullptr) request.wanted = wanted;
    if (word != nullptr) request.word = word;
    request.is_signed = is_signed;
    return request;
}

TEST(AccumulatorWord, PublishedCases) {
    struct Case {
        const char* what;
        AccumulatorRequest request;
        const char* word;
        const char* output_hz;
        std::optional<std::string> output_fraction;
    };
    const AccumulatorRequest fpga_word = Request(0, u"1000", u"120", nullptr, u"12");
    const AccumulatorRequest fpga_wanted = Request(0, u"1536", u"100", u"19", nullptr);
    const AccumulatorRequest plus = Request(32, nullptr, u"65", u"10", nullptr, true);
    const AccumulatorRequest minus = Request(32, nullptr, u"65", u"-10", nullptr, true);
    const AccumulatorRequest back = Request(32, nullptr, u"65", nullptr, u"3634203097", true);
    const Case cases[] = {
        // FPGA cores with a settable modulus (application notes).
        {"120 MHz, M 1000, word 12", fpga_word, "12", "1440000", std::nullopt},
        {"100 MHz, M 1536, 19 MHz", fpga_wanted, "292", "19010416.6666667", "57031250/3"},
        // A quadrature up-converter's signed word (data sheet example).
        {"+10 MHz from 65 MHz", plus, "660764199", "9999999.99417923390865325927734375", std::nullopt},
        {"-10 MHz from 65 MHz", minus, "3634203097", "-9999999.99417923390865325927734375", std::nullopt},
        {"its word read back", back, "3634203097", "-9999999.99417923390865325927734375", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto result = AccumulatorWordOf(c.request);
        ASSERT_TRUE(std::holds_alternative<AccumulatorWord>(result));
        const AccumulatorWord& word = std::get<AccumulatorWord>(result);
        EXPECT_EQ(word.word, c.word);
        EXPECT_EQ(word.output_hz.decimal, c.output_hz);
        EXPECT_EQ(word.output_hz.fraction, c.output_fraction);
    }
    EXPECT_EQ(std::get<AccumulatorWord>(AccumulatorWordOf(minus)).signed_word, "-660764199");
    EXPECT_EQ(std::get<AccumulatorWord>(AccumulatorWordOf(fpga_wanted)).register_bits, 11);
}

TEST(AccumulatorWord, ProgrammableModulusRest) {
    struct Case {
        const char* clock;
        const char* wanted;
        std::int32_t bits;
        const char* max_denominator;
        const char* word;
        const char* a;
        const char* b;
        bool exact;
        const char* error_hz;
    };
    const Case cases[] = {
        // Published: 150 MHz from 2500 MHz at 32 bits.
        {"2500", "150", 32, "4294967295", "257698037", "19", "25", true, "0"},
        // 0.76 within a denominator of 10: 3/4 (7/9 lies further off).
        {"2500", "150", 32, "10", "257698037", "3", "4", false, "-0.00582076609134674072265625"},
        // 4/3 steps: the rest 1/3, or 1/2 within 2 (nearer than 0/1).
        {"3", "1", 2, "4294967295", "1", "1", "3", true, "0"},
        {"3", "1", 2, "2", "1", "1", "2", false, "125000"},
        // 0.99 of a step within 2: the next word, rest 0.
        {"100", "0.0000000230503", 32, "2", "1", "0", "1", false, "0.000232764365386962890625"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.wanted) + " from " + c.clock + " within " + c.max_denominator);
        AccumulatorRequest request = Request(c.bits, nullptr, u"", nullptr, nullptr);
        request.clock = *Utf8ToUtf16(c.clock);
        request.wanted = Utf8ToUtf16(c.wanted);
        request.fraction = true;
        request.max_denominator = *Utf8ToUtf16(c.max_denominator);
        const auto result = AccumulatorWordOf(request);
        ASSERT_TRUE(std::holds_alternative<AccumulatorWord>(result));
        const AccumulatorWord& word = std::get<AccumulatorWord>(result);
        EXPECT_EQ(word.word, c.word);
        EXPECT_EQ(word.numerator, c.a);
        EXPECT_EQ(word.denominator, c.b);
        EXPECT_EQ(word.exact, c.exact);
        ASSERT_TRUE(word.error_hz.has_value());
        EXPECT_EQ(word.error_hz->decimal, c.error_hz);
    }
}

TEST(AccumulatorWord, Faults) {
    struct Case {
        AccumulatorRequest request;
        AccumulatorFault fault;
    };
    AccumulatorRequest no_denominator = Request(8, nullptr, u"100", u"1", nullptr);
    no_denominator.fraction = true;
    no_denominator.max_denominator = u"0";
    const Case cases[] = {
        {Request(0, u"1", u"100", u"1", nullptr), AccumulatorFault::kBadModulus},
        {Request(32, nullptr, u"0", u"1", nullptr), AccumulatorFault::kBadClock},
        {Request(32, nullptr, u"100", u"-1", nullptr), AccumulatorFault::kWordOutOfRange},
        {Request(32, nullptr, u"100", u"99.9999999999", nullptr), AccumulatorFault::kWordOutOfRange},
        {Request(32, nullptr, u"100", u"50", nullptr, true), AccumulatorFault::kOutsideSignedRange},
        {Request(0, u"1000", u"100", nullptr, u"1000"), AccumulatorFault::kBadWord},
        {no_denominator, AccumulatorFault::kBadMaxDenominator},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.fault));
        const auto result = AccumulatorWordOf(c.request);
        ASSERT_TRUE(std::holds_alternative<AccumulatorFault>(result));
        EXPECT_EQ(std::get<AccumulatorFault>(result), c.fault);
    }
}

}  // namespace
}  // namespace quorvel
