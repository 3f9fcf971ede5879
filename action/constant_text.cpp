#include "action/constant_text.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "core/number_text.h"
#include "core/utf16.h"

namespace quorvel {
namespace {

constexpr int kBitsPerHexDigit = 4;
constexpr std::int32_t kCUnsignedIntBits = 32;
constexpr double kHertzPerMegahertz = 1e6;

constexpr auto kCReserved = std::to_array<std::string_view>({
    "auto", "break", "case", "char", "const", "continue", "default", "do", "double", "else", "enum", "extern",
    "float", "for", "goto", "if", "inline", "int", "long", "register", "restrict", "return", "short", "signed",
    "sizeof", "static", "struct", "switch", "typedef", "union", "unsigned", "void", "volatile", "while",
    "_Alignas", "_Alignof", "_Atomic", "_Bool", "_Complex", "_Generic", "_Imaginary", "_Noreturn",
    "_Static_assert", "_Thread_local", "alignas", "alignof", "bool", "constexpr", "false", "nullptr",
    "static_assert", "thread_local", "true", "typeof", "typeof_unqual", "_BitInt", "_Decimal32", "_Decimal64",
    "_Decimal128",
});

constexpr auto kPythonReserved = std::to_array<std::string_view>({
    "False", "None", "True", "and", "as", "assert", "async", "await", "break", "class", "continue", "def", "del",
    "elif", "else", "except", "finally", "for", "from", "global", "if", "import", "in", "is", "lambda",
    "nonlocal", "not", "or", "pass", "raise", "return", "try", "while", "with", "yield",
});

constexpr auto kVerilogReserved = std::to_array<std::string_view>({
    "always", "and", "assign", "automatic", "begin", "buf", "bufif0", "bufif1", "case", "casex", "casez",
    "cell", "cmos", "config", "deassign", "default", "defparam", "design", "disable", "edge", "else", "end",
    "endcase", "endconfig", "endfunction", "endgenerate", "endmodule", "endprimitive", "endspecify",
    "endtable", "endtask", "event", "for", "force", "forever", "fork", "function", "generate", "genvar",
    "highz0", "highz1", "if", "ifnone", "incdir", "include", "initial", "inout", "input", "instance",
    "integer", "join", "large", "liblist", "library", "localparam", "macromodule", "medium", "module", "nand",
    "negedge", "nmos", "nor", "noshowcancelled", "not", "notif0", "notif1", "or", "output", "parameter",
    "pmos", "posedge", "primitive", "pull0", "pull1", "pulldown", "pullup", "pulsestyle_onevent",
    "pulsestyle_ondetect", "rcmos", "real", "realtime", "reg", "release", "repeat", "rnmos", "rpmos", "rtran",
    "rtranif0", "rtranif1", "scalared", "showcancelled", "signed", "small", "specify", "specparam", "strong0",
    "strong1", "supply0", "supply1", "table", "task", "time", "tran", "tranif0", "tranif1", "tri", "tri0",
    "tri1", "triand", "trior", "trireg", "unsigned", "use", "uwire", "vectored", "wait", "wand", "weak0",
    "weak1", "while", "wire", "wor", "xnor", "xor",
});

// Lower case: VHDL reads its reserved words in any case.
constexpr auto kVhdlReserved = std::to_array<std::string_view>({
    "abs", "access", "after", "alias", "all", "and", "architecture", "array", "assert", "assume",
    "assume_guarantee", "attribute", "begin", "block", "body", "buffer", "bus", "case", "component",
    "configuration", "constant", "context", "cover", "default", "disconnect", "downto", "else", "elsif", "end",
    "entity", "exit", "fairness", "file", "for", "force", "function", "generate", "generic", "group", "guarded",
    "if", "impure", "in", "inertial", "inout", "is", "label", "library", "linkage", "literal", "loop", "map",
    "mod", "nand", "new", "next", "nor", "not", "null", "of", "on", "open", "or", "others", "out", "package",
    "parameter", "port", "postponed", "procedure", "process", "property", "protected", "pure", "range",
    "record", "register", "reject", "release", "rem", "report", "restrict", "restrict_guarantee", "return",
    "rol", "ror", "select", "sequence", "severity", "shared", "signal", "sla", "sll", "sra", "srl", "strong",
    "subtype", "then", "to", "transport", "type", "unaffected", "units", "until", "use", "variable", "vmode",
    "vprop", "vunit", "wait", "when", "while", "with", "xnor", "xor",
});

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

template <std::size_t N>
bool Reserved(const std::array<std::string_view, N>& words, std::string_view name) {
    return std::find(words.begin(), words.end(), name) != words.end();
}

bool IsVhdlName(std::string_view name) {
    if (!IsLetter(name.front()) || name.back() == '_' || name.find("__") != std::string_view::npos) return false;
    if (!std::all_of(name.begin(), name.end(), [](char c) { return IsLetter(c) || IsDigit(c) || c == '_'; })) {
        return false;
    }
    std::string lower(name);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); });
    return !Reserved(kVhdlReserved, lower);
}

