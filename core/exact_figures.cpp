#include "core/exact_figures.h"

#include <gmpxx.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <utility>

#include "core/decimal_layout.h"
#include "core/decimal_scan.h"
#include "core/short_figure.h"

namespace quorvel {
namespace {

// Megahertz fields are scaled to hertz by 10^6.
constexpr std::int64_t kHertzPerMegahertzPower = 6;
// Parts per billion: 10^9 parts.
constexpr std::int64_t kPartsPerBillionPower = 9;
// Significant bits of a double.
constexpr int kDoubleMantissaBits = std::numeric_limits<double>::digits;
// The widest accumulator, 32767 bits: 2^32767 has 9864 decimal digits and
// 8192 hexadecimal ones, so a whole number with more is 2^bits or more for
// every width.
constexpr std::int64_t kMaxWordDecimalDigits = 9864;
constexpr std::size_t kMaxWordHexDigits = 8192;
constexpr int kHexBase = 16;
constexpr int kUpperCaseHexBase = -16;
constexpr int kDecimalBase = 10;
constexpr unsigned long kDecimalRadix = 10;

// A figure's unit at a glance.
struct Unit {
    std::string_view name;
    UnitPrefix prefix;
};
constexpr Unit kHertz{"Hz", UnitPrefix::kSi};
constexpr Unit kPartsPerBillion{"ppb", UnitPrefix::kNone};

// A dyadic value mantissa * 2^exponent. Every double is one, and so is
// every product and difference of doubles and powers of two: outputs and
// errors in hertz have finite decimal expansions.
struct Dyadic {
    mpz_class mantissa;
    std::int64_t exponent = 0;
};

// An exact rational number num / den with den > 0, kept unreduced: every
// value here is formed by a handful of products, so reducing would cost more
// than the larger integers it saves.
struct Fraction {
    mpz_class num;
    mpz_class den = 1;
};

mp_bitcnt_t BitCount(std::int64_t bits) { return static_cast<mp_bitcnt_t>(bits); }

// The decimal digits of a whole number, "-" in front when negative.
std::string WholeText(const mpz_class& whole) {
    std::string text(mpz_sizeinbase(whole.get_mpz_t(), kDecimalBase) + 2, '\0');
    mpz_get_str(text.data(), kDecimalBase, whole.get_mpz_t());
    text.resize(std::char_traits<char>::length(text.data()));
    return text;
}

// The hexadecimal digits of a typed word: after "0x", hex digits with
// blanks anywhere among them, at least one digit. Nothing otherwise.
std::optional<std::string> HexDigitsOf(std::u16string_view text) {
    constexpr std::u16string_view kPrefixes[] = {u"0x", u"0X"};
    if (text.size() < 2 || (text.substr(0, 2) != kPrefixes[0] && text.substr(0, 2) != kPrefixes[1])) {
        return std::nullopt;
    }
    std::string digits;
    bool any_digit = false;
    for (char16_t c : text.substr(2)) {
        if (c == u' ') continue;
        const bool hex = (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
        if (!hex) return std::nullopt;
        any_digit = true;
        if (digits.empty() && c == u'0') continue;  // leading zeros say nothing
        // One digit past the widest word is enough to know it is too large.
        if (digits.size() <= kMaxWordHexDigits) digits.push_back(static_cast<char>(c));
    }
    if (!any_digit) return std::nullopt;
    if (digits.empty()) digits.push_back('0');  // all zeros
    return digits;
}

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

// word < 2^bits, for a non-negative word and a width of either sign.
bool FitsWidth(const mpz_class& word, std::int32_t bits) {
    if (sgn(word) == 0) return true;  // 2^bits is positive for every width
    if (bits <= 0) return false;      // 2^bits <= 1 <= word
    return mpz_sizeinbase(word.get_mpz_t(), 2) <= static_cast<std::size_t>(bits);
}

}  // namespace

// The typed word as a whole number, or why it is none. The range against
// the width is checked by the caller.
std::variant<mpz_class, WordTextFault> ReadWholeWord(std::u16string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);

