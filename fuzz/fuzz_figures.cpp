// The exact figures of both words on four arbitrary field texts (BitSize,
// Fclock, Fwanted, Ferror, split as for fuzz_calculate). For each word the
// run wrote, the figures must equal an exact computation written apart from
// the core, in fractions of big integers (GMP's mpq_class):
//   - the word in full; output = word * clock / 2^bits and error = output -
//     wanted from the doubles the run used, and error / wanted * 10^9 when
//     wanted is not 0: each text the exact value rounded to 20 (hertz) or 10
//     (ppb) significant digits, halves to even, positional from 1e-7 up to
//     below 1e21 and in exponent form beyond;
//   - the nearest word, halves up, of the numbers as written in the fields
//     (fuzz_support's reference reader): wanted / clock * 2^bits for N,
//     wanted * 10^6 * N / (wanted * 10^6 + error) for N2; its steps from the
//     word shown, and its figures with the same clock when it differs;
//   - no cross-check exactly when a written number needs more than
//     kMaxExactDigits digits written out, or the exact clock is 0.

#include <gmpxx.h>

#include <cstdint>
#include <optional>
#include <string>
#include <variant>

#include "action/word_details.h"
#include "core/exact_figures.h"
#include "fuzz/fuzz_support.h"

namespace {

using quorvel::fuzz::Require;

// More exponent digits than this make a number far beyond kMaxExactDigits.
constexpr std::size_t kMaxExponentDigits = 12;

mpq_class PowerOfTen(std::int64_t exponent) {
    mpz_class power;
    mpz_ui_pow_ui(power.get_mpz_t(), 10, static_cast<unsigned long>(exponent < 0 ? -exponent : exponent));
    return exponent < 0 ? mpq_class(1, power) : mpq_class(power);
}

mpq_class PowerOfTwo(std::int64_t exponent) {
    mpz_class power = 1;
    power <<= static_cast<mp_bitcnt_t>(exponent < 0 ? -exponent : exponent);
    return exponent < 0 ? mpq_class(1, power) : mpq_class(power);
}

// "[-]digits[.digits][e[+-]digits]" as a fraction; nothing when it needs more
// than `max_digits` digits written out in full (0.001 needs 3, 1250 needs 4).
std::optional<mpq_class> DecimalValue(const std::string& text, std::int64_t max_digits) {
    const std::size_t e = text.find('e');
    std::string mantissa = text.substr(0, e);
    const bool negative = !mantissa.empty() && mantissa[0] == '-';
    if (negative) mantissa.erase(0, 1);
    const std::size_t point = mantissa.find('.');
    const std::int64_t whole_digits = static_cast<std::int64_t>(point == std::string::npos ? mantissa.size() : point);
    if (point != std::string::npos) mantissa.erase(point, 1);
    const std::size_t first = mantissa.find_first_not_of('0');
    if (first == std::string::npos) return mpq_class(0);
    const std::size_t last = mantissa.find_last_not_of('0');

    std::string exponent_text = e == std::string::npos ? "0" : text.substr(e + 1);
    const bool exponent_negative = exponent_text[0] == '-';
    if (exponent_text[0] == '-' || exponent_text[0] == '+') exponent_text.erase(0, 1);
    exponent_text.erase(0, std::min(exponent_text.find_first_not_of('0'), exponent_text.size()));
    if (exponent_text.size() > kMaxExponentDigits) return std::nullopt;
    const std::int64_t exponent = (exponent_text.empty() ? 0 : std::stoll(exponent_text)) * (exponent_negative ? -1 : 1);

    // Digit i of the mantissa stands for 10^(point_at - 1 - i).
    const std::int64_t point_at = whole_digits + exponent;
    const std::int64_t before_point = std::max<std::int64_t>(0, point_at - static_cast<std::int64_t>(first));
    const std::int64_t after_point = std::max<std::int64_t>(0, static_cast<std::int64_t>(last) + 1 - point_at);
    if (before_point + after_point > max_digits) return std::nullopt;
    mpq_class value(mpz_class(mantissa.substr(first, last - first + 1)));
    value *= PowerOfTen(point_at - static_cast<std::int64_t>(last) - 1);
    return negative ? mpq_class(-value) : value;
}

// The value a field's text holds as written, the reference reader's way.
std::optional<mpq_class> Written(std::u16string_view text) {
    const std::optional<std::string> number = quorvel::fuzz::NumberAtStart(text);
    return number ? DecimalValue(*number, quorvel::kMaxExactDigits) : mpq_class(0);
}

std::u16string Widen(const std::string& text) { return {text.begin(), text.end()}; }

// `text` is `exact` rounded to `significant` digits, halves to even, laid out
// as exact_figures.h says.
void CheckRounded(const std::string& text, const mpq_class& exact, int significant) {
    const std::u16string wide = Widen(text);
    if (exact == 0) {
        Require(text == "0", "a zero figure is not \"0\"", wide);
        return;
    }
    const std::optional<mpq_class> shown = DecimalValue(text, INT64_MAX);
    Require(shown.has_value() && text.find_first_not_of("0123456789.e+-") == std::string::npos,
            "a figure is no decimal number", wide);
    // 10^power <= |exact| < 10^(power + 1)
    const mpq_class magnitude = abs(exact);
    auto power = static_cast<std::int64_t>(mpz_sizeinbase(magnitude.get_num_mpz_t(), 10)) -
                 static_cast<std::int64_t>(mpz_sizeinbase(magnitude.get_den_mpz_t(), 10));
    while (magnitude < PowerOfTen(power)) --power;
    while (magnitude >= PowerOfTen(power + 1)) ++power;
    const mpq_class unit = PowerOfTen(power - significant + 1);
    const mpq_class steps = *shown / unit;
    const mpq_class twice_off = 2 * abs(*shown - exact);
    Require(steps.get_den() == 1, "a figure has more significant digits than it keeps", wide);
    Require(twice_off <= unit, "a figure is not the nearest at its last digit", wide);
    Require(twice_off < unit || mpz_even_p(steps.get_num_mpz_t()), "a figure's half is not rounded to even", wide);

    const mpq_class size = abs(*shown);
    const bool positional = size >= PowerOfTen(-7) && size < PowerOfTen(21);
    const std::size_t e = text.find('e');
    Require(positional == (e == std::string::npos), "a figure's layout does not suit its size", wide);
    const std::string mantissa = text.substr(text[0] == '-' ? 1 : 0, e == std::string::npos ? e : e - (text[0] == '-'));
    const bool fraction = mantissa.find('.') != std::string::npos;
    Require(!fraction || (mantissa.back() != '0' && mantissa.back() != '.'), "a figure has trailing zeros", wide);
    Require(mantissa[0] != '0' || (mantissa.size() > 1 && mantissa[1] == '.' && size < 1),
            "a figure has a leading zero", wide);
    if (!positional) {
        Require(mantissa.size() == 1 || mantissa[1] == '.', "exponent form has more than one leading digit", wide);
        Require(text[e + 1] == '+' || text[e + 1] == '-', "exponent form lacks its exponent's sign", wide);
        Require(text[e + 2] != '0', "an exponent has a leading zero", wide);
    }
}

// What `word` produces: output, error and ppb, against the exact values.
void CheckProduced(const quorvel::FrequencyFigures& figures, const mpz_class& word, double clock, double wanted,
                   std::int32_t bits) {
    const mpq_class output = mpq_class(word) * mpq_class(clock) / PowerOfTwo(bits);
    CheckRounded(figures.output_hz, output, quorvel::kHertzSignificantDigits);
    Require(figures.error_hz.has_value(), "a figure has no error");
    const mpq_class error = output - mpq_class(wanted);
    CheckRounded(*figures.error_hz, error, quorvel::kHertzSignificantDigits);
    Require(figures.error_ppb.has_value() == (wanted != 0), "a ppb figure is there exactly when wanted is not 0");
    if (wanted != 0) CheckRounded(*figures.error_ppb, error / mpq_class(wanted) * 1000000000, quorvel::kPartsPerBillionSignificantDigits);
}

// A word's figures. `exact` is the exact quotient of the cross-check, or
// nothing when a written number is out of range; a zero divisor is given as
// a denominator of 0 in `divisor`.
void CheckWord(const quorvel::WordFigures& figures, double word, double clock, double wanted, std::int32_t bits,
               const std::optional<mpq_class>& dividend, const mpq_class& divisor) {
    const mpz_class shown(word);  // whole, so exact
    Require(figures.word == shown.get_str(), "a word is not shown in full", Widen(figures.word));
    CheckProduced(figures.produced, shown, clock, wanted, bits);

    if (!dividend) {
        const auto* reason = std::get_if<quorvel::NoCrossCheck>(&figures.cross_check);
        Require(reason != nullptr && *reason == quorvel::NoCrossCheck::kBeyondExactRange,
                "a written number beyond the digit bound has no such note");
        return;
    }
    if (divisor == 0) {
        const auto* reason = std::get_if<quorvel::NoCrossCheck>(&figures.cross_check);
        Require(reason != nullptr && *reason == quorvel::NoCrossCheck::kNoExactClock,
                "an exact clock of 0 has no such note");
        return;
    }
    const auto* check = std::get_if<quorvel::CrossCheck>(&figures.cross_check);
    Require(check != nullptr, "a word within range has no cross-check");
    const mpq_class exact = *dividend / divisor + mpq_class(1, 2);
    mpz_class nearest;
    mpz_fdiv_q(nearest.get_mpz_t(), exact.get_num_mpz_t(), exact.get_den_mpz_t());
    const mpz_class steps = nearest - shown;
    Require(check->word == nearest.get_str(), "the exact nearest word is wrong", Widen(check->word));
    Require(check->steps == steps.get_str(), "the steps to the exact word are wrong", Widen(check->steps));
    Require(check->figures.has_value() == (steps != 0), "the exact word's figures are there exactly when it differs");
    if (check->figures) CheckProduced(*check->figures, nearest, clock, wanted, bits);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::u16string> inputs =
        quorvel::fuzz::DecodeTexts(data, size, quorvel::kInputFields.size());
    quorvel::FieldTexts fields;
    for (std::size_t i = 0; i < inputs.size(); ++i) fields.SetText(quorvel::kInputFields[i], inputs[i]);
    // One calculator for every input, as a batch uses it: nothing may carry over.
    static quorvel::WordFigureCalculator calculator;
    const quorvel::DetailedOutcome run = quorvel::RunActionWithFigures(fields, calculator);
    const quorvel::CalculatorVariables& vars = run.outcome.variables;

    const std::optional<mpq_class> clock = Written(inputs[1]);
    const std::optional<mpq_class> wanted = Written(inputs[2]);
    const std::optional<mpq_class> error = Written(inputs[3]);
    if (run.figures.ideal) {
        std::optional<mpq_class> dividend;
        if (clock && wanted) dividend = *wanted * PowerOfTwo(vars.Bits);
        CheckWord(*run.figures.ideal, vars.N, vars.Fc, vars.Fout, vars.Bits, dividend, clock.value_or(1));
    }
    if (run.figures.corrected) {
        std::optional<mpq_class> dividend;
        mpq_class divisor = 1;
        if (wanted && error) {
            const mpq_class wanted_hz = *wanted * 1000000;
            dividend = wanted_hz * mpq_class(vars.N);
            divisor = vars.N == 0 ? mpq_class(0) : wanted_hz + *error;
        }
        CheckWord(*run.figures.corrected, vars.N2, vars.Fc2, vars.Fout, vars.Bits, dividend, divisor);
    }
    return 0;
}
