#pragma once
// The one-page report of the scope view: title, program name, panel identification, the
// operator's comment and a picture of the scope panel, with date, time and "Page 1 of 1".
#include <QDateTime>
#include <QImage>
#include <QString>

#include <string>
#include <vector>

class QPrinter;

namespace scope {

struct ReportLine {
    std::string text; // empty: an empty line
    int pointSize = 10;
};

// The report's lines above the picture, top to bottom.
std::vector<ReportLine> ScopeReportLines(const std::string& identification,
                                         const std::string& comment);

// Draws the report on one page of `printer`; false when the printer cannot be opened.
bool PrintScopeReport(QPrinter& printer, const std::vector<ReportLine>& lines, const QImage& panel,
                      const QDateTime& printedAt);

} // namespace scope