    bool negative = false;
    std::u16string_view unsigned_text = text;
    if (!unsigned_text.empty() && (unsigned_text.front() == u'-' || unsigned_text.front() == u'+')) {
        negative = unsigned_text.front() == u'-';
        unsigned_text.remove_prefix(1);
    }
    if (std::optional<std::string> hex = HexDigitsOf(unsigned_text)) {
        if (hex->size() > kMaxWordHexDigits) return WordTextFault::kTooLarge;
        mpz_class word(*hex, kHexBase);
        if (negative && sgn(word) != 0) return WordTextFault::kNegative;
        return word;
    }

    const std::optional<DecimalNumber> number = ScanWholeNumber(text);
    if (!number) return WordTextFault::kNotWhole;
    if (number->digits.empty()) return mpz_class(0);
    const auto count = static_cast<std::int64_t>(number->digits.size());
    if (number->exponent < count) return WordTextFault::kNotWhole;
    if (number->negative) return WordTextFault::kNegative;
    if (number->exponent > kMaxWordDecimalDigits) return WordTextFault::kTooLarge;
    mpz_class word(number->digits, kDecimalBase);
    mpz_class power;
    mpz_ui_pow_ui(power.get_mpz_t(), kDecimalRadix, static_cast<unsigned long>(number->exponent - count));
    return mpz_class(word * power);
}

// The integers and the digit buffer of one set of figures. Their storage is
// allocated once and reused by every step: the figures take a few dozen
// small operations, and allocating for each would cost more than the
// arithmetic.
class WordFigureCalculator::Workspace {
public:
    explicit Workspace(ShortForms short_forms) : short_forms_(short_forms) {}

    // The figures of N; see WordFigureCalculator::Ideal.
    WordFigures Ideal(const WordInUse& used, std::u16string_view clock_text, std::u16string_view wanted_text) {
        WordFigures figures = ShownWord(used);
        // Both fields are in megahertz: their ratio needs no scaling to hertz.
        if (!SetWritten(written_clock_, clock_text, 0) || !SetWritten(written_wanted_, wanted_text, 0)) {
            figures.cross_check = NoCrossCheck::kBeyondExactRange;
        } else if (sgn(written_clock_.num) != 0) {
            // wanted / clock * 2^bits
            exact_.num = written_wanted_.num * written_clock_.den;
            exact_.den = written_wanted_.den * written_clock_.num;
            Normalize(exact_);
            ScaleByPowerOfTwo(exact_, used.bits);
            figures.cross_check = Compare(used);
        }
        return figures;
    }

    // The figures of N2; see WordFigureCalculator::Corrected.
    WordFigures Corrected(const WordInUse& used, double loaded_word, std::u16string_view wanted_text,
                          std::u16string_view error_text) {
        WordFigures figures = ShownWord(used);
        if (!SetWritten(written_wanted_, wanted_text, kHertzPerMegahertzPower) ||
            !SetWritten(written_error_, error_text, 0)) {
            figures.cross_check = NoCrossCheck::kBeyondExactRange;
            return figures;
        }
        // clock = (wanted + error) * 2^bits / loaded; wanted / clock * 2^bits
        // is then wanted * loaded / (wanted + error): the powers of two cancel.
        measured_.num = written_wanted_.num * written_error_.den + written_error_.num * written_wanted_.den;
        measured_.den = written_wanted_.den * written_error_.den;
        if (sgn(measured_.num) != 0 && loaded_word != 0) {
            mpz_set_d(nearest_.get_mpz_t(), loaded_word);  // whole, so exact
            exact_.num = written_wanted_.num * nearest_ * measured_.den;
            exact_.den = written_wanted_.den * measured_.num;
            Normalize(exact_);
            figures.cross_check = Compare(used);
        }
        return figures;
    }

