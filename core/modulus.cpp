#include "core/modulus.h"

#include <gmpxx.h>

#include <utility>

#include "core/decimal_layout.h"
#include "core/decimal_scan.h"

namespace quorvel {
namespace {

constexpr unsigned long kHertzPerMegahertz = 1000000;
constexpr unsigned long kPartsPerBillion = 1000000000;
constexpr int kUpperCaseHexBase = -16;

// The first fault met ends the work; AccumulatorWordOf returns it.
struct Stop {
    AccumulatorFault fault;
};

mpq_class Canonical(mpq_class value) {
    value.canonicalize();
    return value;
}

// A frequency field's number in hertz, or `fault` when it has none.
mpq_class Hertz(std::u16string_view text, AccumulatorFault fault) {
    const std::optional<DecimalNumber> number = ScanNumberAtStart(text);
    if (!number) throw Stop{fault};
    const std::optional<mpq_class> megahertz = ExactValue(*number);
    if (!megahertz) throw Stop{AccumulatorFault::kBeyondExactRange};
    return Canonical(*megahertz * kHertzPerMegahertz);
}

mpz_class WholeAtLeast(std::u16string_view text, long least, AccumulatorFault fault) {
    std::variant<mpz_class, WordTextFault> read = ReadWholeWord(text);
    if (std::holds_alternative<WordTextFault>(read) || std::get<mpz_class>(read) < least) throw Stop{fault};
    return std::get<mpz_class>(std::move(read));
}

mpz_class Modulus(const AccumulatorRequest& request) {
    constexpr long kLeastModulus = 2;
    if (request.modulus) return WholeAtLeast(*request.modulus, kLeastModulus, AccumulatorFault::kBadModulus);
    if (request.bits < 1) throw Stop{AccumulatorFault::kBitsOutOfRange};
    mpz_class power;
    mpz_setbit(power.get_mpz_t(), static_cast<mp_bitcnt_t>(request.bits));
    return power;
}

mpz_class Floor(const mpq_class& value) {
    mpz_class floor;
    mpz_fdiv_q(floor.get_mpz_t(), value.get_num_mpz_t(), value.get_den_mpz_t());
    return floor;
}

// The fraction nearest to `value` (0 <= value < 1) among those with a
// denominator up to `limit`: the last convergent of its continued fraction
// within the limit, or the semiconvergent after it, whichever is nearer.
mpq_class BestWithin(const mpq_class& value, const mpz_class& limit) {
    mpz_class p0 = 0, q0 = 1, p1 = 1, q1 = 0;
    mpz_class n = value.get_num(), d = value.get_den();
    while (sgn(d) != 0) {
        const mpz_class a = n / d;
        const mpz_class q2 = q0 + a * q1;
        if (q2 > limit) break;
        mpz_class p2 = p0 + a * p1;
        p0 = std::move(p1);
        q0 = std::move(q1);
        p1 = std::move(p2);
        q1 = q2;
        mpz_class rest = n - a * d;
        n = std::move(d);
        d = std::move(rest);
    }
    if (sgn(d) == 0) return Canonical(mpq_class(p1, q1));
    const mpz_class k = (limit - q0) / q1;
    const mpq_class semi = Canonical(mpq_class(p0 + k * p1, q0 + k * q1));
    const mpq_class convergent = Canonical(mpq_class(p1, q1));
    return abs(convergent - value) <= abs(semi - value) ? convergent : semi;
}

ExactNumber Exact(const mpq_class& value) {
    if (std::optional<std::string> full = FiniteDecimalText(value)) return {std::move(*full), std::nullopt};
    return {RoundedText(value, kRationalSignificantDigits), FractionText(value)};
}

// The word for the wanted frequency, before it is wrapped into the register.
struct Chosen {
    mpz_class word;  // signed: may be negative
    mpq_class rest;  // A/B, 0 without `fraction`
    bool exact = true;
};

Chosen ChooseWord(const AccumulatorRequest& request, const mpq_class& steps) {
    if (!request.fraction) return {Floor(steps + mpq_class(1, 2)), 0, true};
    const mpz_class limit = WholeAtLeast(request.max_denominator, 1, AccumulatorFault::kBadMaxDenominator);
    Chosen chosen{Floor(steps), 0, true};
    chosen.rest = Canonical(steps - chosen.word);
    if (chosen.rest.get_den() > limit) {
        chosen.rest = BestWithin(chosen.rest, limit);
        chosen.exact = false;
        if (chosen.rest == 1) {  // nearer to the next word than to any fraction within the limit
            ++chosen.word;
            chosen.rest = 0;
        }
    }
    return chosen;
}

AccumulatorWord Work(const AccumulatorRequest& request) {
    const mpz_class modulus = Modulus(request);
    const mpq_class clock = Hertz(request.clock, AccumulatorFault::kBadClock);
    if (sgn(clock) <= 0) throw Stop{AccumulatorFault::kBadClock};
    std::optional<mpq_class> wanted;
    if (request.wanted) wanted = Hertz(*request.wanted, AccumulatorFault::kBadWanted);

    Chosen chosen;
    if (request.word) {
        chosen.word = WholeAtLeast(*request.word, 0, AccumulatorFault::kBadWord);
        if (chosen.word >= modulus) throw Stop{AccumulatorFault::kBadWord};
        if (request.is_signed && 2 * chosen.word >= modulus) chosen.word -= modulus;
    } else {
        if (!wanted) throw Stop{AccumulatorFault::kBadWanted};
        if (request.is_signed && 2 * abs(*wanted) >= clock) throw Stop{AccumulatorFault::kOutsideSignedRange};
        chosen = ChooseWord(request, Canonical(*wanted * modulus / clock));
        if (!request.is_signed && (sgn(chosen.word) < 0 || chosen.word >= modulus)) {
            throw Stop{AccumulatorFault::kWordOutOfRange};
        }
    }

    mpz_class value;
    mpz_fdiv_r(value.get_mpz_t(), chosen.word.get_mpz_t(), modulus.get_mpz_t());
    const mpz_class top = modulus - 1;
    AccumulatorWord result;
    result.word = value.get_str();
    result.hex = "0x" + value.get_str(kUpperCaseHexBase);
    result.register_bits = static_cast<std::int32_t>(mpz_sizeinbase(top.get_mpz_t(), 2));
    result.modulus = modulus.get_str();
    result.clock_mhz = *FiniteDecimalText(Canonical(clock / kHertzPerMegahertz));
    if (request.is_signed) result.signed_word = chosen.word.get_str();
    if (request.fraction && !request.word) {
        result.numerator = chosen.rest.get_num().get_str();
        result.denominator = chosen.rest.get_den().get_str();
        result.exact = chosen.exact;
    }
    const mpq_class output = Canonical((chosen.word + chosen.rest) * clock / modulus);
    result.output_hz = Exact(output);
    if (wanted) {
        const mpq_class error = Canonical(output - *wanted);
        result.error_hz = Exact(error);
        if (sgn(*wanted) != 0) result.error_ppb = Exact(Canonical(error * kPartsPerBillion / *wanted));
    }
    return result;
}

}  // namespace

std::variant<AccumulatorWord, AccumulatorFault> AccumulatorWordOf(const AccumulatorRequest& request) {
    try {
        return Work(request);
    } catch (const Stop& stop) {
        return stop.fault;
    }
}

std::string AccumulatorFaultText(AccumulatorFault fault) {
    switch (fault) {
        case AccumulatorFault::kBitsOutOfRange:
            return "the accumulator needs a width of 1 bit or more";
        case AccumulatorFault::kBadModulus:
            return "the modulus must be a whole number of 2 or more";
        case AccumulatorFault::kBadClock:
            return "the clock must be a number of megahertz above 0";
        case AccumulatorFault::kBadWanted:
            return "the wanted frequency must be a number of megahertz";
        case AccumulatorFault::kBeyondExactRange:
            return "a number has too many digits to work with exactly";
        case AccumulatorFault::kBadWord:
            return "the word must be a whole number from 0 to the modulus - 1";
        case AccumulatorFault::kWordOutOfRange:
            return "the wanted frequency needs a word outside 0 to the modulus - 1 (a negative one needs a signed word)";
        case AccumulatorFault::kOutsideSignedRange:
            return "a signed word needs a wanted frequency above -clock/2 and below clock/2";
        case AccumulatorFault::kBadMaxDenominator:
            return "the largest denominator must be a whole number of 1 or more";
    }
    return {};
}

}  // namespace quorvel
