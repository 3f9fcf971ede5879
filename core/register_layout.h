#pragma once
// The words a chip's registers take, from a layout the user states: a
// comma-separated list of writes, each a width and an expression over the
// tuning word `w`, the phase word `p` and constants.
//
//   layout  = write { "," write }
//   write   = width ":" expr                 width: 1 to 64 bits
//   expr    = shift { "|" shift }            "|" binds looser than "<<", as in C
//   shift   = primary { "<<" primary }       the shift count is a constant, 0 to 64
//   primary = number | name [ "[" hi ":" lo "]" | "[" bit "]" ] | "(" expr ")"
//   number  = decimal digits | "0x" hex digits
//
// Blanks may stand between any two tokens. A slice w[hi:lo] is bits hi down
// to lo of the word, shifted down to bit 0; a bare name is the whole word.
// Every part of an expression may set the bits its slices and constants
// cover, whatever the word's value: two parts of an "|" that may set the
// same bit are an error, not an or (a control constant that sets a bit
// inside a slice), and so is an expression that may set a bit at or above
// its write's width.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace quorvel {

// The widest write: 64 bits.
inline constexpr int kMaxWriteBits = 64;
// The largest shift count; anything shifted further fits no write.
inline constexpr int kMaxShiftCount = 64;
// How deep parentheses may nest.
inline constexpr int kMaxLayoutNesting = 32;

// A word a layout reads: its value as hexadecimal digits (no "0x") and
// its width in bits.
struct LayoutWord {
    std::string hex;
    std::int32_t bits = 0;
};

struct LayoutWords {
    LayoutWord w;
    std::optional<LayoutWord> p;  // no phase word given
};

struct RegisterWrite {
    int width = 0;
    std::uint64_t value = 0;
};

enum class LayoutFault {
    kSyntax,           // a token other than the grammar allows there
    kEmptyWrite,       // "16:", ",," or a trailing comma
    kWidthOutOfRange,  // a width of 0, or above 64
    kUnknownName,      // a name other than w and p
    kNoPhaseWord,      // p, when no phase word is given
    kSlicePastWidth,   // w[28:14] on a 28-bit word
    kSliceReversed,    // w[0:13]
    kShiftCount,       // a shift count that is not a constant from 0 to 64
    kOverlap,          // 0x4000 | w[14:0]
    kDoesNotFit,       // 16:w[27:0]
    kTooDeep,          // parentheses nested deeper than kMaxLayoutNesting
};

// Where a layout went wrong: the position of the character (1 for the
// first; UTF-8 characters count one each) and why, in words.
struct LayoutError {
    std::size_t position = 0;
    LayoutFault fault = LayoutFault::kSyntax;
    std::string reason;
};

// The writes of a layout, in order, or its first error.
//   "16:0x4000|w[13:0], 16:0x4000|w[27:14]", w = 0x3333333 (28 bits)
//     -> {16, 0x7333}, {16, 0x4CCC}
//   "16:0x4000|w[14:0]" -> kOverlap at position 10, the "|"
//   "8:3<<w"            -> kShiftCount at position 6
std::variant<std::vector<RegisterWrite>, LayoutError> EvaluateLayout(std::string_view layout,
                                                                    const LayoutWords& words);

}  // namespace quorvel
