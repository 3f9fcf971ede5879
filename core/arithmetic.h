#pragma once
// Checked double arithmetic. Every result must be a finite double; one that is
// not raises Overflow instead of carrying an infinity or a NaN into a field.

#include <cstdint>

namespace quorvel {

//   Add(1e308, 1e308) -> Overflow
double Add(double a, double b);
double Subtract(double a, double b);
//   Multiply(1e-200, 1e-200) -> 0
double Multiply(double a, double b);

// A non-zero value divided by zero is Division by zero; zero divided by zero
// has no quotient at all, which is Overflow.
//   Divide(1, 0) -> Division by zero
//   Divide(0, 0) -> Overflow
double Divide(double dividend, double divisor);

// 2 to the power of the width, the width widened to a double first. Exact
// wherever a double holds it; too small for a double is zero, not an error.
//   PowerOfTwo(32) -> 4294967296
//   PowerOfTwo(-1075) -> 0
//   PowerOfTwo(1024) -> Overflow
double PowerOfTwo(std::int32_t exponent);

}  // namespace quorvel