    // What `word` produces with `clock` at `bits`, and its error against
    // `wanted`.
    FrequencyFigures Produced(const mpz_class& word, double clock, std::int32_t bits,
                              std::optional<double> wanted) {
        SetDouble(clock_, clock);
        mpz_mul(output_.mantissa.get_mpz_t(), word.get_mpz_t(), clock_.mantissa.get_mpz_t());
        output_.exponent = clock_.exponent - bits;
        FrequencyFigures figures;
        figures.output_hz = DyadicText(output_, kHertzSignificantDigits, figures.output_short);
        if (!wanted) return figures;

        SetDouble(wanted_, *wanted);
        SetDifference(error_, output_, wanted_);
        figures.error_hz = DyadicText(error_, kHertzSignificantDigits, figures.error_short);
        if (*wanted == 0) return figures;
        // error / wanted * 10^9
        SetPower(ratio_.num, kDecimalRadix, kPartsPerBillionPower);
        ratio_.num *= error_.mantissa;
        ratio_.den = wanted_.mantissa;
        ScaleByPowerOfTwo(ratio_, error_.exponent - wanted_.exponent);
        Normalize(ratio_);
        figures.error_ppb = FractionText(ratio_, kPartsPerBillionSignificantDigits, figures.error_ppb_short);
        return figures;
    }

private:
    // The word shown and what it produces; the cross-check is the caller's
    // to fill in.
    WordFigures ShownWord(const WordInUse& used) {
        mpz_set_d(shown_.get_mpz_t(), used.word);  // whole, so exact
        return {WholeText(shown_), Produced(shown_, used.clock, used.bits, used.wanted), NoCrossCheck::kNoExactClock};
    }

    // The cross-check of the word shown against the nearest word of exact_
    // (halves up: floor(exact + 1/2)).
    CrossCheck Compare(const WordInUse& used) {
        scaled_ = 2 * exact_.num + exact_.den;
        divisor_ = 2 * exact_.den;
        mpz_fdiv_q(nearest_.get_mpz_t(), scaled_.get_mpz_t(), divisor_.get_mpz_t());
        scaled_ = nearest_ - shown_;
        CrossCheck check{WholeText(nearest_), WholeText(scaled_), std::nullopt};
        if (sgn(scaled_) != 0) check.figures = Produced(nearest_, used.clock, used.bits, used.wanted);
        return check;
    }

    // The written decimal value of a field, scaled by 10^scale; false when it
    // needs more than kMaxExactDigits digits written out. Text with no
    // number reads as 0.
    bool SetWritten(Fraction& value, std::u16string_view text, std::int64_t scale) {
        const std::optional<DecimalNumber> number = ScanNumberAtStart(text);
        value.den = 1;
        if (!number || number->digits.empty()) {
            value.num = 0;
            return true;
        }
        const auto count = static_cast<std::int64_t>(number->digits.size());
        const std::int64_t written_digits =
            std::max(count, number->exponent) - std::min<std::int64_t>(0, number->exponent);
        if (written_digits > kMaxExactDigits) return false;
        mpz_set_str(value.num.get_mpz_t(), number->digits.c_str(), kDecimalBase);
        if (number->negative) mpz_neg(value.num.get_mpz_t(), value.num.get_mpz_t());
        const std::int64_t exponent = number->exponent - count + scale;
        mpz_class& scaled = exponent >= 0 ? value.num : value.den;
        scaled *= Power(ten_, kDecimalRadix, exponent >= 0 ? exponent : -exponent);
        return true;
    }

    // 2^exponent times the value, for an exponent of either sign.
    static void ScaleByPowerOfTwo(Fraction& value, std::int64_t exponent) {
        mpz_class& scaled = exponent >= 0 ? value.num : value.den;
        mpz_mul_2exp(scaled.get_mpz_t(), scaled.get_mpz_t(), BitCount(exponent >= 0 ? exponent : -exponent));
    }

    // The sign of the denominator moved to the numerator.
    static void Normalize(Fraction& value) {
        if (sgn(value.den) < 0) {
            mpz_neg(value.num.get_mpz_t(), value.num.get_mpz_t());
            mpz_neg(value.den.get_mpz_t(), value.den.get_mpz_t());
        }
    }

