#include "action/run_report.h"

#include <new>
#include <stdexcept>

namespace quorvel {

std::u16string ErrorReport(ErrorKind kind) {
    // Heading and description are plain ASCII, one code unit a character.
    const std::string heading = ReportHeading(kind);
    const std::string_view description = Description(kind);
    std::u16string report(heading.begin(), heading.end());
    report += u"\n\n";
    report.append(description.begin(), description.end());
    return report;
}

std::optional<std::u16string> CalculateForReport(FieldWriteLog& fields, CalculatorVariables& vars,
                                                 Calculation calculation) {
    try {
        calculation(fields, vars);
    } catch (const RunTimeError& error) {
        return ErrorReport(error.kind());
    } catch (const std::bad_alloc&) {
        return std::u16string(kOutOfMemoryReport);
    } catch (const std::length_error&) {
        return std::u16string(kOutOfMemoryReport);
    } catch (...) {
        return std::u16string(kUnexpectedFailureReport);
    }
    return std::nullopt;
}

void EmptyOutputsNotWritten(FieldAccess& fields, const FieldWriteLog& log) {
    for (Field output : kOutputFields) {
        if (!log.Written(output)) fields.SetText(output, {});
    }
}

}  // namespace quorvel
