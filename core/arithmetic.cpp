#include "arithmetic.h"

#include <cmath>

#include "run_error.h"

namespace quorvel {
namespace {

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
    // pow is exact for a base of 2 and a whole exponent: a power of two, a
    // subnormal, zero below 2^-1074 (2^-1075 is a tie that goes to zero), or
    // infinity from 2^1024 on, which is the Overflow.
    return Finite(std::pow(2.0, static_cast<double>(exponent)));
}

}  // namespace quorvel
