// Text -> number: ReadNumber on arbitrary UTF-16 text. Only Overflow may
// escape, and the value must be the one a separately written reader gives:
// drop every blank, take the longest "[+-]digits[.digits][(E|D)[+-]digits]"
// at the start, and convert it with from_chars.

#include <charconv>
#include <cmath>
#include <cstring>
#include <optional>
#include <string>

#include "fuzz/fuzz_support.h"
#include "core/number_text.h"

namespace {

using quorvel::ErrorKind;
using quorvel::RunTimeError;
using quorvel::fuzz::Require;
using quorvel::fuzz::NumberAtStart;

bool SameDouble(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::u16string text = quorvel::fuzz::DecodeText(data, size);

    std::optional<double> value;
    try {
        value = quorvel::ReadNumber(text);
    } catch (const RunTimeError& error) {
        quorvel::fuzz::RequireErrorKind(error, {ErrorKind::kOverflow});
    }

    const std::optional<std::string> number = NumberAtStart(text);
    if (!number) {
        Require(value && SameDouble(*value, 0.0), "text without a number does not read as 0", text);
        return 0;
    }
    double expected = 0;
    const char* end = number->data() + number->size();
    const auto result = std::from_chars(number->data(), end, expected);
    Require(result.ptr == end, "the reference reader left part of the number unread", text);
    if (result.ec == std::errc::result_out_of_range) {
        // Beyond the double range: Overflow when too large, a zero of the
        // number's sign when too small.
        const double zero = number->front() == '-' ? -0.0 : 0.0;
        Require(!value || SameDouble(*value, zero),
                "a number beyond the double range reads as something other than Overflow or 0", text);
        return 0;
    }
    Require(value.has_value(), "a number within the double range raised Overflow", text);
    Require(SameDouble(*value, expected), "the number read is not the double nearest to it", text);
    return 0;
}
