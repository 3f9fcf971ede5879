#pragma once
// The realistic inputs the action benchmarks share.

#include <array>
#include <string_view>
#include <vector>

#include "window/fields.h"

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

}  // namespace quorvel::bench
