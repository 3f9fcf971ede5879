#include "tuning_word.h"

#include <cmath>

#include "arithmetic.h"
#include "number_text.h"

namespace quorvel {
namespace {

// Added before the whole part is taken, so a word halfway between two steps
// rounds up.
constexpr double kRoundingHalf = 0.5;
// The low part of a word is its last 16 bits, four hexadecimal digits.
constexpr std::int32_t kLowPartBits = 16;
constexpr std::size_t kLowPartDigits = 4;
constexpr double kBitsPerHexDigit = 4;
// The width whose high part is split once more, into groups of four.
constexpr std::int32_t kThreeGroupBits = 48;
constexpr std::size_t kFirstGroupDigits = 4;

constexpr std::u16string_view kHexPrefix = u"0x ";
constexpr char16_t kGroupSeparator = u' ';

void PadFront(std::u16string& text, std::size_t count) { text.insert(0, count, u'0'); }

}  // namespace

double Hertz(std::u16string_view megahertz_text) {
    return Multiply(ReadNumber(megahertz_text), kHertzPerMegahertz);
}

bool AboveNyquist(double fout, double clock) { return fout > Multiply(clock, kNyquistFraction); }

double Resolution(double clock, std::int32_t bits) { return Divide(clock, PowerOfTwo(bits)); }

double TuningWord(double fout, double clock, std::int32_t bits) {
    // Separate statements fix the order: the quotient is formed (and can fail)
    // before the power of two is.
    const double ratio = Divide(fout, clock);
    const double scaled = Multiply(ratio, PowerOfTwo(bits));
    return WholePart(Add(scaled, kRoundingHalf));
}

double InferredClock(double fout, double fdiff, double word, std::int32_t bits) {
    const double measured = Add(fout, fdiff);
    const double scaled = Multiply(measured, PowerOfTwo(bits));
    return Divide(scaled, word);
}

std::u16string HexWord(double word, std::int32_t bits) {
    const double low_split = PowerOfTwo(kLowPartBits);
    const double q = Divide(word, low_split);
    const double high = WholePart(q);
    // Dividing a whole word by 2^16 is exact, so the fraction times 2^16 is
    // the low part exactly, 0...65535 even for a negative word.
    const std::int32_t low = NearestInt32(Multiply(low_split, Subtract(q, high)));

    std::u16string low_text = HexText(low);
    if (low_text.size() < kLowPartDigits) PadFront(low_text, kLowPartDigits - low_text.size());

    std::u16string s = HexText(high);  // Overflow beyond 32 bits
    s.push_back(kGroupSeparator);
    s.append(low_text);

    // Pad to bits/4 digits, a real quotient: 30 bits ask for 7.5, so 8 digits.
    // A wider high part is never cut.
    const double wanted_digits = static_cast<double>(bits) / kBitsPerHexDigit;
    const std::size_t digits = s.size() - 1;  // the separator is no digit
    if (static_cast<double>(digits) < wanted_digits) {
        // wanted_digits is at most 32767/4 here, so the conversion is safe.
        const auto target = static_cast<std::size_t>(std::ceil(wanted_digits));
        PadFront(s, target - digits);
    }

    if (bits == kThreeGroupBits && s.size() > kFirstGroupDigits) {
        s.insert(kFirstGroupDigits, 1, kGroupSeparator);
    }
    s.insert(0, kHexPrefix);
    return s;
}

}  // namespace quorvel
