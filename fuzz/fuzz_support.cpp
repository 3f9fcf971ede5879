#include "fuzz/fuzz_support.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "core/number_text.h"
#include "core/utf16.h"

namespace quorvel::fuzz {
namespace {

constexpr std::size_t kMaxSignificantDigits = 15;
constexpr std::size_t kMinExponentDigits = 2;

// Enough digits to write any double's exact decimal expansion (at most 767
// significant digits), so the exponent read from it is the exact one.
constexpr int kExactPrecision = 770;

// The 15-digit rounding of magnitudes from here up is 1.79769313486232E+308,
// which lies beyond the largest double: reading it back is an Overflow.
constexpr double kFirstUnreadableMagnitude = 1.797693134862315e308;

// A tiny relative allowance for the rounding of pow() in the bound itself.
constexpr double kBoundSlack = 1e-9;

constexpr std::int64_t kLowPartModulus = 65536;
constexpr std::int64_t kLargestRenderedWord = (std::int64_t{1} << 47) - 1;
constexpr std::int64_t kSmallestRenderedWord = -(std::int64_t{1} << 47);
constexpr std::size_t kLowPartDigits = 4;
constexpr std::int32_t kThreeGroupBits = 48;
constexpr std::size_t kFirstGroupDigits = 4;

constexpr bool IsUpperHexDigit(char16_t c) { return IsAsciiDigit(c) || (c >= u'A' && c <= u'F'); }

std::u16string Widen(std::string_view ascii) { return {ascii.begin(), ascii.end()}; }

// floor(log10(|value|)) exactly, for a finite non-zero value.
int DecimalExponent(double value) {
    char buffer[kExactPrecision + 16];
    const auto result = std::to_chars(std::begin(buffer), std::end(buffer), std::fabs(value),
                                      std::chars_format::scientific, kExactPrecision);
    const std::string_view text(buffer, static_cast<std::size_t>(result.ptr - buffer));
    std::string_view exponent = text.substr(text.find('e') + 1);
    if (exponent.front() == '+') exponent.remove_prefix(1);
    int e = 0;
    std::from_chars(exponent.data(), exponent.data() + exponent.size(), e);
    return e;
}

// The larger gap between |value| and its neighbouring doubles.
double Spacing(double magnitude) {
    const double up = std::nextafter(magnitude, std::numeric_limits<double>::infinity());
    const double down = std::nextafter(magnitude, 0.0);
    const double gap_down = magnitude - down;
    return std::isinf(up) ? gap_down : std::max(up - magnitude, gap_down);
}

// How far a text read back may lie from the value it was written from.
double ReadBackTolerance(double value) {
    const double half_unit = 0.5 * std::pow(10.0, DecimalExponent(value) - 14);
    return half_unit * (1 + kBoundSlack) + Spacing(std::fabs(value));
}

// Form of a decimal text after its sign character.
void CheckDecimalForm(std::u16string_view body, std::u16string_view text) {
    Require(!body.empty(), "decimal text has nothing after its sign", text);
    const std::size_t e = body.find(u'E');
    const std::u16string_view mantissa = body.substr(0, e);
    Require(!mantissa.empty(), "decimal text has no digits before E", text);

    std::size_t points = 0;
    std::size_t significant = 0;
    bool seen_nonzero = false;
    for (char16_t c : mantissa) {
        if (c == u'.') {
            ++points;
            continue;
        }
        Require(IsAsciiDigit(c), "decimal text holds a character that is no digit", text);
        if (c != u'0') seen_nonzero = true;
        if (seen_nonzero) ++significant;
    }
    Require(points <= 1, "decimal text has more than one point", text);
    Require(seen_nonzero, "decimal text of a non-zero value holds no non-zero digit", text);
    Require(mantissa.front() != u'0', "decimal text starts with a zero", text);
    Require(mantissa.back() != u'.', "decimal text ends its digits with a point", text);
    if (points == 1) {
        Require(mantissa.back() != u'0', "decimal text has trailing zeros after the point", text);
    }

    if (e == std::u16string_view::npos) {
        // Plain form: the trailing zeros of a whole number are not significant.
        std::size_t trailing_zeros = 0;
        if (points == 0) {
            for (auto it = mantissa.rbegin(); it != mantissa.rend() && *it == u'0'; ++it) ++trailing_zeros;
        }
        Require(significant - trailing_zeros <= kMaxSignificantDigits,
                "decimal text has more than 15 significant digits", text);
        return;
    }
    Require(significant <= kMaxSignificantDigits, "decimal text has more than 15 significant digits",
            text);
    Require(IsAsciiDigit(mantissa.front()) && (mantissa.size() == 1 || mantissa[1] == u'.'),
            "exponent form has not exactly one digit before the point", text);
    const std::u16string_view exponent = body.substr(e + 1);
    Require(exponent.size() >= 1 + kMinExponentDigits &&
                (exponent.front() == u'+' || exponent.front() == u'-'),
            "exponent form lacks the exponent's sign or two digits", text);
    Require(std::all_of(exponent.begin() + 1, exponent.end(), IsAsciiDigit),
            "exponent holds a character that is no digit", text);
}

}  // namespace

void Fail(std::string_view what, std::u16string_view text) {
    const std::string utf8 = Utf16ToUtf8(text);
    std::fprintf(stderr, "property violated: %.*s\n  text: \"%s\"\n", static_cast<int>(what.size()),
                 what.data(), utf8.c_str());
    std::abort();
}

void Require(bool condition, std::string_view what, std::u16string_view text) {
    if (!condition) Fail(what, text);
}

void RequireErrorKind(const RunTimeError& error, std::initializer_list<ErrorKind> allowed) {
    const bool known = error.number() == 6 || error.number() == 11 || error.number() == 13;
    Require(known, "an error other than 6, 11 or 13 escaped");
    Require(std::find(allowed.begin(), allowed.end(), error.kind()) != allowed.end(),
            "an error this operation never raises escaped");
}

std::u16string DecodeText(const std::uint8_t* data, std::size_t size) {
    std::u16string text;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] != kRawCodeUnitByte) {
            text.push_back(data[i]);
        } else if (i + 2 < size) {
            text.push_back(static_cast<char16_t>((data[i + 1] << 8) | data[i + 2]));
            i += 2;
        } else {
            break;  // a cut-off raw code unit ends the text
        }
    }
    return text;
}

