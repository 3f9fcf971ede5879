#pragma once
// The exit statuses of quorvel-calc.

namespace quorvel::cli {

inline constexpr int kExitOk = 0;
// The Calculate action stopped at a run-time error.
inline constexpr int kExitRunTimeError = 1;
// The command line or a batch line could not be used as input.
inline constexpr int kExitInvalidInput = 2;

}  // namespace quorvel::cli
