#include "core/short_figure.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace quorvel {
namespace {

constexpr auto kKept = static_cast<std::size_t>(kShortSignificantDigits);
constexpr std::size_t kGroup = 3;
constexpr std::int64_t kPowersPerPrefix = 3;
// Powers of ten, of the leading digit, that the prefixes p to G cover.
constexpr std::int64_t kLowestPrefixedPower = -12;
constexpr std::int64_t kBeyondPrefixedPower = 12;
// p, n, µ, m, none, k, M, G: one every third power of ten from 10^-12.
constexpr std::array<std::string_view, 8> kPrefixes = {"p", "n", "\xC2\xB5", "m", "", "k", "M", "G"};

// The kept digits and the power of ten of the first: d.ddddd * 10^power.
struct Rounded {
    std::string digits;
    std::int64_t power = 0;
};

// One rounding from the digits as given, exact halves to even.
Rounded RoundOnce(const LeadingDigits& value) {
    Rounded rounded{std::string(value.digits.substr(0, kKept)), value.exponent - 1};
    rounded.digits.resize(kKept, '0');
    if (value.digits.size() <= kKept) return rounded;  // at most `more` below: less than half a unit
    const char first_dropped = value.digits[kKept];
    const bool more_after = value.more || value.digits.find_first_not_of('0', kKept + 1) != std::string_view::npos;
    const bool last_odd = ((rounded.digits.back() - '0') % 2) != 0;
    if (first_dropped < '5' || (first_dropped == '5' && !more_after && !last_odd)) return rounded;
    std::size_t i = kKept;
    while (i > 0 && rounded.digits[i - 1] == '9') rounded.digits[--i] = '0';
    if (i == 0) {
        rounded.digits.front() = '1';  // 999999 -> 100000, one power up
        ++rounded.power;
    } else {
        ++rounded.digits[i - 1];
    }
    return rounded;
}

// Groups of three counted from the point: leftwards before it, rightwards
// after it.
void AppendGrouped(std::string& out, std::string_view whole, std::string_view fraction) {
    for (std::size_t i = 0; i < whole.size(); ++i) {
        if (i > 0 && (whole.size() - i) % kGroup == 0) out.push_back(' ');
        out.push_back(whole[i]);
    }
    if (fraction.empty()) return;
    out.push_back('.');
    for (std::size_t i = 0; i < fraction.size(); ++i) {
        if (i > 0 && i % kGroup == 0) out.push_back(' ');
        out.push_back(fraction[i]);
    }
}

// The digits with `before` of them ahead of the point, zeros filled in
// where the point lies outside them; `before` lies within what the prefixed
// range needs, -11 to 12.
void AppendPositional(std::string& out, std::string_view digits, std::int64_t before) {
    constexpr std::size_t kMostZeros = 12;
    std::array<char, kKept + kMostZeros> padded{};
    if (before <= 0) {
        const auto zeros = static_cast<std::size_t>(-before);
        std::fill_n(padded.begin(), zeros, '0');
        std::copy(digits.begin(), digits.end(), padded.begin() + zeros);
        AppendGrouped(out, "0", std::string_view(padded.data(), zeros + digits.size()));
    } else if (static_cast<std::size_t>(before) >= digits.size()) {
        const auto length = static_cast<std::size_t>(before);
        std::fill(std::copy(digits.begin(), digits.end(), padded.begin()), padded.begin() + length, '0');
        AppendGrouped(out, std::string_view(padded.data(), length), {});
    } else {
        const auto point = static_cast<std::size_t>(before);
        AppendGrouped(out, digits.substr(0, point), digits.substr(point));
    }
}

// The prefix's place counted from none: floor(power / 3), for powers of
// either sign.
std::int64_t PrefixStep(std::int64_t power) {
    return power >= 0 ? power / kPowersPerPrefix : -((-power + kPowersPerPrefix - 1) / kPowersPerPrefix);
}

}  // namespace

std::string ShortFigure(const LeadingDigits& value, std::string_view unit, UnitPrefix prefix) {
    std::string text;
    if (value.digits.empty()) return text.append("0 ").append(unit);
    const Rounded rounded = RoundOnce(value);
    text.push_back(value.negative ? '-' : '+');
    std::string_view prefix_text;
    if (rounded.power < kLowestPrefixedPower || rounded.power >= kBeyondPrefixedPower) {
        const std::string_view digits = rounded.digits;
        AppendGrouped(text, digits.substr(0, 1), digits.substr(1));
        text.append(rounded.power >= 0 ? "e+" : "e-");
        text.append(std::to_string(rounded.power >= 0 ? rounded.power : -rounded.power));
    } else if (prefix == UnitPrefix::kSi) {
        const std::int64_t step = PrefixStep(rounded.power);
        AppendPositional(text, rounded.digits, rounded.power - kPowersPerPrefix * step + 1);
        prefix_text = kPrefixes[static_cast<std::size_t>(step - PrefixStep(kLowestPrefixedPower))];
    } else {
        AppendPositional(text, rounded.digits, rounded.power + 1);
    }
    return text.append(" ").append(prefix_text).append(unit);
}

}  // namespace quorvel
