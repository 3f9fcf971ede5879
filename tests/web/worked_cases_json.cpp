// Writes the shared worked cases as JSON for the page's browser test, so
// that the page is checked against the same table as the action, the window
// and the companion:
//   [{"name": "InitialTexts", "inputs": {"BitSize": "32", ...},
//     "writes": [["Resol", " .023283064365387"], ...], "error": null}, ...]

#include <iostream>
#include <nlohmann/json.hpp>
#include <string>

#include "action/fields.h"
#include "core/utf16.h"
#include "tests/support/worked_cases.h"

int main() {
    using nlohmann::json;
    using namespace quorvel;
    json cases = json::array();
    for (const test::WorkedCase& c : test::AllWorkedCases()) {
        json inputs = json::object();
        for (std::size_t i = 0; i < kInputFields.size(); ++i) {
            inputs[std::string(FieldName(kInputFields[i]))] = Utf16ToUtf8(c.inputs[i]);
        }
        json writes = json::array();
        for (const FieldWriteLog::Write& write : c.writes) {
            writes.push_back({std::string(FieldName(write.field)), Utf16ToUtf8(write.text)});
        }
        cases.push_back({{"name", c.name},
                         {"inputs", inputs},
                         {"writes", writes},
                         {"error", c.error ? json(static_cast<int>(*c.error)) : json(nullptr)}});
    }
    std::cout << cases.dump(1) << '\n';
    return std::cout ? 0 : 1;
}
