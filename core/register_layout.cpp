#include "core/register_layout.h"

#include <gmpxx.h>

#include <utility>

namespace quorvel {
namespace {

constexpr int kHexBase = 16;
constexpr int kDecimalBase = 10;
constexpr unsigned kHalfWordBits = 32;

// What a part of an expression gives: its value, the bits it may set
// whatever the words' values, and whether it reads no word.
struct Part {
    mpz_class value;
    mpz_class mask;
    bool constant = true;
};

// The first error ends the evaluation; EvaluateLayout turns it into its result.
struct Failure {
    LayoutError error;
};

mpz_class Ones(unsigned long count) {
    mpz_class ones;
    mpz_setbit(ones.get_mpz_t(), count);
    return ones - 1;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsHexDigit(char c) { return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
bool IsNameStart(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }
bool IsNameChar(char c) { return IsNameStart(c) || IsDigit(c); }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

class Evaluator {
public:
    Evaluator(std::string_view text, const LayoutWords& words) : text_(text), words_(words) {}

    std::vector<RegisterWrite> Layout() {
        std::vector<RegisterWrite> writes;
        writes.push_back(Write());
        while (Accept(',')) writes.push_back(Write());
        return writes;
    }

private:
    RegisterWrite Write() {
        SkipBlanks();
        if (AtEndOfWrite()) Fail(at_, LayoutFault::kEmptyWrite, "an empty write");
        const std::size_t width_at = at_;
        if (!IsDigit(Peek())) Fail(at_, LayoutFault::kSyntax, "expected the write's width in bits");
        const mpz_class width = Number();
        if (width < 1 || width > kMaxWriteBits) {
            Fail(width_at, LayoutFault::kWidthOutOfRange, "a width outside 1 to 64 bits");
        }
        if (!Accept(':')) Fail(at_, LayoutFault::kSyntax, "expected ':' after the width");
        SkipBlanks();
        if (AtEndOfWrite()) Fail(at_, LayoutFault::kEmptyWrite, "an empty write");
        const std::size_t expression_at = at_;
        const Part part = Expression(0);
        SkipBlanks();
        if (!AtEndOfWrite()) Unexpected();
        const auto bits = static_cast<int>(width.get_si());
        if (sgn(part.mask) != 0 && mpz_sizeinbase(part.mask.get_mpz_t(), 2) > static_cast<std::size_t>(bits)) {
            Fail(expression_at, LayoutFault::kDoesNotFit,
                 "the expression may set bits at or above bit " + std::to_string(bits) + ", outside its width");
        }
        return {bits, ToUint64(part.value)};
    }

    Part Expression(int depth) {
        Part part = Shift(depth);
        while (true) {
            SkipBlanks();
            if (Peek() != '|') return part;
            const std::size_t or_at = at_++;
            Part right = Shift(depth);
            const mpz_class shared = part.mask & right.mask;
            if (sgn(shared) != 0) {
                Fail(or_at, LayoutFault::kOverlap,
                     "both sides of '|' may set bit " + std::to_string(mpz_scan1(shared.get_mpz_t(), 0)) +
                         ": write the control bits outside the slices");
            }
            part.value |= right.value;
            part.mask |= right.mask;
            part.constant = part.constant && right.constant;
        }
    }

    Part Shift(int depth) {
        Part part = Primary(depth);
        while (true) {
            SkipBlanks();
            if (text_.substr(at_, 2) != "<<") return part;
            at_ += 2;
            SkipBlanks();
            const std::size_t count_at = at_;
            const Part count = Primary(depth);
            if (!count.constant || count.value > kMaxShiftCount) {
                Fail(count_at, LayoutFault::kShiftCount, "a shift count must be a constant from 0 to 64");
            }
            const auto places = static_cast<mp_bitcnt_t>(count.value.get_ui());
            part.value <<= places;
            part.mask <<= places;
        }
    }

    Part Primary(int depth) {
        SkipBlanks();
        const char c = Peek();
        if (c == '(') {
            if (depth >= kMaxLayoutNesting) Fail(at_, LayoutFault::kTooDeep, "parentheses nested too deep");
            ++at_;
            Part part = Expression(depth + 1);
            if (!Accept(')')) Fail(at_, LayoutFault::kSyntax, "expected ')'");
            return part;
        }
        if (IsDigit(c)) {
            mpz_class value = Number();
            mpz_class mask = value;
            return {std::move(value), std::move(mask), true};
        }
        if (IsNameStart(c)) return Named();
        Fail(at_, LayoutFault::kSyntax, "expected a number, w, p or '('");
    }

    // w or p, whole or sliced.
    Part Named() {
        const std::size_t name_at = at_;
        while (IsNameChar(Peek())) ++at_;
        const std::string_view name = text_.substr(name_at, at_ - name_at);
        const LayoutWord* word = nullptr;
        if (name == "w") {
            word = &words_.w;
        } else if (name == "p") {
            if (!words_.p) Fail(name_at, LayoutFault::kNoPhaseWord, "p is used, but no phase word is given");
            word = &*words_.p;
        } else {
            Fail(name_at, LayoutFault::kUnknownName, "unknown name '" + std::string(name) + "' (only w and p)");
        }
        const mpz_class value(word->hex, kHexBase);
        mpz_class high = word->bits - 1;
        mpz_class low = 0;
        SkipBlanks();
        if (Accept('[')) {
            const std::size_t slice_at = at_ - 1;
            high = Index();
            low = high;
            if (Accept(':')) low = Index();
            if (!Accept(']')) Fail(at_, LayoutFault::kSyntax, "expected ']'");
            if (high >= word->bits) {
                Fail(slice_at, LayoutFault::kSlicePastWidth,
                     "a slice past the word's width: " + std::string(name) + " has " + std::to_string(word->bits) +
                         " bits (0 to " + std::to_string(word->bits - 1) + ")");
            }
            if (low > high) Fail(slice_at, LayoutFault::kSliceReversed, "a slice's high bit below its low bit");
        }
        // Both bounds now lie below the word's width, itself an int.
        const auto shift = static_cast<mp_bitcnt_t>(low.get_ui());
        const auto count = static_cast<unsigned long>(high.get_ui()) + 1 - shift;
        mpz_class mask = Ones(count);
        mpz_class sliced;
        mpz_fdiv_q_2exp(sliced.get_mpz_t(), value.get_mpz_t(), shift);
        return {mpz_class(sliced & mask), std::move(mask), false};
    }

    mpz_class Index() {
        SkipBlanks();
        if (!IsDigit(Peek())) Fail(at_, LayoutFault::kSyntax, "expected a bit number");
        return Number();
    }

    // A decimal number, or a hexadecimal one after "0x".
    mpz_class Number() {
        const std::size_t start = at_;
        bool hex = Peek() == '0' && (PeekAt(at_ + 1) == 'x' || PeekAt(at_ + 1) == 'X');
        if (hex) at_ += 2;
        const std::size_t digits_at = at_;
        while (hex ? IsHexDigit(Peek()) : IsDigit(Peek())) ++at_;
        if (at_ == digits_at) Fail(start, LayoutFault::kSyntax, "expected hexadecimal digits after 0x");
        return mpz_class(std::string(text_.substr(digits_at, at_ - digits_at)), hex ? kHexBase : kDecimalBase);
    }

    static std::uint64_t ToUint64(const mpz_class& value) {
        // Below 2^64: the write's width was checked first.
        const mpz_class high = value >> kHalfWordBits;
        const mpz_class low = value - (high << kHalfWordBits);
        return (std::uint64_t{high.get_ui()} << kHalfWordBits) | std::uint64_t{low.get_ui()};
    }

    [[noreturn]] void Unexpected() {
        const char c = Peek();
        if (c == '>') Fail(at_, LayoutFault::kSyntax, "unexpected '>': take a slice w[hi:lo] instead of shifting down");
        Fail(at_, LayoutFault::kSyntax, "unexpected text where ',' or the end should follow");
    }

    [[noreturn]] void Fail(std::size_t offset, LayoutFault fault, std::string reason) const {
        throw Failure{{CharacterPosition(offset), fault, std::move(reason)}};
    }

    // 1 for the first character; a UTF-8 continuation byte adds nothing.
    std::size_t CharacterPosition(std::size_t offset) const {
        std::size_t position = 1;
        for (std::size_t i = 0; i < offset && i < text_.size(); ++i) {
            if ((static_cast<unsigned char>(text_[i]) & 0xC0U) != 0x80U) ++position;
        }
        return position;
    }

    void SkipBlanks() {
        while (IsBlank(Peek())) ++at_;
    }
    bool Accept(char c) {
        SkipBlanks();
        if (Peek() != c) return false;
        ++at_;
        return true;
    }
    bool AtEndOfWrite() const { return at_ >= text_.size() || text_[at_] == ','; }
    char Peek() const { return PeekAt(at_); }
    char PeekAt(std::size_t i) const { return i < text_.size() ? text_[i] : '\0'; }

    std::string_view text_;
    const LayoutWords& words_;
    std::size_t at_ = 0;
};

}  // namespace

std::variant<std::vector<RegisterWrite>, LayoutError> EvaluateLayout(std::string_view layout,
                                                                    const LayoutWords& words) {
    try {
        return Evaluator(layout, words).Layout();
    } catch (const Failure& failure) {
        return failure.error;
    }
}

}  // namespace quorvel