    // The exact value of a finite double: its integer mantissa, without
    // trailing zero bits, times a power of two. Fewer bits make fewer
    // decimal digits to produce later.
    static void SetDouble(Dyadic& exact, double value) {
        int exponent = 0;
        const double fraction = std::frexp(value, &exponent);  // 0.5 <= |fraction| < 1, or 0
        // |fraction| * 2^53 is a whole number below 2^53: the conversion is exact and safe.
        auto mantissa = static_cast<std::int64_t>(std::ldexp(fraction, kDoubleMantissaBits));
        std::int64_t binary_exponent = std::int64_t{exponent} - kDoubleMantissaBits;
        if (mantissa != 0) {
            const int zeros = std::countr_zero(static_cast<std::uint64_t>(mantissa));
            mantissa /= std::int64_t{1} << zeros;
            binary_exponent += zeros;
        }
        // Not mpz_set_si: a long has 32 bits in WebAssembly. The mantissa,
        // below 2^53, is exact as a double.
        mpz_set_d(exact.mantissa.get_mpz_t(), static_cast<double>(mantissa));
        exact.exponent = binary_exponent;
    }

    // difference = a - b, over the smaller of the two exponents.
    void SetDifference(Dyadic& difference, const Dyadic& a, const Dyadic& b) {
        const std::int64_t exponent = std::min(a.exponent, b.exponent);
        mpz_mul_2exp(difference.mantissa.get_mpz_t(), a.mantissa.get_mpz_t(), BitCount(a.exponent - exponent));
        mpz_mul_2exp(scaled_.get_mpz_t(), b.mantissa.get_mpz_t(), BitCount(b.exponent - exponent));
        difference.mantissa -= scaled_;
        difference.exponent = exponent;
    }

    static void SetPower(mpz_class& power, unsigned long base, std::int64_t exponent) {
        mpz_ui_pow_ui(power.get_mpz_t(), base, static_cast<unsigned long>(exponent));
    }

    // A power of ten or of five, kept with its exponent: the same ones come
    // up again and again (an output and its error share theirs), and the
    // members are written nowhere else.
    struct CachedPower {
        mpz_class value;
        std::int64_t exponent = -1;
    };
    static const mpz_class& Power(CachedPower& power, unsigned long base, std::int64_t exponent) {
        if (power.exponent != exponent) {
            SetPower(power.value, base, exponent);
            power.exponent = exponent;
        }
        return power.value;
    }

    // A dyadic value's decimal expansion is finite: m * 2^-k = m * 5^k / 10^k.
    // The value in hertz, at a glance into `glance` when short forms are given.
    std::string DyadicText(const Dyadic& value, int significant, std::optional<std::string>& glance) {
        if (sgn(value.mantissa) == 0) return Zero(kHertz, glance);
        mpz_abs(scaled_.get_mpz_t(), value.mantissa.get_mpz_t());
        std::int64_t decimal_shift = 0;
        if (value.exponent >= 0) {
            mpz_mul_2exp(scaled_.get_mpz_t(), scaled_.get_mpz_t(), BitCount(value.exponent));
        } else {
            decimal_shift = -value.exponent;
            scaled_ *= Power(five_, kFive, decimal_shift);
        }
        SetDigits(scaled_);
        return Finish(sgn(value.mantissa) < 0, significant, false,
                      static_cast<std::int64_t>(digits_.size()) - decimal_shift, kHertz, glance);
    }

    // The exact value rounded to `significant` digits; in parts per
    // billion, at a glance into `glance` when short forms are given.
    std::string FractionText(const Fraction& value, int significant, std::optional<std::string>& glance) {
        if (sgn(value.num) == 0) return Zero(kPartsPerBillion, glance);
        mpz_abs(scaled_.get_mpz_t(), value.num.get_mpz_t());
        // The value lies in [10^(n-1), 10^n) for some n from estimate-1 to
        // estimate+2 (sizes in base 10 may be one too large); scaling by
        // 10^shift leaves at least one digit more than `significant` before
        // the point, so that a digit after the kept ones, and not only
        // whether the remainder is zero, decides the rounding.
        const auto estimate = static_cast<std::int64_t>(mpz_sizeinbase(scaled_.get_mpz_t(), kDecimalBase)) -
                              static_cast<std::int64_t>(mpz_sizeinbase(value.den.get_mpz_t(), kDecimalBase));
        const std::int64_t shift = significant - estimate + 2;
        const mpz_class& power = Power(ten_, kDecimalRadix, shift >= 0 ? shift : -shift);
        if (shift >= 0) {
            scaled_ *= power;
            mpz_tdiv_qr(quotient_.get_mpz_t(), remainder_.get_mpz_t(), scaled_.get_mpz_t(), value.den.get_mpz_t());
        } else {
            divisor_ = power * value.den;
            mpz_tdiv_qr(quotient_.get_mpz_t(), remainder_.get_mpz_t(), scaled_.get_mpz_t(), divisor_.get_mpz_t());
        }
        SetDigits(quotient_);
        return Finish(sgn(value.num) < 0, significant, sgn(remainder_) != 0,
                      static_cast<std::int64_t>(digits_.size()) - shift, kPartsPerBillion, glance);
    }

