#include "core/phase_word.h"

#include <gmpxx.h>

#include "core/decimal_layout.h"
#include "core/decimal_scan.h"

namespace quorvel {
namespace {

constexpr unsigned long kDegreesPerTurn = 360;
constexpr int kUpperCaseHexBase = -16;

bool BitsInRange(std::int32_t bits) { return bits >= 1 && bits <= kMaxPhaseBits; }

mpz_class PowerOfTwo(std::int32_t bits) {
    mpz_class power;
    mpz_setbit(power.get_mpz_t(), static_cast<mp_bitcnt_t>(bits));
    return power;
}

// Nearest whole number, exact halves to the even one.
mpz_class RoundHalfEven(const mpq_class& value) {
    mpz_class floor;
    mpz_fdiv_q(floor.get_mpz_t(), value.get_num_mpz_t(), value.get_den_mpz_t());
    const mpq_class rest = value - floor;
    const mpq_class half(1, 2);
    if (rest > half || (rest == half && mpz_odd_p(floor.get_mpz_t()) != 0)) ++floor;
    return floor;
}

std::string Degrees(const mpq_class& value) {
    // Sums of decimals and multiples of 360 / 2^Q: always finite decimals.
    return *FiniteDecimalText(value);
}

PhaseWord Described(const mpz_class& word, std::int32_t bits) {
    mpq_class degrees(word * kDegreesPerTurn, PowerOfTwo(bits));
    degrees.canonicalize();
    return {word.get_str(), "0x" + word.get_str(kUpperCaseHexBase), Degrees(degrees), std::nullopt};
}

}  // namespace

std::variant<PhaseWord, PhaseFault> PhaseWordOfAngle(std::u16string_view degrees, std::int32_t bits) {
    if (!BitsInRange(bits)) return PhaseFault::kBitsOutOfRange;
    const std::optional<DecimalNumber> number = ScanWholeNumber(degrees);
    if (!number) return PhaseFault::kNotANumber;
    const std::optional<mpq_class> angle = ExactValue(*number);
    if (!angle) return PhaseFault::kBeyondExactRange;
    const mpz_class turn = PowerOfTwo(bits);
    mpq_class steps = *angle * turn / kDegreesPerTurn;
    steps.canonicalize();
    const mpz_class nearest = RoundHalfEven(steps);
    mpz_class word;
    mpz_fdiv_r(word.get_mpz_t(), nearest.get_mpz_t(), turn.get_mpz_t());
    PhaseWord phase = Described(word, bits);
    mpq_class error = (mpq_class(nearest) - steps) * kDegreesPerTurn / turn;
    error.canonicalize();
    phase.error = Degrees(error);
    return phase;
}

std::variant<PhaseWord, PhaseFault> PhaseOfWord(std::u16string_view word_text, std::int32_t bits) {
    if (!BitsInRange(bits)) return PhaseFault::kBitsOutOfRange;
    std::variant<mpz_class, WordTextFault> read = ReadWholeWord(word_text);
    if (const auto* fault = std::get_if<WordTextFault>(&read)) {
        return *fault == WordTextFault::kNotWhole ? PhaseFault::kNotWhole : PhaseFault::kWordTooLarge;
    }
    const mpz_class& word = std::get<mpz_class>(read);
    if (word >= PowerOfTwo(bits)) return PhaseFault::kWordTooLarge;
    return Described(word, bits);
}

std::string PhaseFaultText(PhaseFault fault, std::int32_t bits) {
    switch (fault) {
        case PhaseFault::kBitsOutOfRange:
            return "the phase word's width must be 1 to 64 bits";
        case PhaseFault::kNotANumber:
            return "the phase is not a decimal number of degrees";
        case PhaseFault::kBeyondExactRange:
            return "the phase has too many digits to work with exactly";
        case PhaseFault::kNotWhole:
            return "the phase word is not a whole number";
        case PhaseFault::kWordTooLarge:
            return "the phase word is not a whole number from 0 to 2^" + std::to_string(bits) + " - 1";
    }
    return {};
}

}  // namespace quorvel
