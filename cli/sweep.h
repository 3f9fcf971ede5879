#pragma once
// The sweep mode of quorvel-calc: the Calculate action once per wanted
// frequency of an evenly stepped list, one output row each.

#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include <gmpxx.h>

#include "cli/csv.h"
#include "cli/single_run.h"

namespace quorvel::cli {

// A sweep never has more rows than this.
inline constexpr std::int64_t kMaxSweepRows = 10'000'000;

// The wanted frequencies FROM, FROM + STEP, FROM + 2 STEP, ... up to and
// including TO when the steps land on it, held as exact decimals: the k-th
// value is (first + k * step) / 10^decimals.
struct SweepPlan {
    mpz_class first;
    mpz_class step;
    std::size_t decimals = 0;  // the most decimals of FROM and STEP
    std::int64_t rows = 0;     // 1 ... kMaxSweepRows
};

// Why a sweep cannot run, as a sentence for the user.
struct SweepError {
    std::string message;
};

// Reads "FROM:TO:STEP", three plain decimal numbers in MHz. A plain decimal
// is an optional sign, then digits with at most one point among them and at
// least one digit: "10", "-0.0125", "+5", ".5", "5." are plain; "", ".",
// "1e3", "1 000", "1,5", "0x10" are not. STEP must not be 0 and must lead
// from FROM towards TO (any sign when TO equals FROM); at most kMaxSweepRows.
//   "10:10.05:0.0125" -> 10, 10.0125, 10.025, 10.0375, 10.05 (5 rows)
//   "1:0:-0.3"        -> 1, 0.7, 0.4, 0.1 (4 rows: 0 is not reached)
//   "1:2:-0.5"        -> error (STEP leads away from TO)
std::variant<SweepPlan, SweepError> ParseSweep(std::string_view text);

// Writes the wanted texts of a plan one after the other, plainly and with
// no more digits than the value needs: no exponent, no "+", no trailing
// zeros after the point, no point for a whole number, "0" before a point
// that would lead: 10 -> "10", 10.0250 -> "10.025", -0.5 -> "-0.5", 0 -> "0".
// Exact: the values are added as whole numbers of 10^-decimals.
class WantedTexts {
public:
    explicit WantedTexts(const SweepPlan& plan);

    // The next row's text, valid until the next call; call it plan.rows times.
    std::string_view Next();

private:
    mpz_class value_;
    mpz_class step_;
    std::size_t decimals_;
    bool started_ = false;
    std::string digits_;
    std::string text_;
};

struct SweepRequest {
    std::string sweep;                  // "FROM:TO:STEP"
    std::vector<InputArgument> inputs;  // BitSize, Fclock, Ferror; the others keep their initial texts
    RowFormat format = RowFormat::kJsonLines;
    bool details = false;  // each row also carries the words' exact figures
};

// Runs the action on fresh fields for each wanted text of the sweep and
// writes each outcome to `out` as soon as it is computed (a CSV sweep starts
// with its header row). Returns the exit status: kExitOk when every row ran
// without a run-time error, kExitRunTimeError when some row stopped at one,
// kExitInvalidInput (with a message on `err` and nothing on `out`) for a bad
// sweep or an input text that is not UTF-8.
int RunSweep(const SweepRequest& request, std::ostream& out, std::ostream& err);

}  // namespace quorvel::cli