std::vector<std::u16string> DecodeTexts(const std::uint8_t* data, std::size_t size,
                                        std::size_t count) {
    std::vector<std::u16string> texts(count);
    std::size_t start = 0;
    for (std::size_t index = 0; index < count && start <= size; ++index) {
        std::size_t end = start;
        // A separator byte inside a raw code unit does not end the text.
        while (end < size && data[end] != kTextSeparatorByte) {
            end += data[end] == kRawCodeUnitByte ? 3 : 1;
        }
        end = std::min(end, size);
        texts[index] = DecodeText(data + start, end - start);
        start = end + 1;
    }
    return texts;
}

void CheckDecimalText(double value, std::u16string_view text) {
    Require(text.size() >= 2, "decimal text shorter than a sign and a digit", text);
    if (value == 0) {
        Require(text == u" 0", "zero is not written as \" 0\"", text);
        return;
    }
    Require(text.front() == (std::signbit(value) ? u'-' : u' '),
            "decimal text does not start with a blank or \"-\" as its sign asks", text);
    CheckDecimalForm(text.substr(1), text);

    double read_back = 0;
    try {
        read_back = ReadNumber(text);
    } catch (const RunTimeError& error) {
        Require(error.kind() == ErrorKind::kOverflow && std::fabs(value) >= kFirstUnreadableMagnitude,
                "decimal text cannot be read back", text);
        return;
    }
    Require(std::fabs(read_back - value) <= ReadBackTolerance(value),
            "decimal text read back lies more than half a unit of the 15th digit away", text);
    Require(DecimalText(read_back) == text, "decimal text read back and written again differs",
            text);
}

