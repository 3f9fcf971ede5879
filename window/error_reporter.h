#pragma once
// How the window tells the user that a calculation stopped with a run-time
// error. The window holds a reporter rather than opening a message box itself,
// so that the report can be replaced where nobody is there to close a box.

#include <QString>

#include "core/run_error.h"

class QWidget;

namespace quorvel {

// "Run-time error '13':", an empty line, then "Type mismatch".
QString ReportText(const RunTimeError& error);

class ErrorReporter {
public:
    virtual ~ErrorReporter() = default;
    // Returns once the user has closed the report.
    virtual void Report(QWidget* window, const RunTimeError& error) = 0;
};

// A modal message box titled "Quorvel" with a single OK button.
class MessageBoxReporter final : public ErrorReporter {
public:
    void Report(QWidget* window, const RunTimeError& error) override;
};

}  // namespace quorvel
