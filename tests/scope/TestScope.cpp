// The scope in the whole program: the settings page's rules, the panel's cursors and zoom, the
// cycle time and scans against the simulator, and the printout into a PDF file.
#include "app/ProgramFixture.h"
#include "scope/ScopeModule.h"
#include "scope/ScopePanel.h"
#include "support/WhenReady.h"

#include <QPlainTextEdit>
#include <QProcess>
#include <QSpinBox>
#include <QtTest>

#include <sys/stat.h>

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

    // A SINGLE SHOT scan from the SCAN button; the traces and the buffer afterwards.
    void ScanOnce() {
        ProgramFixture::Choose(Need<QComboBox>(*Page(), "EditTriggerMode"), 0);
        Click(Page(), "ButtonScan");
    }
    int Points(int trace) {
        return Need<QCustomPlot>(*Panel(), "GraphScope")->graph(trace)->dataCount();
    }
    std::array<std::uint16_t, 128> Red() { return f->state->scope.buffer[0]; }

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

    void theCycleTimeComesFromTheSensor() {
        Click(Page(), "ButtonGetCycleTime");
        const double ms = f->state->scope.cycleMilliseconds;
        QVERIFY2(ms > 0.5 && ms < 2.0, qPrintable(QString::number(ms)));
        QCOMPARE(Shown(Page(), "DispCycleTime"), QString::number(ms, 'f', ms > 1.0 ? 1 : 2));
        QCOMPARE(f->RequestsOfOrder(105), 1);
    }

    void aSingleShotScanPlotsFourBlocksOverTcp() {
        ScanOnce();
        QCOMPARE(f->RequestsOfOrder(110), 1);
        QCOMPARE(Points(0), 128);
        QCOMPARE(Points(2), 128);
        QVERIFY(Red()[0] > 0);
        QVERIFY(!Need(*Panel(), "ScopeWaiting")->isVisible());
        QVERIFY(!Need<QPushButton>(*Page(), "ButtonBreakScan")->isEnabled());
        QVERIFY(Need<QPushButton>(*Page(), "ButtonScan")->isEnabled());
        // The digital traces lie in their bands.
        auto* digital = Need<QCustomPlot>(*Panel(), "GraphScopeDigital");
        const double level = digital->graph(5)->data()->at(0)->value;
        QVERIFY(level == 10 || level == 11);
        // The link is in step afterwards.
        f->RunGo(3, [this] { f->Stop(); });
        QCOMPARE(f->state->flags.linkGood, std::uint16_t(1));
    }

    // The trace is turned so the trigger sample lies at the pre-trigger count, wherever the
    // sensor's ring put it (-1: where a ring started at 0 puts it).
    void anEdgeTriggeredTraceHasItsTriggerAtThePreTrigger_data() {
        QTest::addColumn<bool>("pty");
        QTest::addColumn<int>("preTrigger");
        QTest::addColumn<int>("triggerIndex");
        QTest::newRow("pty, P 20") << true << 20 << -1;
        QTest::newRow("tcp, P 20, trigger index 100") << false << 20 << 100;
        QTest::newRow("tcp, P 100, trigger index 3") << false << 100 << 3;
        QTest::newRow("pty, P 1, trigger index 0") << true << 1 << 0;
    }
    void anEdgeTriggeredTraceHasItsTriggerAtThePreTrigger() {
        QFETCH(bool, pty);
        QFETCH(int, preTrigger);
        QFETCH(int, triggerIndex);
        if (pty) QVERIFY(f->ConnectPtyThroughPage());
        f->program->ShowPage(core::MainPage::ScopeSettings);
        ProgramFixture::Choose(Need<QComboBox>(*Page(), "EditTriggerMode"), 4); // EXTERNAL IN0
        Need<QSpinBox>(*Page(), "EditPreTrigVal")->setValue(preTrigger);
        f->simulator.SetScopeTriggerIndex(triggerIndex);
        f->simulator.SetInput0(false);
        bool waiting = false;
        // IN0 rises once the program waits for the blocks and the scan has its pre-trigger part.
        support::WhenReady(
            &f->Window(),
            [this] {
                return Need<QPushButton>(*Page(), "ButtonBreakScan")->isEnabled() &&
                       f->simulator.ScanArmed();
            },
            [&] {
                waiting = Need(*Panel(), "ScopeWaiting")->isVisible();
                f->simulator.SetInput0(true);
            },
            [this] { Click(Page(), "ButtonBreakScan"); });
        Click(Page(), "ButtonScan");
        QVERIFY(waiting);
        QCOMPARE(Points(1), 128);
        // IN0 is bit 5: low before the trigger position, high from it on.
        const auto& digital = f->state->scope.buffer[3];
        for (int i = 0; i < 128; ++i)
            QVERIFY2(bool(digital[i] & 0x20) == (i >= preTrigger), qPrintable(QString::number(i)));
    }

    void aBreakLeavesThePreviousTraces() {
        ScanOnce();
        const auto before = Red();
        ProgramFixture::Choose(Need<QComboBox>(*Page(), "EditTriggerMode"), 4);
        f->simulator.SetInput0(false);
        const auto breakScan = [this] { Click(Page(), "ButtonBreakScan"); };
        support::WhenReady(
            &f->Window(),
            [this] {
                return Need<QPushButton>(*Page(), "ButtonBreakScan")->isEnabled() &&
                       f->simulator.ScanPending();
            },
            breakScan, breakScan);
        Click(Page(), "ButtonScan");
        QCOMPARE(Red(), before);
        QVERIFY(!f->simulator.ScanPending());
        QCOMPARE(f->state->flags.linkGood, std::uint16_t(1));
        f->RunGo(3, [this] { f->Stop(); });
        QCOMPARE(f->state->flags.linkGood, std::uint16_t(1));
    }

    void aBadBlockOverTcpEndsTheScanWithoutPlotting() {
        ScanOnce();
        const auto before = Red();
        sim::FaultSettings faults;
        faults.badDataCheck.on = true;
        faults.badDataCheck.order = 110;
        f->simulator.SetFaults(faults);
        ScanOnce();
        QVERIFY(f->Log().contains(QStringLiteral("RECEIVED DATA FRAME IS INCORRECT!")));
        QCOMPARE(Red(), before);
        QCOMPARE(Points(0), 128); // the earlier traces stand
    }

    void theDisplaySignalChoosesTheAnalogueTraces() {
        ScanOnce();
        ProgramFixture::Choose(Need<QComboBox>(*Panel(), "EditScopeSignal"), 2); // green only
        QCOMPARE(Points(0), 0);
        QCOMPARE(Points(1), 128);
        QCOMPARE(Points(2), 0);
        ScanOnce();
        QCOMPARE(Points(0), 0); // the choice still holds after a scan
        QCOMPARE(Points(1), 128);
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
        Need<QPlainTextEdit>(*Page(), "EditScopeComment")
            ->setPlainText(QStringLiteral("after the belt change"));
        const QString pdf = f->programDir.filePath(QStringLiteral("scope.pdf"));
        core::OperatorDialogs::PrintTarget target;
        target.pdfFile = pdf.toStdString();
        f->dialogs.printerAnswers = {target};
        Click(Page(), "ButtonPrintScopeGraph");
        QVERIFY(f->dialogs.Saw("Info!", "Print successful!"));
        QVERIFY(QFileInfo(pdf).size() > 1000);
        QVERIFY(Run(QStringLiteral("pdfinfo"), {pdf})
                    .contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n"))));
        const QString text = Run(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
        for (const char* line : {"Varev Screen Shot", "CHROMIX3-Varev V4.2", "PANEL ID: LINE 4",
                                 "COMMENT:", "after the belt change", "Page 1 of 1"})
            QVERIFY2(text.contains(QLatin1String(line)), line);
        // One picture: the graphs and their readings, not the panel with its controls.
        const QStringList images = Run(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf})
                                       .split('\n', Qt::SkipEmptyParts);
        QCOMPARE(images.size(), 3); // two heading lines, one image
        const QStringList image = images[2].split(' ', Qt::SkipEmptyParts);
        const QWidget& panel = f->program->Scope().Panel();
        QVERIFY2(image[4].toInt() > 0 && image[4].toInt() < panel.height() &&
                     image[3].toInt() <= panel.width(),
                 qPrintable(images[2]));
    }

    void aLongCommentFlowsOntoMorePagesAndAllOfItIsPrinted() {
        QString comment;
        for (int i = 1; i <= 90; ++i)
            comment += QStringLiteral("check %1\n").arg(i);
        Need<QPlainTextEdit>(*Page(), "EditScopeComment")->setPlainText(comment);
        const QString pdf = f->programDir.filePath(QStringLiteral("long.pdf"));
        core::OperatorDialogs::PrintTarget target;
        target.pdfFile = pdf.toStdString();
        f->dialogs.printerAnswers = {target};
        Click(Page(), "ButtonPrintScopeGraph");
        QVERIFY(f->dialogs.Saw("Info!", "Print successful!"));
        const int pages = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)\\n"))
                              .match(Run(QStringLiteral("pdfinfo"), {pdf}))
                              .captured(1)
                              .toInt();
        QVERIFY2(pages > 1, qPrintable(QString::number(pages)));
        const QString text = Run(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
        QVERIFY(text.contains(QStringLiteral("Page %1 of %1").arg(pages)));
        QVERIFY(text.contains(QStringLiteral("check 1\n")) && text.contains("check 90\n"));
        QCOMPARE(Run(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf})
                     .split('\n', Qt::SkipEmptyParts)
                     .size(),
                 3); // the picture, once
    }

    // A file that cannot be opened, or a fifo that would hold the window: a print error, and
    // the fifo is left alone.
    void aPrinterThatCannotBeOpenedIsAPrintError_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("fifo");
        QTest::newRow("missing folder") << "no/such/dir/scope.pdf" << false;
        QTest::newRow("fifo") << "scope.pdf" << true;
    }
    void aPrinterThatCannotBeOpenedIsAPrintError() {
        QFETCH(QString, name);
        QFETCH(bool, fifo);
        core::OperatorDialogs::PrintTarget target;
        target.pdfFile = f->programDir.filePath(name).toStdString();
        if (fifo) QCOMPARE(::mkfifo(target.pdfFile.c_str(), 0600), 0);
        f->dialogs.printerAnswers = {target};
        Click(Page(), "ButtonPrintScopeGraph");
        QCOMPARE(f->dialogs.popups.back().title, std::string("Info!"));
        QVERIFY(f->dialogs.popups.back().text.starts_with("Print error "));
        if (fifo) QVERIFY(QFileInfo(QString::fromStdString(target.pdfFile)).exists());
    }
};

QTEST_MAIN(TestScope)
#include "TestScope.moc"
