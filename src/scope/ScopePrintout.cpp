#include "scope/ScopePrintout.h"

#include <QLocale>
#include <QPainter>
#include <QPrinter>

#include <algorithm>

#include <utility>

namespace scope {

namespace {

constexpr const char* kFontFamily = "Arial";

struct ReportLine {
    std::string text; // empty: an empty line
    bool title = false;
};

// The lines above the comment, top to bottom.
std::vector<ReportLine> ScopeReportHeading(const std::string& identification) {
    std::vector<ReportLine> lines{{"Varev Screen Shot", true}, {"CHROMIX3-Varev V4.2"}};
    if (!identification.empty()) lines.push_back({"PANEL ID: " + identification});
    lines.push_back({""});
    return lines;
}

QString Latin1(const std::string& bytes) {
    return QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
}

bool IsSpace(QChar c) {
    return c == u' ' || c == u'\t';
}

// The width of text[from, to) without its trailing spaces, which print as nothing.
double VisibleWidth(const QString& text, int from, int to, const QFontMetricsF& metrics) {
    while (to > from && IsSpace(text[to - 1]))
        --to;
    return metrics.horizontalAdvance(text.mid(from, to - from));
}

// text[begin, end) cut into lines no wider than `width`: after the spaces that end a word, and
// inside a word only when the word alone is wider than a line. Each line keeps the spaces it
// ends with, so the lines together are the whole text.
std::vector<std::pair<int, int>> Wrap(const QString& text, int begin, int end,
                                      const QFontMetricsF& metrics, double width) {
    std::vector<std::pair<int, int>> lines;
    int from = begin;
    do {
        const auto fits = [&](int to) { return VisibleWidth(text, from, to, metrics) <= width; };
        int to = from;
        while (to < end) {
            int wordEnd = to;
            while (wordEnd < end && !IsSpace(text[wordEnd]))
                ++wordEnd;
            if (!fits(wordEnd)) break;
            to = wordEnd;
            while (to < end && IsSpace(text[to]))
                ++to;
        }
        if (to == from && from < end) {
            // One character at least, so the text always moves on.
            to = from + 1;
            while (to < end && !IsSpace(text[to]) && fits(to + 1))
                ++to;
        }
        lines.emplace_back(from, to);
        from = to;
    } while (from < end);
    return lines;
}

struct Piece {
    QString text;
    bool title = false;
    int commentFrom = -1;
    bool label = false; // "COMMENT:", kept on the page of the comment's first line
};

} // namespace

QFont ReportFont(int points) {
    QFont font(QString::fromLatin1(kFontFamily));
    font.setBold(false);
    font.setPointSize(points);
    return font;
}

ReportLayout LayOutScopeReport(const PageGeometry& page, const std::string& identification,
                               const std::string& comment, const QSizeF& picture,
                               const QDateTime& printedAt) {
    const double width = page.size.width();
    const double line = page.text.height();
    const double bodyTop = line * 2.5;
    const double bodyBottom = page.size.height() - line * 2;
    const double gap = line * 0.5;
    const auto metricsOf = [&](const Piece& piece) -> const QFontMetricsF& {
        return piece.title ? page.title : page.text;
    };
    // A font may give a negative leading: the next line never starts inside this one's box.
    const auto advanceOf = [&](const Piece& piece) {
        const QFontMetricsF& metrics = metricsOf(piece);
        return std::max(metrics.height(), metrics.height() + metrics.leading());
    };

    std::vector<Piece> pieces;
    const auto add = [&](const QString& text, int begin, int end, bool title, bool inComment) {
        for (const auto& [from, to] : Wrap(text, begin, end, title ? page.title : page.text, width))
            pieces.push_back({text.mid(from, to - from), title, inComment ? from : -1});
    };
    double headingHeight = 0;
    for (const ReportLine& heading : ScopeReportHeading(identification)) {
        const QString text = Latin1(heading.text);
        add(text, 0, int(text.size()), heading.title, false);
    }
    for (const Piece& piece : pieces)
        headingHeight += advanceOf(piece);
    if (!comment.empty()) {
        const QString label = QStringLiteral("COMMENT:");
        add(label, 0, int(label.size()), false, false);
        pieces.back().label = true;
        const QString text = Latin1(comment);
        for (int from = 0;;) {
            const qsizetype newline = text.indexOf(u'\n', from);
            const int end = newline < 0 ? int(text.size()) : int(newline);
            add(text, from, end, false, true);
            if (newline < 0) break;
            from = end + 1;
        }
        pieces.push_back({});
    }

    // The picture is as large as it is without a comment: as wide as the page and no taller
    // than the room under the heading. It follows the whole comment, which may run over pages;
    // when the rest of the last page is too small it starts a page of its own.
    ReportLayout layout;
    QSizeF pictureSize;
    const double room = bodyBottom - bodyTop - headingHeight - gap;
    if (!picture.isEmpty() && room > 0 && width > 0)
        pictureSize = picture.scaled(width, room, Qt::KeepAspectRatio);
    layout.pictureLeftOut = !picture.isEmpty() && pictureSize.isEmpty();

    layout.pages.emplace_back();
    double y = bodyTop;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        const Piece& piece = pieces[i];
        const QFontMetricsF& metrics = metricsOf(piece);
        const bool pageTop = y == bodyTop;
        double need = metrics.height();
        if (piece.label && i + 1 < pieces.size() && !pageTop)
            need = advanceOf(piece) + metricsOf(pieces[i + 1]).height();
        if (y + need > bodyBottom) {
            if (piece.text.isEmpty()) continue; // an empty line starts no page
            if (!pageTop) {
                layout.pages.emplace_back();
                y = bodyTop;
            }
            if (y + metrics.height() > bodyBottom) {
                ++layout.linesLeftOut; // taller than a whole page
                continue;
            }
        }
        const double textWidth = VisibleWidth(piece.text, 0, int(piece.text.size()), metrics);
        if (textWidth > width) {
            ++layout.linesLeftOut; // a single character wider than the page
            continue;
        }
        layout.pages.back().lines.push_back({piece.text, QRectF(0, y, textWidth, metrics.height()),
                                             piece.title, piece.commentFrom});
        y += advanceOf(piece);
    }
    if (!pictureSize.isEmpty()) {
        if (y + gap + pictureSize.height() > bodyBottom) {
            layout.pages.emplace_back();
            y = bodyTop - gap;
        }
        layout.pages.back().picture = QRectF(QPointF(0, y + gap), pictureSize);
    }

