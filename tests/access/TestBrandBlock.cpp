// The brand block: a brand's lines and logo from the program directory, the title alone without
// a brand, a missing logo, and a row that fits an 800-pixel window.
#include "access/Brand.h"
#include "access/BrandBlock.h"
#include "support/WhenReady.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <QtTest>

using access_::BrandBlock;

namespace {

QString Q(std::string_view text) {
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}

// A program directory holding the brand's logo.
bool CopyLogo(int number, const QTemporaryDir& into) {
    const QString logo = Q(access_::Brand(number)->logoFile);
    return QFile::copy(QStringLiteral(BRAND_ASSETS "/") + logo, into.filePath(logo));
}

QString Shown(const BrandBlock& block, const char* role) {
    const auto* label = block.findChild<QLabel*>(QLatin1String(role));
    return label ? label->text() : QStringLiteral("(none)");
}

} // namespace

class TestBrandBlock : public QObject {
    Q_OBJECT

private slots:
    void brandTwoShowsItsLinesAndLogo() {
        QTemporaryDir programDirectory;
        QVERIFY(CopyLogo(2, programDirectory));
        BrandBlock block(2, programDirectory.path());
        QCOMPARE(Shown(block, "DispBrandTitle"), QStringLiteral("CHROMIX3-Varev V4.2"));
        QCOMPARE(Shown(block, "DispBrandCompany"),
                 QStringLiteral("Tilwick & Orme Optosensors Inc."));
        QCOMPARE(Shown(block, "DispBrandPhone"), QStringLiteral("Phone +1 202 555 0143"));
        QCOMPARE(Shown(block, "DispBrandWeb"), QStringLiteral("www.tilwick-orme.example"));
        auto* web = block.findChild<QLabel*>(QStringLiteral("DispBrandWeb"));
        QCOMPARE(web->font().pointSize(), 11);
        QCOMPARE(web->palette().color(QPalette::WindowText), QColor(Qt::white));
        QVERIFY(block.HasLogo());
        QCOMPARE(block.findChild<QLabel*>(QStringLiteral("DispBrandLogo"))->pixmap().size(),
                 QSize(120, 48));
    }

    void withoutABrandOnlyTheTitleBlackOnWhite_data() {
        QTest::addColumn<int>("number");
        QTest::newRow("0") << 0;
        QTest::newRow("4") << 4;
    }
    void withoutABrandOnlyTheTitleBlackOnWhite() {
        QFETCH(int, number);
        QTemporaryDir programDirectory; // every logo there, and still none shown
        for (int n = 1; n <= access_::kBrandCount; ++n)
            QVERIFY(CopyLogo(n, programDirectory));
        BrandBlock block(number, programDirectory.path());
        QVERIFY(!block.HasLogo());
        const QList<QLabel*> labels = block.findChildren<QLabel*>();
        QCOMPARE(labels.size(), 1);
        QCOMPARE(labels[0]->font().pointSize(), 22);
        QCOMPARE(labels[0]->palette().color(QPalette::WindowText), QColor(Qt::black));
        block.resize(800, block.sizeHint().height());
        QCOMPARE(block.grab().toImage().pixelColor(2, 2), QColor(Qt::white));
    }

    void aMissingOrBrokenLogoLeavesThePictureEmpty_data() {
        QTest::addColumn<QByteArray>("content"); // empty: no file
        QTest::newRow("missing") << QByteArray();
        QTest::newRow("not a picture") << QByteArray("no picture\n");
    }
    void aMissingOrBrokenLogoLeavesThePictureEmpty() {
        QFETCH(QByteArray, content);
        QTemporaryDir programDirectory;
        QFile file(programDirectory.filePath(Q(access_::Brand(2)->logoFile)));
        if (!content.isEmpty()) QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) > 0);
        file.close();
        QTest::failOnWarning(QRegularExpression(QStringLiteral(".")));
        BrandBlock block(2, programDirectory.path());
        QVERIFY(!block.HasLogo());
        QCOMPARE(Shown(block, "DispBrandPhone"), QStringLiteral("Phone +1 202 555 0143"));
        QCOMPARE(QApplication::topLevelWidgets().size(), 1); // no popup
    }

    // An installed program keeps its logos in its data folder; beside the program comes first.
    void theLogoIsFoundBesideTheProgramElseInTheInstalledDataFolder_data() {
        QTest::addColumn<bool>("beside");
        QTest::addColumn<bool>("installed");
        QTest::addColumn<QString>("found"); // under the root; empty: no logo
        QTest::newRow("beside") << true << false << "bin/";
        QTest::newRow("installed") << false << true << "share/chromix3/";
        QTest::newRow("both") << true << true << "bin/";
        QTest::newRow("neither") << false << false << "";
    }
    void theLogoIsFoundBesideTheProgramElseInTheInstalledDataFolder() {
        QFETCH(bool, beside);
        QFETCH(bool, installed);
        QFETCH(QString, found);
        QTemporaryDir root;
        const QString logo = Q(access_::Brand(2)->logoFile);
        const QString source = QStringLiteral(BRAND_ASSETS "/") + logo;
        QVERIFY(QDir(root.path()).mkpath(QStringLiteral("bin")));
        QVERIFY(QDir(root.path()).mkpath(QStringLiteral("share/chromix3")));
        if (beside) QVERIFY(QFile::copy(source, root.filePath(QStringLiteral("bin/") + logo)));
        if (installed)
            QVERIFY(QFile::copy(source, root.filePath(QStringLiteral("share/chromix3/") + logo)));
        const QString program = root.filePath(QStringLiteral("bin"));
        if (!found.isEmpty())
            QCOMPARE(access_::LogoPath(program, logo), root.filePath(found + logo));
        BrandBlock block(2, program);
        QCOMPARE(block.HasLogo(), !found.isEmpty());
    }

    void theRowFitsAWindowOf800Pixels_data() {
        QTest::addColumn<int>("number");
        for (int n = 0; n <= access_::kBrandCount; ++n)
            QTest::addRow("%d", n) << n;
    }
    void theRowFitsAWindowOf800Pixels() {
        QFETCH(int, number);
        QTemporaryDir programDirectory;
        if (number >= 1) QVERIFY(CopyLogo(number, programDirectory));
        QWidget window;
        auto* block = new BrandBlock(number, programDirectory.path());
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(block);
        layout->addStretch(1);
        window.resize(800, 560);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window, support::kEventLimitMs));
        // Nothing squeezed or outside, a modest height, room for the window's margins.
        for (const QLabel* label : block->findChildren<QLabel*>()) {
            QVERIFY2(label->size().expandedTo(label->sizeHint()) == label->size(),
                     qPrintable(label->objectName()));
            QVERIFY(block->rect().contains(label->geometry()));
        }
        QVERIFY(block->height() <= 80);
        QVERIFY(block->minimumSizeHint().width() <= 760);
        // For the eye: CHROMIX_SHOT_DIR=<folder> keeps a picture of each.
        const QString shots = qEnvironmentVariable("CHROMIX_SHOT_DIR");
        if (!shots.isEmpty())
            QVERIFY(
                block->grab().save(QStringLiteral("%1/brand-block-%2.png").arg(shots).arg(number)));
    }
};

QTEST_MAIN(TestBrandBlock)
#include "TestBrandBlock.moc"