// The digits padded with zeros to `count`.
std::string Padded(std::string_view hex, std::size_t count) {
    std::string text(count > hex.size() ? count - hex.size() : 0, '0');
    return text.append(hex);
}

std::size_t HexDigitCount(std::int32_t bits) {
    return static_cast<std::size_t>((bits + kBitsPerHexDigit - 1) / kBitsPerHexDigit);
}

std::string Signed(const std::string& figure) {
    return figure.empty() || figure.front() == '-' || figure == "0" ? figure : "+" + figure;
}

std::string Trimmed(std::u16string_view text) {
    while (!text.empty() && text.front() == u' ') text.remove_prefix(1);
    return Utf16ToUtf8(text);
}

}  // namespace

std::optional<ConstantLanguage> ConstantLanguageNamed(std::string_view name) {
    if (name == "c") return ConstantLanguage::kC;
    if (name == "python") return ConstantLanguage::kPython;
    if (name == "verilog") return ConstantLanguage::kVerilog;
    if (name == "vhdl") return ConstantLanguage::kVhdl;
    return std::nullopt;
}

bool IsConstantName(std::string_view name, ConstantLanguage language) {
    if (name.empty()) return false;
    if (language == ConstantLanguage::kVhdl) return IsVhdlName(name);
    const bool dollar = language == ConstantLanguage::kVerilog;
    if (!IsLetter(name.front()) && name.front() != '_') return false;
    const bool characters = std::all_of(name.begin(), name.end(), [dollar](char c) {
        return IsLetter(c) || IsDigit(c) || c == '_' || (dollar && c == '$');
    });
    if (!characters) return false;
    switch (language) {
        case ConstantLanguage::kC:
            return !Reserved(kCReserved, name);
        case ConstantLanguage::kPython:
            return !Reserved(kPythonReserved, name);
        case ConstantLanguage::kVerilog:
            return !Reserved(kVerilogReserved, name);
        case ConstantLanguage::kVhdl:
            break;
    }
    return true;
}

std::optional<std::string> ConstantLine(const Constant& constant, ConstantLanguage language) {
    const std::string digits = Padded(constant.hex, HexDigitCount(constant.bits));
    const std::string width = std::to_string(constant.bits);
    const std::string top = std::to_string(constant.bits - 1);
    switch (language) {
        case ConstantLanguage::kC:
            if (constant.bits > kMaxCConstantBits) return std::nullopt;
            return "#define " + constant.name + " 0x" + digits + (constant.bits > kCUnsignedIntBits ? "ull" : "u") +
                   " /* " + constant.comment + " */";
        case ConstantLanguage::kPython:
            return constant.name + " = 0x" + digits + "  # " + constant.comment;
        case ConstantLanguage::kVerilog:
            return "localparam [" + top + ":0] " + constant.name + " = " + width + "'h" + digits + ";  // " +
                   constant.comment;
        case ConstantLanguage::kVhdl: {
            // A sized literal (VHDL-2008) where the digits hold more bits than the width.
            const std::string literal =
                (constant.bits % kBitsPerHexDigit == 0 ? "" : width) + "x\"" + digits + "\"";
            return "constant " + constant.name + " : std_logic_vector(" + top + " downto 0) := " + literal +
                   ";  -- " + constant.comment;
        }
    }
    return std::nullopt;
}

std::string WordCommentText(const WordComment& comment) {
    std::string text = comment.word + ": " + comment.output_hz + " Hz from " + comment.clock_mhz + " MHz at " +
                       comment.accumulator;
    if (comment.error_hz) {
        text += ", error " + Signed(*comment.error_hz) + " Hz";
        if (comment.error_ppb) text += ", " + Signed(*comment.error_ppb) + " ppb";
    }
    return text;
}

std::u16string HexFieldConstant(Field field, std::u16string_view hex_text, const RunFigures& figures,
                                const WrittenFields& written, std::int32_t bits) {
    const bool corrected = field == Field::kNewNhex;
    if ((field != Field::kNhex && !corrected) || !written[static_cast<std::size_t>(field)]) return {};
    const std::optional<WordFigures>& word = corrected ? figures.corrected : figures.ideal;
    const std::optional<std::u16string> literal = PlainHexLiteral(hex_text);
    if (!word || !literal || bits < 1 || bits > kMaxCConstantBits) return {};
    const double clock = corrected ? figures.inferred_clock : figures.entered_clock;
    const WordComment comment{word->word,
                              word->produced.output_hz,
                              Trimmed(DecimalText(clock / kHertzPerMegahertz)),
                              std::to_string(bits) + " bits",
                              word->produced.error_hz,
                              word->produced.error_ppb};
    const Constant constant{std::string(kDefaultConstantName), bits, Utf16ToUtf8(std::u16string_view(*literal).substr(2)),
                            WordCommentText(comment)};
    return Utf8ToUtf16(*ConstantLine(constant, ConstantLanguage::kC)).value_or(std::u16string());
}

}  // namespace quorvel
