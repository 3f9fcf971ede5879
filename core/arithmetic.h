#pragma once
// Checked double arithmetic. Every result must be a finite double; one that is
// not raises Overflow instead of carrying an infinity or a NaN into a field.
//   Add(1e308, 1e308)  -> Overflow
//   Divide(1, 0)       -> Division by zero
//   Divide(0, 0)       -> Overflow (no quotient, not a division of something)
//   PowerOfTwo(1024)   -> Overflow;  PowerOfTwo(-1075) -> 0 (too small is zero)

#include <cstdint>

namespace quorvel {

double Add(double a, double b);
double Subtract(double a, double b);
double Multiply(double a, double b);
double Divide(double dividend, double divisor);

// 2 to the power of the width, the width widened to a double first.
double PowerOfTwo(std::int32_t exponent);

}  // namespace quorvel
