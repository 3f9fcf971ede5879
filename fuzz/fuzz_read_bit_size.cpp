// Text -> bit size: ReadBitSize on arbitrary UTF-16 text. Only Type mismatch
// and Overflow may escape, and each outcome must match a separately written
// reader: spaces trimmed at both ends, the whole rest one number
// "[+-]digits[.digits][E[+-]digits]", rounded to nearest with ties to even,
// within -32768...32767. The reference reads the text as a double, so where
// that double lies within one spacing of a half it accepts either neighbour.

#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <string>

#include "fuzz/fuzz_support.h"
#include "core/number_text.h"

namespace {

using quorvel::ErrorKind;
using quorvel::RunTimeError;
using quorvel::fuzz::Require;

constexpr double kSmallest = -32768;
constexpr double kLargest = 32767;
constexpr double kLargestDouble = std::numeric_limits<double>::max();

// The text as ASCII for from_chars when all of it (spaces around it aside)
// is one number; nothing otherwise.
std::optional<std::string> WholeTextNumber(std::u16string_view text) {
    const std::size_t first = text.find_first_not_of(u' ');
    if (first == std::u16string_view::npos) return std::nullopt;
    const std::u16string_view body = text.substr(first, text.find_last_not_of(u' ') - first + 1);

    std::string ascii;
    std::size_t i = 0;
    if (!quorvel::fuzz::ScanReferenceMantissa(body, i, ascii)) return std::nullopt;
    auto peek = [&] { return i < body.size() ? body[i] : u'\0'; };
    if (peek() == u'E' || peek() == u'e') {
        ascii.push_back('e');
        ++i;
        if (peek() == u'+' || peek() == u'-') ascii.push_back(static_cast<char>(peek())), ++i;
        bool any_exponent_digit = false;
        for (; quorvel::fuzz::IsAsciiDigit(peek()); ++i) {
            ascii.push_back(static_cast<char>(peek()));
            any_exponent_digit = true;
        }
        if (!any_exponent_digit) return std::nullopt;
    }
    if (i != body.size()) return std::nullopt;
    return ascii;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::u16string text = quorvel::fuzz::DecodeText(data, size);

    std::optional<std::int16_t> bits;
    std::optional<ErrorKind> error_kind;
    try {
        bits = quorvel::ReadBitSize(text);
    } catch (const RunTimeError& error) {
        quorvel::fuzz::RequireErrorKind(error, {ErrorKind::kOverflow, ErrorKind::kTypeMismatch});
        error_kind = error.kind();
    }

    const std::optional<std::string> number = WholeTextNumber(text);
    if (!number) {
        Require(error_kind == ErrorKind::kTypeMismatch, "a text that is no number is no Type mismatch",
                text);
        return 0;
    }
    Require(error_kind != ErrorKind::kTypeMismatch, "a number is a Type mismatch", text);

    double value = 0;
    const char* end = number->data() + number->size();
    const auto result = std::from_chars(number->data(), end, value);
    Require(result.ptr == end, "the reference reader left part of the number unread", text);
    if (result.ec == std::errc::result_out_of_range) {
        // Too large is Overflow; too small reads as 0.
        Require(error_kind == ErrorKind::kOverflow || bits == 0,
                "a number beyond the double range is neither Overflow nor 0", text);
        return 0;
    }
    // The width is decided by the digits themselves. Where the double
    // nearest the text lies within one spacing of a half (or on it), that
    // double cannot tell on which side of the half the text lies: either
    // neighbour may be right (the core tests hold the exact cases).
    const double lower = std::floor(value);
    const double spacing = std::nextafter(std::fabs(value), kLargestDouble) - std::fabs(value);
    if (std::fabs(value - (lower + 0.5)) <= spacing) {
        const bool either_overflows = lower < kSmallest || lower + 1 > kLargest;
        const bool neighbour = bits.has_value() && (*bits == lower || *bits == lower + 1);
        Require(neighbour || (either_overflows && error_kind == ErrorKind::kOverflow),
                "a width near a half is neither of its neighbours", text);
        return 0;
    }
    // Elsewhere the double rounds as the text does: to nearest (a tie would
    // be the half itself, which is a double).
    const double rounded = std::nearbyint(value);
    if (rounded < kSmallest || rounded > kLargest) {
        Require(error_kind == ErrorKind::kOverflow, "a width beyond 16 bits is no Overflow", text);
        return 0;
    }
    Require(bits.has_value() && static_cast<double>(*bits) == rounded,
            "the width is not the number rounded to nearest, ties to even", text);
    return 0;
}
