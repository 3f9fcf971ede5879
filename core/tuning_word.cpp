#include "core/tuning_word.h"

#include <cmath>

#include "core/arithmetic.h"
#include "core/number_text.h"

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

}  // namespace

double Hertz(std::u16string_view megahertz_text) {
    return Multiply(ReadNumber(megahertz_text), kHertzPerMegahertz);
}

double Megahertz(double hertz) { return Divide(hertz, kHertzPerMegahertz); }

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
    const auto low = HexDigits(NearestInt32(Multiply(low_split, Subtract(q, high))));
    const auto high_digits = HexDigits(NearestInt32(high));  // Overflow beyond 32 bits

    // The low part always gets four digits; the whole is padded in front to
    // bits/4 digits, a real quotient: 30 bits ask for 7.5, so 8 digits. A
    // wider high part is never cut.
    const std::size_t low_padding = kLowPartDigits - low.view().size();
    const std::size_t digits = high_digits.view().size() + kLowPartDigits;
    const double wanted_digits = static_cast<double>(bits) / kBitsPerHexDigit;
    std::size_t front_padding = 0;
    if (static_cast<double>(digits) < wanted_digits) {
        // wanted_digits is below 32768/4 here, so the conversion is safe.
        front_padding = static_cast<std::size_t>(std::ceil(wanted_digits)) - digits;
    }

    std::u16string s;
    s.reserve(kHexPrefix.size() + front_padding + digits + 2);
    s.append(front_padding, u'0');
    s.append(high_digits.view());
    s.push_back(kGroupSeparator);
    s.append(low_padding, u'0');
    s.append(low.view());

    if (bits == kThreeGroupBits && s.size() > kFirstGroupDigits) {
        s.insert(kFirstGroupDigits, 1, kGroupSeparator);
    }
    s.insert(0, kHexPrefix);
    return s;
}

}  // namespace quorvel
