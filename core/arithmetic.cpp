#include "core/arithmetic.h"

#include <cmath>
#include <cstdint>
#include <cstring>

#include "core/run_error.h"

namespace quorvel {
namespace {

// IEEE 754 double: 52 fraction bits, exponents -1022...1023 biased by 1023.
constexpr int kFractionBits = 52;
constexpr std::int32_t kExponentBias = 1023;
constexpr std::int32_t kMinNormalExponent = -1022;
constexpr std::int32_t kMaxExponent = 1023;

double Finite(double result) {
    if (!std::isfinite(result)) throw RunTimeError(ErrorKind::kOverflow);
    return result;
}

}  // namespace

double Add(double a, double b) { return Finite(a + b); }
double Subtract(double a, double b) { return Finite(a - b); }
double Multiply(double a, double b) { return Finite(a * b); }

double Divide(double dividend, double divisor) {
    if (divisor == 0.0) {
        // 0/0 has no value at all, which the platform reports as Overflow.
        throw RunTimeError(dividend == 0.0 || std::isnan(dividend) ? ErrorKind::kOverflow
                                                                    : ErrorKind::kDivisionByZero);
    }
    return Finite(dividend / divisor);
}

double PowerOfTwo(std::int32_t exponent) {
    // For a whole exponent, 2 to that power is exact wherever a double can
    // hold it. In the normal range it is just a biased exponent field with a
    // zero fraction; outside it ldexp gives the subnormal, the zero below
    // 2^-1074 (2^-1075 is a tie that goes to zero) or, from 2^1024 on, the
    // infinity that is the Overflow.
    if (exponent >= kMinNormalExponent && exponent <= kMaxExponent) {
        const auto biased = static_cast<std::uint64_t>(exponent + kExponentBias);
        const std::uint64_t bits = biased << kFractionBits;
        // std::bit_cast, which the WebAssembly build's C++ library lacks.
        double power = 0;
        std::memcpy(&power, &bits, sizeof power);
        return power;
    }
    return Finite(std::ldexp(1.0, exponent));
}

}  // namespace quorvel
