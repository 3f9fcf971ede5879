#pragma once
// What quorvel-calc does when a run cannot finish for a reason that is no
// run-time error of the calculation (those are part of the outcome).

#include <exception>
#include <functional>
#include <iosfwd>
#include <string>

namespace quorvel::cli {

// Runs `run` (one calculation, or a whole batch) and returns the exit status
// it returns. Anything else that leaves it, and an output that could not be
// written, ends the run with kExitUnfinished: what was already written to
// `out` is flushed first (in a batch, one line for each input line before the
// one that failed), then one line on `err` says why:
//   std::bad_alloc -> "quorvel-calc: could not finish: out of memory"
int RunToTheEnd(const std::function<int()>& run, std::ostream& out, std::ostream& err);

// A plain description of what ended a run:
//   std::bad_alloc -> "out of memory"
//   std::ios_base::failure -> "the input could not be read or the output not
//       written (Is a directory)"
//   another std::exception -> its what()
//   anything else -> "an unknown failure"
std::string UnfinishedReason(const std::exception_ptr& failure);

}  // namespace quorvel::cli
