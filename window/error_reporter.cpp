#include "window/error_reporter.h"

#include <QMessageBox>

namespace quorvel {
namespace {

constexpr QLatin1String kReportTitle("Quorvel");

}  // namespace

QString ReportText(const RunTimeError& error) {
    const std::string heading = ReportHeading(error.kind());
    const std::string_view description = error.description();
    return QStringLiteral("%1\n\n%2")
        .arg(QString::fromStdString(heading),
             QString::fromUtf8(description.data(), static_cast<qsizetype>(description.size())));
}

void MessageBoxReporter::Report(QWidget* window, const RunTimeError& error) {
    QMessageBox box(QMessageBox::Critical, kReportTitle, ReportText(error), QMessageBox::Ok, window);
    box.exec();
}

}  // namespace quorvel
