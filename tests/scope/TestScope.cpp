// The scope in the whole program: the settings page's rules, the panel's cursors and zoom, the
// cycle time and scans against the simulator, and the printout into a PDF file.
#include "app/ProgramFixture.h"
#include "scope/ScopeModule.h"
#include "scope/ScopePanel.h"

#include <QPlainTextEdit>
#include <QProcess>
#include <QSpinBox>
#include <QtTest>

#include <qcustomplot.h>

namespace {

QString Run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(20000);
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

} // namespace

class TestScope : public QObject {
    Q_OBJECT

    std::unique_ptr<ProgramFixture> f;

    QWidget* Page() { return Need(f->Window(), "ScopeSettingsPage"); }
    QWidget* Panel() { return Need(f->Window(), "SCOPEP"); }
    scope::ScopePanel& ScopePanel() { return f->program->Scope().Panel(); }
    QString Shown(QWidget* root, const char* role) { return Need<QLabel>(*root, role)->text(); }
    void Click(QWidget* root, const char* role) {
        QTest::mouseClick(Need<QPushButton>(*root, role), Qt::LeftButton);
    }

private slots:
    void init() {
        f = std::make_unique<ProgramFixture>();
        f->StartWithoutSensor();
        QVERIFY(f->ConnectThroughPage());
        f->program->ShowPage(core::MainPage::ScopeSettings);
        f->dialogs.popups.clear();
    }
    void cleanup() { f.reset(); }

    void theTriggerModeEnablesItsFields() {
        auto* mode = Need<QComboBox>(*Page(), "EditTriggerMode");
        auto* pre = Need<QSpinBox>(*Page(), "EditPreTrigVal");
        auto* level = Need<QSpinBox>(*Page(), "EditTriggerLevel");
        const std::pair<bool, bool> expected[5] = {
            {false, false}, {true, true}, {true, true}, {true, false}, {true, false}};
        for (int m = 0; m < 5; ++m) {
            ProgramFixture::Choose(mode, m);
            QCOMPARE(std::make_pair(pre->isEnabled(), level->isEnabled()), expected[m]);
        }
    }

    void aRightDoubleClickEmptiesTheComment() {
        auto* comment = Need<QPlainTextEdit>(*Page(), "EditScopeComment");
        comment->setPlainText(QStringLiteral("line 7, shift 2"));
        QTest::mouseDClick(comment->viewport(), Qt::LeftButton);
        QCOMPARE(comment->toPlainText(), QStringLiteral("line 7, shift 2"));
        QTest::mouseDClick(comment->viewport(), Qt::RightButton);
        QCOMPARE(comment->toPlainText(), QString());
    }

    void theCursorsMoveTogetherAndGiveTheDeltas() {
        QVERIFY(Panel()->isVisible());
        f->state->scope.cycleMilliseconds = 2.0;
        Need<QSpinBox>(*Page(), "EditScanRate")->setValue(3);
        ScopePanel().PlaceCursor(0, 10.7, 1500.9);
        ScopePanel().PlaceCursor(1, 20.2, 1200.1);
        // 9 whole samples x 2 ms x 3.
        QCOMPARE(Shown(Panel(), "DispDeltaX"), QStringLiteral("54.000"));
        QCOMPARE(Shown(Panel(), "DispDeltaY"), QStringLiteral("300"));
        auto* digital = Need<QCustomPlot>(*Panel(), "GraphScopeDigital");
        QStringList xs;
        for (int i = 0; i < digital->itemCount(); ++i) {
            auto* line = qobject_cast<QCPItemStraightLine*>(digital->item(i));
            if (line) xs << QString::number(line->point1->coords().x());
        }
        QCOMPARE(xs, (QStringList{"10.7", "20.2"}));
        // A drag on the analogue graph takes the nearer cursor along.
        auto* analogue = Need<QCustomPlot>(*Panel(), "GraphScope");
        analogue->replot();
        const int x = int(analogue->xAxis->coordToPixel(100));
        const int y = int(analogue->yAxis->coordToPixel(1000));
        QTest::mouseClick(analogue, Qt::LeftButton, {}, QPoint(x, y));
        QVERIFY(std::abs(ScopePanel().Cursors().x2 - 100) < 1);
        QCOMPARE(Shown(Panel(), "DispDeltaX").toDouble(),
                 std::trunc(std::abs(ScopePanel().Cursors().x2 - 10.7)) * 6);
    }

    void zoomOneToOneResetsTheAxesByRecordSignalAndMode() {
        ScopePanel().ZoomTo(10, 20, 100, 200);
        QCOMPARE(ScopePanel().XHigh(), 20.0);
        Click(Panel(), "ButtonZoom11");
        QCOMPARE(ScopePanel().XLow(), 0.0);
        QCOMPARE(ScopePanel().XHigh(), 128.0);
        QCOMPARE(ScopePanel().YHigh(), 4100.0);
        ProgramFixture::Choose(Need<QComboBox>(*Page(), "EditScopeRecSignal"), 1);
        auto* calc = Need<QComboBox>(f->Window(), "EditCalcmode");
        ProgramFixture::Choose(calc, calc->findData(1));
        Click(Panel(), "ButtonZoom11");
        QCOMPARE(ScopePanel().YHigh(), 10000.0);
    }

    void cancellingThePrinterDialogPrintsNothingAndSaysNothing() {
        Click(Page(), "ButtonPrintScopeGraph");
        QCOMPARE(f->dialogs.CountOf("printer"), 1);
        QCOMPARE(f->dialogs.CountOf("message"), 0);
    }

    void theReportIsOnePageWithItsTextAndThePanelPicture() {
        auto id = f->Comm().editId;
        id->setText(QStringLiteral("LINE 4"));
        emit id->editingFinished();
        Need<QPlainTextEdit>(*Page(), "EditScopeComment")->setPlainText(QStringLiteral("after the belt change"));
        const QString pdf = f->programDir.filePath(QStringLiteral("scope.pdf"));
        core::OperatorDialogs::PrintTarget target;
        target.pdfFile = pdf.toStdString();
        f->dialogs.printerAnswers = {target};
        Click(Page(), "ButtonPrintScopeGraph");
        QVERIFY(f->dialogs.Saw("Info!", "Print successful!"));
        QVERIFY(QFileInfo(pdf).size() > 1000);
        QVERIFY(Run(QStringLiteral("pdfinfo"), {pdf}).contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n"))));
        const QString text = Run(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
        for (const char* line : {"Varev Screen Shot", "CHROMIX3-Varev V4.2", "PANEL ID: LINE 4",
                                 "COMMENT:", "after the belt change", "Page 1 of 1"})
            QVERIFY2(text.contains(QLatin1String(line)), line);
        // One picture: the panel.
        const QStringList images =
            Run(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf}).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(images.size(), 3); // two heading lines, one image
    }

    void aPrinterThatCannotBeOpenedIsAPrintError() {
        core::OperatorDialogs::PrintTarget target;
        target.pdfFile = f->programDir.filePath(QStringLiteral("no/such/dir/scope.pdf")).toStdString();
        f->dialogs.printerAnswers = {target};
        Click(Page(), "ButtonPrintScopeGraph");
        QVERIFY(f->dialogs.Saw("Info!", "Print error "));
    }
};

QTEST_MAIN(TestScope)
#include "TestScope.moc"
