#pragma once
// The report of the scope view: title, program name, panel identification, the operator's
// comment and a picture of the scope panel, with the date and time at the top of every page and
// "Page n of m" at its bottom. The layout is worked out apart from the painting, so what goes
// where can be checked without a printer.
#include <QDateTime>
#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QRectF>
#include <QString>

#include <string>
#include <vector>

class QPrinter;

namespace scope {

constexpr int kTitlePoints = 20; // "Varev Screen Shot"
constexpr int kTextPoints = 10;  // every other line, the date, the time and the page number

// The report's font (plain) at a point size.
QFont ReportFont(int points);

// A page's printable area (origin at its top left) and the report's fonts measured on the
// device that paints them.
struct PageGeometry {
    QSizeF size;
    QFontMetricsF title;
    QFontMetricsF text;
};

struct PlacedText {
    QString text;
    QRectF box; // from ascent to descent, as wide as the text without its trailing spaces
    bool title = false;
    int commentFrom = -1; // where `text` starts in the comment; -1 for any other text
};

struct ReportPage {
    PlacedText date;
    PlacedText time;
    PlacedText footer;
    std::vector<PlacedText> lines;
    QRectF picture; // empty: the picture is on another page
};

struct ReportLayout {
    std::vector<ReportPage> pages;
    // What found no room on the page, even with the comment wrapped and more pages.
    bool pictureLeftOut = false;
    int linesLeftOut = 0;
};

// Lays out the heading, the comment wrapped at word boundaries (a word longer than a line is
// broken) and flowing onto more pages, and a picture of `picture`'s proportions. The picture
// takes the size it would have without a comment and follows the last line, on a page of its
// own when the last page has no room left for it.
ReportLayout LayOutScopeReport(const PageGeometry& page, const std::string& identification,
                               const std::string& comment, const QSizeF& picture,
                               const QDateTime& printedAt);

struct PrintOutcome {
    bool printed = false; // the printer was opened and took every page
    bool pictureLeftOut = false;
    int linesLeftOut = 0;
};

// Prints the report on as many pages of `printer` as it needs.
PrintOutcome PrintScopeReport(QPrinter& printer, const std::string& identification,
                              const std::string& comment, const QImage& panel,
                              const QDateTime& printedAt);

} // namespace scope
