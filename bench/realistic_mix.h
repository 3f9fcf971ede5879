#pragma once
// The realistic inputs the action and batch benchmarks share.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "action/fields.h"

namespace quorvel::bench {

struct Inputs {
    std::u16string_view bit_size, clock, wanted, error;
};

// Widths, clocks and outputs as engineers type them; all below the Nyquist
// limit, so the wanted field never grows between runs.
inline constexpr std::array<Inputs, 10> kRealisticMix = {{
    {u"32", u"100", u"25", u""},
    {u"32", u"100", u"25", u"10"},
    {u"48", u"100", u"25", u""},
    {u"48", u"100", u"1", u""},
    {u"48", u"180", u"10", u""},
    {u"32", u"125", u"10.7", u""},
    {u"32", u"50", u"13.56", u"-3.2"},
    {u"48", u"1000", u"140.625", u"12.5"},
    {u"32", u"20", u"7.15909", u"0.4"},
    {u"48", u"125", u"41.3", u"-27"},
}};

inline FieldTexts FieldsFor(const Inputs& inputs) {
    FieldTexts fields;
    fields.SetText(Field::kBitSize, inputs.bit_size);
    fields.SetText(Field::kFclock, inputs.clock);
    fields.SetText(Field::kFwanted, inputs.wanted);
    fields.SetText(Field::kFerror, inputs.error);
    return fields;
}

inline std::vector<FieldTexts> MixFields() {
    std::vector<FieldTexts> all;
    for (const Inputs& inputs : kRealisticMix) all.push_back(FieldsFor(inputs));
    return all;
}

inline constexpr std::size_t kLinesPerRun = 10000;

// Batch lines as a script would send them; some keys left out, one error line.
inline constexpr std::array<std::string_view, 8> kLines = {
    R"({"BitSize":"32","Fclock":"100","Fwanted":"25","Ferror":""})",
    R"({"BitSize":"32","Fclock":"100","Fwanted":"25","Ferror":"10"})",
    R"({"BitSize":"48","Fclock":"180","Fwanted":"10"})",
    R"({"BitSize":"48","Fclock":"1000","Fwanted":"140.625","Ferror":"12.5"})",
    R"({"Fclock":"125","Fwanted":"10.7"})",
    R"({"BitSize":"32","Fclock":"50","Fwanted":"13.56","Ferror":"-3.2"})",
    R"({"BitSize":"32","Fclock":"20","Fwanted":"7.15909","Ferror":"0.4"})",
    R"({"BitSize":"48","Fclock":"100","Fwanted":"60"})",
};

inline std::string BatchInput() {
    std::string input;
    for (std::size_t i = 0; i < kLinesPerRun; ++i) input.append(kLines[i % kLines.size()]).push_back('\n');
    return input;
}

}  // namespace quorvel::bench