void CheckHexCharacters(std::u16string_view text) {
    constexpr std::u16string_view kPrefix = u"0x ";
    Require(text.substr(0, kPrefix.size()) == kPrefix, "hex text does not start with \"0x \"", text);
    const std::u16string_view rest = text.substr(kPrefix.size());
    Require(std::all_of(rest.begin(), rest.end(),
                        [](char16_t c) { return IsUpperHexDigit(c) || c == u' '; }),
            "hex text holds a character other than upper-case hex digits and blanks", text);
}

std::u16string ExpectedHexWord(double word, std::int32_t bits) {
    if (!std::isfinite(word) || word != std::floor(word)) return {};
    if (word < static_cast<double>(kSmallestRenderedWord) ||
        word > static_cast<double>(kLargestRenderedWord)) {
        return {};
    }
    const auto whole = static_cast<std::int64_t>(word);
    // Floor division and a non-negative remainder, also below zero.
    const std::int64_t low = ((whole % kLowPartModulus) + kLowPartModulus) % kLowPartModulus;
    const std::int64_t high = (whole - low) / kLowPartModulus;
    const auto high_bits = static_cast<std::uint32_t>(static_cast<std::int32_t>(high));

    char buffer[16];
    std::string s(buffer, std::to_chars(std::begin(buffer), std::end(buffer), high_bits, 16).ptr);
    s.push_back(' ');
    const std::string low_digits(
        buffer, std::to_chars(std::begin(buffer), std::end(buffer), static_cast<unsigned>(low), 16).ptr);
    s.append(kLowPartDigits - low_digits.size(), '0');
    s.append(low_digits);

    // ceil(bits / 4) digits at least; no padding for widths of 0 and below.
    const std::int64_t wanted = bits > 0 ? (std::int64_t{bits} + 3) / 4 : 0;
    const auto digits = static_cast<std::int64_t>(s.size() - 1);
    if (digits < wanted) s.insert(0, static_cast<std::size_t>(wanted - digits), '0');
    if (bits == kThreeGroupBits) s.insert(kFirstGroupDigits, 1, ' ');

    std::transform(s.begin(), s.end(), s.begin(),
                   [](char c) { return c >= 'a' && c <= 'f' ? static_cast<char>(c - 'a' + 'A') : c; });
    return u"0x " + Widen(s);
}

bool ScanReferenceMantissa(std::u16string_view text, std::size_t& i, std::string& ascii) {
    auto peek = [&] { return i < text.size() ? text[i] : u'\0'; };
    if (peek() == u'+' || peek() == u'-') {
        if (peek() == u'-') ascii.push_back('-');
        ++i;
    }
    bool any_digit = false;
    for (; IsAsciiDigit(peek()); ++i) ascii.push_back(static_cast<char>(peek())), any_digit = true;
    if (peek() == u'.') {
        ascii.push_back('.');
        ++i;
        for (; IsAsciiDigit(peek()); ++i) ascii.push_back(static_cast<char>(peek())), any_digit = true;
    }
    return any_digit;
}

std::optional<std::string> NumberAtStart(std::u16string_view text) {
    std::u16string kept;
    for (char16_t c : text) {
        if (c != u' ' && c != u'\t' && c != u'\n') kept.push_back(c);
    }
    std::string ascii;
    std::size_t i = 0;
    if (!ScanReferenceMantissa(kept, i, ascii)) return std::nullopt;
    auto peek = [&] { return i < kept.size() ? kept[i] : u'\0'; };

    const char16_t letter = peek();
    if (letter == u'E' || letter == u'e' || letter == u'D' || letter == u'd') {
        std::string exponent = "e";
        std::size_t j = i + 1;
        if (j < kept.size() && (kept[j] == u'+' || kept[j] == u'-')) {
            exponent.push_back(static_cast<char>(kept[j]));
            ++j;
        }
        const std::size_t first_digit = j;
        for (; j < kept.size() && IsAsciiDigit(kept[j]); ++j) exponent.push_back(static_cast<char>(kept[j]));
        if (j > first_digit) ascii += exponent;
    }
    return ascii;
}

}  // namespace quorvel::fuzz
