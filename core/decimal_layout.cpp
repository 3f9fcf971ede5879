#include "core/decimal_layout.h"

#include <algorithm>

#include "core/exact_figures.h"

namespace quorvel {
namespace {

constexpr int kDecimalBase = 10;
constexpr unsigned long kTen = 10;
constexpr unsigned long kFive = 5;

// The decimal digits of a non-negative whole number.
std::string DigitsOf(const mpz_class& whole) { return whole.get_str(kDecimalBase); }

// Lays out 0.digits * 10^exponent without the digits' trailing zeros.
std::string LayoutTrimmed(bool negative, std::string_view digits, std::int64_t exponent) {
    while (digits.size() > 1 && digits.back() == '0') digits.remove_suffix(1);
    return Layout(negative, digits, exponent);
}

}  // namespace

void RoundDigits(std::string& digits, std::size_t significant, bool sticky, std::int64_t& exponent) {
    if (digits.size() <= significant) return;
    const char first_dropped = digits[significant];
    bool more_after = sticky;
    for (std::size_t i = significant + 1; i < digits.size() && !more_after; ++i) more_after = digits[i] != '0';
    digits.resize(significant);
    const bool last_odd = ((digits.back() - '0') % 2) != 0;
    const bool up = first_dropped > '5' || (first_dropped == '5' && (more_after || last_odd));
    if (!up) return;
    std::size_t i = digits.size();
    while (i > 0 && digits[i - 1] == '9') digits[--i] = '0';
    if (i == 0) {
        digits.insert(digits.begin(), '1');
        digits.pop_back();
        ++exponent;
    } else {
        ++digits[i - 1];
    }
}

std::string Layout(bool negative, std::string_view digits, std::int64_t exponent) {
    constexpr std::size_t kSignPointAndExponent = 8;
    const std::size_t zeros = static_cast<std::size_t>(
        std::clamp<std::int64_t>(exponent < 0 ? -exponent : exponent - static_cast<std::int64_t>(digits.size()), 0,
                                 kHighestPositionalExponent));
    std::string text;
    text.reserve(digits.size() + zeros + kSignPointAndExponent);
    if (negative) text.push_back('-');
    const auto count = static_cast<std::int64_t>(digits.size());
    if (exponent > kHighestPositionalExponent || exponent < kLowestPositionalExponent) {
        text.push_back(digits.front());
        if (digits.size() > 1) text.append(".").append(digits.substr(1));
        text.append(exponent - 1 >= 0 ? "e+" : "e-");
        text.append(std::to_string(exponent - 1 >= 0 ? exponent - 1 : 1 - exponent));
    } else if (exponent <= 0) {
        text.append("0.").append(static_cast<std::size_t>(-exponent), '0').append(digits);
    } else if (exponent >= count) {
        text.append(digits).append(static_cast<std::size_t>(exponent - count), '0');
    } else {
        const auto point = static_cast<std::size_t>(exponent);
        text.append(digits.substr(0, point)).append(".").append(digits.substr(point));
    }
    return text;
}

std::optional<std::string> FiniteDecimalText(const mpq_class& value) {
    if (sgn(value) == 0) return "0";
    mpz_class rest = value.get_den();
    const mp_bitcnt_t twos = mpz_scan1(rest.get_mpz_t(), 0);
    mpz_fdiv_q_2exp(rest.get_mpz_t(), rest.get_mpz_t(), twos);
    const mpz_class five(kFive);
    const mp_bitcnt_t fives = mpz_remove(rest.get_mpz_t(), rest.get_mpz_t(), five.get_mpz_t());
    if (rest != 1) return std::nullopt;
    // num * 10^k / den is whole for k = max(twos, fives).
    const mp_bitcnt_t places = std::max(twos, fives);
    mpz_class scaled;
    mpz_ui_pow_ui(scaled.get_mpz_t(), kTen, places);
    scaled *= abs(value.get_num());
    mpz_divexact(scaled.get_mpz_t(), scaled.get_mpz_t(), value.get_den_mpz_t());
    const std::string digits = DigitsOf(scaled);
    return LayoutTrimmed(sgn(value) < 0, digits,
                         static_cast<std::int64_t>(digits.size()) - static_cast<std::int64_t>(places));
}

std::string RoundedText(const mpq_class& value, int significant) {
    if (sgn(value) == 0) return "0";
    mpz_class num = abs(value.get_num());
    mpz_class den = value.get_den();
    // The value lies in [10^(n-1), 10^n) for n from estimate-1 to estimate+1;
    // scaling by 10^shift keeps at least one digit past the `significant`.
    const auto estimate = static_cast<std::int64_t>(mpz_sizeinbase(num.get_mpz_t(), kDecimalBase)) -
                          static_cast<std::int64_t>(mpz_sizeinbase(den.get_mpz_t(), kDecimalBase));
    const std::int64_t shift = significant - estimate + 2;
    mpz_class power;
    mpz_ui_pow_ui(power.get_mpz_t(), kTen, static_cast<unsigned long>(shift >= 0 ? shift : -shift));
    if (shift >= 0) {
        num *= power;
    } else {
        den *= power;
    }
    mpz_class quotient;
    mpz_class remainder;
    mpz_tdiv_qr(quotient.get_mpz_t(), remainder.get_mpz_t(), num.get_mpz_t(), den.get_mpz_t());
    std::string digits = DigitsOf(quotient);
    std::int64_t exponent = static_cast<std::int64_t>(digits.size()) - shift;
    RoundDigits(digits, static_cast<std::size_t>(significant), sgn(remainder) != 0, exponent);
    return LayoutTrimmed(sgn(value) < 0, digits, exponent);
}

std::string FractionText(const mpq_class& value) { return value.get_str(kDecimalBase); }

std::optional<mpq_class> ExactValue(const DecimalNumber& number) {
    if (number.digits.empty()) return mpq_class(0);
    const auto count = static_cast<std::int64_t>(number.digits.size());
    const std::int64_t written_digits = std::max(count, number.exponent) - std::min<std::int64_t>(0, number.exponent);
    if (written_digits > kMaxExactDigits) return std::nullopt;
    mpz_class num(number.digits, kDecimalBase);
    if (number.negative) num = -num;
    const std::int64_t exponent = number.exponent - count;
    mpz_class power;
    mpz_ui_pow_ui(power.get_mpz_t(), kTen, static_cast<unsigned long>(exponent >= 0 ? exponent : -exponent));
    mpq_class value = exponent >= 0 ? mpq_class(num * power) : mpq_class(num, power);
    value.canonicalize();
    return value;
}

}  // namespace quorvel
