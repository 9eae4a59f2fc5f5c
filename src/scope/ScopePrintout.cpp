#include "scope/ScopePrintout.h"

#include <QFont>
#include <QFontMetrics>
#include <QLocale>
#include <QPainter>
#include <QPrinter>

namespace scope {

namespace {

constexpr const char* kFontFamily = "Arial";

} // namespace

std::vector<ReportLine> ScopeReportLines(const std::string& identification,
                                         const std::string& comment) {
    std::vector<ReportLine> lines{{"Varev Screen Shot", 20}, {"CHROMIX3-Varev V4.2", 10}};
    if (!identification.empty()) lines.push_back({"PANEL ID: " + identification, 10});
    lines.push_back({"", 10});
    if (!comment.empty()) {
        lines.push_back({"COMMENT:", 10});
        // A comment of several lines is printed line by line.
        std::size_t from = 0;
        for (;;) {
            const std::size_t end = comment.find('\n', from);
            lines.push_back({comment.substr(from, end - from), 10});
            if (end == std::string::npos) break;
            from = end + 1;
        }
        lines.push_back({"", 10});
    }
    return lines;
}

bool PrintScopeReport(QPrinter& printer, const std::vector<ReportLine>& lines, const QImage& panel,
                      const QDateTime& printedAt) {
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    const QRectF page = printer.pageLayout().paintRectPixels(printer.resolution());
    const QRectF area(0, 0, page.width(), page.height());

    QFont font(QString::fromLatin1(kFontFamily));
    font.setBold(false);
    font.setPointSize(10);
    painter.setFont(font);
    const QFontMetricsF small(font, &printer);
    // Header: the short date on the left, the time on the right; footer: the page of pages.
    const QLocale locale;
    painter.drawText(area, Qt::AlignLeft | Qt::AlignTop,
                     locale.toString(printedAt.date(), QLocale::ShortFormat));
    painter.drawText(area, Qt::AlignRight | Qt::AlignTop,
                     locale.toString(printedAt.time(), QLocale::ShortFormat));
    painter.drawText(area, Qt::AlignHCenter | Qt::AlignBottom, QStringLiteral("Page 1 of 1"));

    double y = small.height() * 2.5;
    for (const ReportLine& line : lines) {
        font.setPointSize(line.pointSize);
        painter.setFont(font);
        const QFontMetricsF metrics(font, &printer);
        y += metrics.ascent();
        if (!line.text.empty())
            painter.drawText(QPointF(0, y), QString::fromLatin1(line.text.c_str()));
        y += metrics.descent() + metrics.leading();
    }
    y += small.height() * 0.5;

    // The picture as wide as the page allows, and never past the footer: one page always.
    const double bottom = area.height() - small.height() * 2;
    if (!panel.isNull() && bottom > y) {
        QSizeF size = panel.size();
        size.scale(area.width(), bottom - y, Qt::KeepAspectRatio);
        painter.drawImage(QRectF(QPointF(0, y), size), panel);
    }
    return painter.end();
}

} // namespace scope
