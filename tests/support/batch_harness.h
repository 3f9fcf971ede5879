#pragma once
// Runs the batch mode on a string and splits what it wrote into lines; and
// the outcome line each worked case must get, built with the JSON library
// rather than by the line writer under test.

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "action/calculate_action.h"
#include "cli/batch.h"
#include "cli/outcome_text.h"
#include "core/utf16.h"
#include "tests/support/worked_cases.h"

namespace quorvel::test {

struct BatchRun {
    std::vector<std::string> lines;
    bool all_valid = false;
};

inline BatchRun RunBatchOn(const std::string& input) {
    std::istringstream in(input);
    std::ostringstream out;
    BatchRun run;
    run.all_valid = cli::RunBatch(in, out);
    const std::string written = std::move(out).str();
    EXPECT_TRUE(written.empty() || written.back() == '\n') << "the last line has no newline";
    std::istringstream lines(written);
    for (std::string line; std::getline(lines, line);) run.lines.push_back(line);
    return run;
}

// An outcome as a JSON document built with the library.
inline nlohmann::ordered_json LibraryOutcomeJson(const FieldTexts& fields, std::optional<ErrorKind> error) {
    nlohmann::ordered_json object = nlohmann::ordered_json::object();
    for (Field field : kAllFields) object.emplace(std::string(FieldName(field)), Utf16ToUtf8(fields[field]));
    nlohmann::ordered_json error_json;
    if (error) error_json = {{"number", static_cast<int>(*error)}, {"description", Description(*error)}};
    return {{"fields", std::move(object)}, {"error", std::move(error_json)}};
}

// The batch line of a worked case, without its newline.
inline std::string ExpectedLine(const WorkedCase& c) {
    return cli::JsonLine(LibraryOutcomeJson(FieldsAfter(c), c.error));
}

// The batch input line that gives a worked case its inputs.
inline std::string InputLine(const WorkedCase& c) {
    nlohmann::ordered_json object = nlohmann::ordered_json::object();
    for (std::size_t i = 0; i < kInputFields.size(); ++i) {
        object.emplace(std::string(FieldName(kInputFields[i])), Utf16ToUtf8(c.inputs[i]));
    }
    return cli::JsonLine(object);
}

}  // namespace quorvel::test
