#pragma once
// The exit statuses of quorvel-calc.

namespace quorvel::cli {

inline constexpr int kExitOk = 0;
// The Calculate action stopped at a run-time error.
inline constexpr int kExitRunTimeError = 1;
// The command line or a batch line could not be used as input.
inline constexpr int kExitInvalidInput = 2;
// The run could not finish for a reason that is no run-time error of the
// calculation: memory ran out, the input could not be read or the output not
// written, or a library failed. What was written before stays written.
inline constexpr int kExitUnfinished = 3;

}  // namespace quorvel::cli