    const QLocale locale;
    const QString date = locale.toString(printedAt.date(), QLocale::ShortFormat);
    const QString time = locale.toString(printedAt.time(), QLocale::ShortFormat);
    const auto at = [&](const QString& text, double x, double top) {
        const double textWidth = page.text.horizontalAdvance(text);
        return PlacedText{text, QRectF(x < 0 ? (width - textWidth) / 2 : x, top, textWidth, line)};
    };
    const int count = int(layout.pages.size());
    for (int n = 0; n < count; ++n) {
        ReportPage& placed = layout.pages[std::size_t(n)];
        placed.date = at(date, 0, 0);
        placed.time = at(time, width - page.text.horizontalAdvance(time), 0);
        placed.footer = at(QStringLiteral("Page %1 of %2").arg(n + 1).arg(count), -1,
                           page.size.height() - line);
    }
    return layout;
}

PrintOutcome PrintScopeReport(QPrinter& printer, const std::string& identification,
                              const std::string& comment, const QImage& panel,
                              const QDateTime& printedAt) {
    PrintOutcome outcome;
    QPainter painter;
    if (!painter.begin(&printer)) return outcome;
    const QFont title = ReportFont(kTitlePoints);
    const QFont text = ReportFont(kTextPoints);
    const PageGeometry geometry{printer.pageLayout().paintRectPixels(printer.resolution()).size(),
                                QFontMetricsF(title, &printer), QFontMetricsF(text, &printer)};
    const ReportLayout layout =
        LayOutScopeReport(geometry, identification, comment, QSizeF(panel.size()), printedAt);

    const auto draw = [&](const PlacedText& placed) {
        if (placed.text.isEmpty()) return;
        painter.setFont(placed.title ? title : text);
        const double ascent = (placed.title ? geometry.title : geometry.text).ascent();
        painter.drawText(QPointF(placed.box.left(), placed.box.top() + ascent), placed.text);
    };
    bool allPages = true;
    for (std::size_t n = 0; n < layout.pages.size(); ++n) {
        if (n > 0 && !printer.newPage()) {
            allPages = false;
            break;
        }
        const ReportPage& page = layout.pages[n];
        for (const PlacedText* placed : {&page.date, &page.time, &page.footer})
            draw(*placed);
        for (const PlacedText& placed : page.lines)
            draw(placed);
        if (!page.picture.isEmpty()) painter.drawImage(page.picture, panel);
    }
    outcome.printed = painter.end() && allPages;
    outcome.pictureLeftOut = layout.pictureLeftOut;
    outcome.linesLeftOut = layout.linesLeftOut;
    return outcome;
}

} // namespace scope
