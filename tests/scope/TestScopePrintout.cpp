// The scope report's layout on its own: the pages a page size, the report's fonts and a comment
// give, with the boxes of header, lines, picture and footer.
#include "scope/ScopePrintout.h"

#include <QtTest>

using namespace scope;

namespace {

const QSizeF kA4(718, 1047); // A4 less its margins, at 96 dots per inch
const QSizeF kPanel(1000, 700);

ReportLayout LayOut(const QSizeF& size, const QString& comment) {
    const PageGeometry page{size, QFontMetricsF(ReportFont(kTitlePoints)),
                            QFontMetricsF(ReportFont(kTextPoints))};
    return LayOutScopeReport(page, "LINE 4", comment.toStdString(), kPanel,
                             QDateTime(QDate(2024, 3, 5), QTime(14, 30)));
}

QString Repeated(const QString& piece, int times, int length) {
    return piece.repeated(times).left(length);
}

} // namespace

class TestScopePrintout : public QObject {
    Q_OBJECT

private slots:
    void theCommentFlowsOntoPagesAndNothingIsLost_data() {
        QTest::addColumn<QSizeF>("size");
        QTest::addColumn<QString>("comment");
        QTest::addColumn<int>("minPages");
        QTest::addColumn<int>("maxPages");
        QString ninety;
        for (int i = 1; i <= 90; ++i)
            ninety += QStringLiteral("check %1\n").arg(i);
        const double line = QFontMetricsF(ReportFont(kTextPoints)).height();
        QTest::newRow("empty comment") << kA4 << QString() << 1 << 1;
        QTest::newRow("one short line") << kA4 << QStringLiteral("after the belt change") << 1 << 1;
        QTest::newRow("90 short lines") << kA4 << ninety << 2 << 3;
        QTest::newRow("319-character first line")
            << kA4 << Repeated("belt ", 64, 319) + QStringLiteral("\nsecond") << 1 << 1;
        QTest::newRow("1023 characters without spaces") << kA4 << QString(1023, 'W') << 1 << 1;
        QTest::newRow("many pages") << kA4 << Repeated("x\n", 512, 1023) << 5 << 12;
        QTest::newRow("no room for the picture")
            << QSizeF(400, line * 8) << QStringLiteral("after the belt change") << 2 << 8;
    }
    void theCommentFlowsOntoPagesAndNothingIsLost() {
        QFETCH(QSizeF, size);
        QFETCH(QString, comment);
        QFETCH(int, minPages);
        QFETCH(int, maxPages);
        const ReportLayout layout = LayOut(size, comment);
        const int count = int(layout.pages.size());
        QVERIFY2(count >= minPages && count <= maxPages, qPrintable(QString::number(count)));
        QCOMPARE(layout.linesLeftOut, 0);
        // The picture keeps the size it has without a comment and comes after every line.
        const QRectF picture = LayOut(size, QString()).pages[0].picture;
        QCOMPARE(layout.pictureLeftOut, picture.isEmpty());
        QCOMPARE(layout.pages[0].lines[0].text, QStringLiteral("Varev Screen Shot"));
        int pictures = 0;
        for (const ReportPage& page : layout.pages) {
            if (pictures > 0) QVERIFY(page.lines.empty());
            if (page.picture.isEmpty()) continue;
            ++pictures;
            QCOMPARE(page.picture.size(), picture.size());
            for (const PlacedText& line : page.lines)
                QVERIFY(line.box.bottom() <= page.picture.top());
        }
        QCOMPARE(pictures, picture.isEmpty() ? 0 : 1);

        qsizetype next = 0; // where the next comment line starts
        for (int n = 0; n < count; ++n) {
            const ReportPage& page = layout.pages[std::size_t(n)];
            QCOMPARE(page.footer.text, QStringLiteral("Page %1 of %2").arg(n + 1).arg(count));
            std::vector<QRectF> boxes{page.date.box, page.time.box, page.footer.box, page.picture};
            for (const PlacedText& line : page.lines) {
                boxes.push_back(line.box);
                if (line.commentFrom < 0) continue;
                // Every character once, in order (an empty line may give way to a page break);
                // a line ends inside a word only when the word is longer than a line.
                while (next < line.commentFrom && comment[next] == u'\n')
                    ++next;
                QCOMPARE(line.commentFrom, next);
                QCOMPARE(comment.mid(next, line.text.size()), line.text);
                next += line.text.size();
                if (next < comment.size() && !QStringLiteral(" \n").contains(comment[next]) &&
                    !line.text.endsWith(u' '))
                    QVERIFY2(!line.text.contains(u' '), qPrintable(line.text));
            }
            for (std::size_t a = 0; a < boxes.size(); ++a) {
                QVERIFY(QRectF(QPointF(), size).contains(boxes[a]) || boxes[a].isEmpty());
                for (std::size_t b = a + 1; b < boxes.size(); ++b)
                    QVERIFY(!boxes[a].intersects(boxes[b]));
            }
        }
        while (next < comment.size() && comment[next] == u'\n')
            ++next;
        QCOMPARE(next, comment.size());
    }
};

QTEST_MAIN(TestScopePrintout)
#include "TestScopePrintout.moc"
