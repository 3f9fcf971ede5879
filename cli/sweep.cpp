#include "cli/sweep.h"

#include <algorithm>
#include <array>
#include <optional>
#include <ostream>
#include <utility>

#include "action/calculate_action.h"
#include "cli/details.h"
#include "cli/exit_status.h"
#include "cli/outcome_text.h"

namespace quorvel::cli {
namespace {

constexpr std::array<std::string_view, 3> kPartNames = {"FROM", "TO", "STEP"};
constexpr char kPartSeparator = ':';

// A plain decimal number as a whole number of 10^-decimals: "-0.0125" -> -125, 4.
struct ExactDecimal {
    mpz_class scaled;
    std::size_t decimals = 0;
};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// An optional sign, then digits with at most one point among them and at
// least one digit; nothing else: "-0.0125" -> -125, 4; ".5" -> 5, 1; "1e3" -> nothing.
std::optional<ExactDecimal> ReadPlainDecimal(std::string_view text) {
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    const std::size_t point = text.find('.');
    std::string digits(text.substr(0, point));
    std::size_t decimals = 0;
    if (point != std::string_view::npos) {
        const std::string_view fraction = text.substr(point + 1);
        digits.append(fraction);
        decimals = fraction.size();
    }
    if (digits.empty() || !std::all_of(digits.begin(), digits.end(), IsDigit)) return std::nullopt;
    ExactDecimal decimal{mpz_class(digits, 10), decimals};
    if (negative) decimal.scaled = -decimal.scaled;
    return decimal;
}

// The same value as a whole number of 10^-decimals, `decimals` being at
// least the value's own: (125, 4) at 6 -> 12500.
mpz_class ScaledTo(const ExactDecimal& value, std::size_t decimals) {
    mpz_class scale;
    mpz_ui_pow_ui(scale.get_mpz_t(), 10, decimals - value.decimals);
    return value.scaled * scale;
}

SweepError NotThreeParts() {
    return {"--sweep takes FROM:TO:STEP, three numbers in MHz separated by colons, such as 10:11:0.0125"};
}

// The fields a sweep starts each row from: the initial texts with the inputs given.
std::optional<FieldTexts> FieldsWithInputs(const std::vector<InputArgument>& inputs, std::ostream& err) {
    FieldTexts fields;
    if (!SetInputTexts(inputs, fields, err)) return std::nullopt;
    return fields;
}

// Runs every row of the plan and hands each outcome to `write`; returns
// false if some row stopped at a run-time error.
template <class Write>
bool RunRows(const SweepPlan& plan, const FieldTexts& inputs, OutcomeRunner& run, Write write) {
    bool all_ran = true;
    WantedTexts wanted(plan);
    std::u16string text;
    for (std::int64_t row = 0; row < plan.rows; ++row) {
        // The text is ASCII: one code unit a character.
        const std::string_view ascii = wanted.Next();
        text.assign(ascii.begin(), ascii.end());
        FieldTexts fields = inputs;
        fields.SetText(Field::kFwanted, text);
        run(std::move(fields), [&](const ActionOutcome& outcome, const auto&... figures) {
            if (outcome.error) all_ran = false;
            write(outcome, figures...);
        });
    }
    return all_ran;
}

}  // namespace

std::variant<SweepPlan, SweepError> ParseSweep(std::string_view text) {
    if (std::count(text.begin(), text.end(), kPartSeparator) != 2) return NotThreeParts();
    std::array<ExactDecimal, 3> parts;
    for (std::size_t index = 0; index < parts.size(); ++index) {
        const std::size_t end = text.find(kPartSeparator);
        std::optional<ExactDecimal> part = ReadPlainDecimal(text.substr(0, end));
        if (!part) {
            return SweepError{"--sweep: " + std::string(kPartNames[index]) +
                              " is not a plain decimal number (digits with an optional sign and point, "
                              "no exponent, no blanks)"};
        }
        parts[index] = std::move(*part);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
    const auto& [from, to, step] = parts;

    if (sgn(step.scaled) == 0) return SweepError{"--sweep: STEP is 0"};
    // Compared and divided at the decimals of all three, exactly.
    const std::size_t all_decimals = std::max({from.decimals, to.decimals, step.decimals});
    const mpz_class span = ScaledTo(to, all_decimals) - ScaledTo(from, all_decimals);
    const mpz_class exact_step = ScaledTo(step, all_decimals);
    if (sgn(span) != 0 && sgn(span) != sgn(exact_step)) {
        return SweepError{"--sweep: STEP leads away from TO (it must be positive when TO is above FROM, "
                          "negative when TO is below)"};
    }
    // Span and step have the same sign, so the quotient truncated is the floor.
    const mpz_class rows = span / exact_step + 1;
    if (rows > kMaxSweepRows) {
        return SweepError{"--sweep: more than " + std::to_string(kMaxSweepRows) + " rows"};
    }

    SweepPlan plan;
    plan.decimals = std::max(from.decimals, step.decimals);
    plan.first = ScaledTo(from, plan.decimals);
    plan.step = ScaledTo(step, plan.decimals);
    plan.rows = rows.get_si();
    return plan;
}

WantedTexts::WantedTexts(const SweepPlan& plan)
    : value_(plan.first), step_(plan.step), decimals_(plan.decimals) {}

std::string_view WantedTexts::Next() {
    if (started_) value_ += step_;
    started_ = true;

    // mpz_get_str writes the sign and the digits, then a NUL.
    digits_.resize(mpz_sizeinbase(value_.get_mpz_t(), 10) + 2);
    mpz_get_str(digits_.data(), 10, value_.get_mpz_t());
    std::string_view digits(digits_.c_str());

    text_.clear();
    if (digits.front() == '-') {
        text_.push_back('-');
        digits.remove_prefix(1);
    }
    const std::size_t whole_digits = digits.size() > decimals_ ? digits.size() - decimals_ : 0;
    if (whole_digits == 0) {
        text_.push_back('0');
    } else {
        text_.append(digits.substr(0, whole_digits));
    }
    std::string_view fraction = digits.substr(whole_digits);
    const std::size_t leading_zeros = decimals_ - fraction.size();
    while (!fraction.empty() && fraction.back() == '0') fraction.remove_suffix(1);
    if (!fraction.empty()) {
        text_.push_back('.');
        text_.append(leading_zeros, '0');
        text_.append(fraction);
    }
    return text_;
}

int RunSweep(const SweepRequest& request, std::ostream& out, std::ostream& err) {
    std::variant<SweepPlan, SweepError> parsed = ParseSweep(request.sweep);
    if (const auto* error = std::get_if<SweepError>(&parsed)) {
        err << "quorvel-calc: " << error->message << '\n';
        return kExitInvalidInput;
    }
    const std::optional<FieldTexts> inputs = FieldsWithInputs(request.inputs, err);
    if (!inputs) return kExitInvalidInput;
    const SweepPlan& plan = std::get<SweepPlan>(parsed);

    bool all_ran = true;
    OutcomeRunner run(request.details);
    if (request.format == RowFormat::kCsv) {
        OutcomeCsvWriter writer(CsvColumns::kOutcome, request.details);
        writer.WriteHeader(out);
        all_ran = RunRows(plan, *inputs, run, [&](const auto&... done) { writer.WriteRow(done..., out); });
    } else {
        OutcomeJsonWriter writer;
        all_ran = RunRows(plan, *inputs, run, [&](const auto&... done) { writer.WriteLine(done..., out); });
    }
    return all_ran ? kExitOk : kExitRunTimeError;
}

}  // namespace quorvel::cli