    // The decimal digits of a non-negative integer, into the reused buffer.
    void SetDigits(const mpz_class& whole) {
        // The size in base 10 is exact or one too large.
        const std::size_t size = mpz_sizeinbase(whole.get_mpz_t(), kDecimalBase);
        digits_.resize(size + 2);
        mpz_get_str(digits_.data(), kDecimalBase, whole.get_mpz_t());
        digits_.resize(digits_[size - 1] == '\0' ? size - 1 : size);
    }

    std::string Zero(Unit unit, std::optional<std::string>& glance) const {
        if (short_forms_ == ShortForms::kGiven) glance = ShortFigure({}, unit.name, unit.prefix);
        return "0";
    }

    // Rounds the digits of 0.digits * 10^exponent and lays the value out.
    // The glance is rounded from the same digits first, so that it never
    // rounds a rounded figure again.
    std::string Finish(bool negative, int significant, bool sticky, std::int64_t exponent, Unit unit,
                       std::optional<std::string>& glance) {
        if (short_forms_ == ShortForms::kGiven) {
            glance = ShortFigure({negative, digits_, exponent, sticky}, unit.name, unit.prefix);
        }
        RoundDigits(digits_, static_cast<std::size_t>(significant), sticky, exponent);
        std::string_view digits = digits_;
        while (digits.size() > 1 && digits.back() == '0') digits.remove_suffix(1);
        return Layout(negative, digits, exponent);
    }

    static constexpr unsigned long kFive = 5;

    ShortForms short_forms_;
    Dyadic clock_, wanted_, output_, error_;
    Fraction ratio_, written_clock_, written_wanted_, written_error_, measured_, exact_;
    mpz_class shown_, nearest_, scaled_, divisor_, quotient_, remainder_;
    CachedPower ten_, five_;
    std::string digits_;
};

WordFigureCalculator::WordFigureCalculator(ShortForms short_forms)
    : workspace_(std::make_unique<Workspace>(short_forms)) {}
WordFigureCalculator::~WordFigureCalculator() = default;
WordFigureCalculator::WordFigureCalculator(WordFigureCalculator&&) noexcept = default;
WordFigureCalculator& WordFigureCalculator::operator=(WordFigureCalculator&&) noexcept = default;

WordFigures WordFigureCalculator::Ideal(const WordInUse& used, std::u16string_view clock_text,
                                        std::u16string_view wanted_text) {
    return workspace_->Ideal(used, clock_text, wanted_text);
}

WordFigures WordFigureCalculator::Corrected(const WordInUse& used, double loaded_word,
                                            std::u16string_view wanted_text, std::u16string_view error_text) {
    return workspace_->Corrected(used, loaded_word, wanted_text, error_text);
}

std::variant<WordQueryFigures, WordTextFault> WordFigureCalculator::Typed(std::u16string_view word_text,
                                                                         double clock, std::int32_t bits,
                                                                         std::optional<double> wanted) {
    std::variant<mpz_class, WordTextFault> read = ReadWholeWord(word_text);
    if (const auto* fault = std::get_if<WordTextFault>(&read)) return *fault;
    const mpz_class& word = std::get<mpz_class>(read);
    if (!FitsWidth(word, bits)) return WordTextFault::kTooLarge;
    return WordQueryFigures{WholeText(word), "0x" + word.get_str(kUpperCaseHexBase),
                            workspace_->Produced(word, clock, bits, wanted)};
}

}  // namespace quorvel
