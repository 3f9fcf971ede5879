#pragma once
// The run-time errors of the calculator. Every failure of a conversion or of
// the arithmetic is one of these three, carrying the number and description
// the user is shown. One exception type lets a calculation read as a plain
// list of steps: the first error leaves every step after it unrun.

#include <stdexcept>
#include <string>
#include <string_view>

namespace quorvel {

enum class ErrorKind : int {
    kOverflow = 6,
    kDivisionByZero = 11,
    kTypeMismatch = 13,
};

//   Description(Division by zero) -> "Division by zero"
std::string_view Description(ErrorKind kind) noexcept;

// The first line of an error report, with the error's number:
//   ReportHeading(Type mismatch) -> "Run-time error '13':"
//   ReportHeading(Overflow) -> "Run-time error '6':"
std::string ReportHeading(ErrorKind kind);

class RunTimeError : public std::runtime_error {
public:
    explicit RunTimeError(ErrorKind kind);

    ErrorKind kind() const noexcept { return kind_; }
    int number() const noexcept { return static_cast<int>(kind_); }
    std::string_view description() const noexcept { return Description(kind_); }

private:
    ErrorKind kind_;
};

}  // namespace quorvel
