#include "core/run_error.h"

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

RunTimeError::RunTimeError(ErrorKind kind)
    : std::runtime_error(std::string(Description(kind))), kind_(kind) {}

}  // namespace quorvel
