// Number -> text: DecimalText of arbitrary doubles (every bit pattern:
// subnormals, both zeros, infinities and NaNs). A finite value gives a text
// that passes CheckDecimalText; a value that is not finite may only raise
// Overflow, since no such value can reach a field.

#include <bit>
#include <cmath>
#include <cstdint>

#include <fuzzer/FuzzedDataProvider.h>

#include "fuzz/fuzz_support.h"
#include "core/number_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider provider(data, size);
    // Every bit pattern, NaNs and infinities included.
    const auto value = std::bit_cast<double>(provider.ConsumeIntegral<std::uint64_t>());
    try {
        const std::u16string text = quorvel::DecimalText(value);
        quorvel::fuzz::Require(std::isfinite(value), "a value that is not finite was written");
        quorvel::fuzz::CheckDecimalText(value, text);
    } catch (const quorvel::RunTimeError& error) {
        quorvel::fuzz::RequireErrorKind(error, {quorvel::ErrorKind::kOverflow});
        quorvel::fuzz::Require(!std::isfinite(value), "a finite value could not be written");
    }
    return 0;
}
