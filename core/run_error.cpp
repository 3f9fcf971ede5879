#include "core/run_error.h"

#include <charconv>
#include <string>

namespace quorvel {

std::string_view Description(ErrorKind kind) noexcept {
    switch (kind) {
        case ErrorKind::kOverflow: return "Overflow";
        case ErrorKind::kDivisionByZero: return "Division by zero";
        case ErrorKind::kTypeMismatch: return "Type mismatch";
    }
    return "Unknown error";
}

std::string ReportHeading(ErrorKind kind) {
    char number[16];
    const auto written = std::to_chars(std::begin(number), std::end(number), static_cast<int>(kind));
    std::string heading = "Run-time error '";
    heading.append(number, written.ptr).append("':");
    return heading;
}

RunTimeError::RunTimeError(ErrorKind kind)
    : std::runtime_error(std::string(Description(kind))), kind_(kind) {}

}  // namespace quorvel
