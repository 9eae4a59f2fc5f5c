// The data side of the window while the sensor measures: charts that follow the measurements,
// values that turn stale when the link fails, and a status bar that tells the truth.
#include "app/ProgramFixture.h"
#include "live/LiveDrawing.h"
#include "live/LiveGraphs.h"
#include "live/LiveModule.h"
#include "protocol/Orders.h"
#include "support/ReplyLimits.h"

#include <QRegularExpression>
#include <QtTest>
#include <qcustomplot.h>

using namespace live;

class TestLiveCharts : public QObject {
    Q_OBJECT

    std::unique_ptr<ProgramFixture> f;

    QString Status(const char* role) { return Need<QLabel>(f->Window(), role)->text(); }
    QCustomPlot* Plot(const char* role, int index = 0) {
        return Need<QCustomPlot>(f->Window(), role, index);
    }
    // The charts catch up at the refresh clock's pace, later on a busy machine.
    void CaughtUp() { QTRY_VERIFY_WITH_TIMEOUT(!f->program->Live().Clock().Pending(), 30000); }
    void GoForAWhile() {
        f->RunGo(10, [this] { f->Stop(); });
        CaughtUp();
    }
    // GET fails once, on the sensor's error reply to its first block; the sensor answers again.
    void FailOneGet() {
        sim::FaultSettings faults;
        faults.errorReply = sim::Fault{true, 2, protocol::kOrderReadBlock};
        f->simulator.SetFaults(faults);
        QTest::mouseClick(f->Main().buttonGet, Qt::LeftButton);
        f->simulator.ClearFaults();
        QVERIFY(Status("StatusLink").startsWith(QStringLiteral("NOT CONNECTED: ")));
    }
    // A click the window system has queued: it is served at the next look at the event queue.
    static void QueueClick(QWidget* button) {
        const QPointF at = QRectF(button->rect()).center();
        const QPointF global = button->mapToGlobal(at);
        QCoreApplication::postEvent(button, new QMouseEvent(QEvent::MouseButtonPress, at, global,
                                                            Qt::LeftButton, Qt::LeftButton, {}));
        QCoreApplication::postEvent(button, new QMouseEvent(QEvent::MouseButtonRelease, at, global,
                                                            Qt::LeftButton, Qt::NoButton, {}));
    }

private slots:
    void init() {
        f = std::make_unique<ProgramFixture>();
        f->StartWithoutSensor();
        QVERIFY(f->ConnectThroughPage());
        f->Window().show();
        QTest::qWait(10);
    }
    void cleanup() { f.reset(); }

    void goDrawsTheStripChartAndTheViewOfTheCalculationMode() {
        f->Data().tabDataP1->setCurrentIndex(kDataPageRgb);
        GoForAWhile();
        const auto& frame = f->state->live.frame;
        QCPGraph* red = Plot("GraphRGB")->graph(0);
        QCOMPARE(red->dataCount(), kHistorySamples);
        QCOMPARE((red->data()->end() - 1)->value, double(frame.w[0]));
        QCOMPARE(f->program->Live().Drawing().RgbHistory().At(kHistorySamples - 1, 2),
                 double(frame.w[2]));

        // The 2D page (CALCULATION MODE X Y INT 2D) keeps the taught colours and the live point
        // in a square window.
        f->Data().tabDataP1->setCurrentIndex(kDataPage2D);
        GoForAWhile();
        const auto& taught = f->program->Live().Drawing().Taught();
        const Window expected =
            SquareWindow(CentreAxis(frame.w[3], taught.x), CentreAxis(frame.w[4], taught.y));
        QCustomPlot* plane = Plot("Graph2D", 0);
        QCOMPARE(plane->xAxis->range().lower, expected.x.lower);
        QCOMPARE(plane->yAxis->range().upper, expected.y.upper);
        QCOMPARE(plane->xAxis->range().size(), plane->yAxis->range().size());
        // The cursor is the live point.
        QCPGraph* cursor = plane->graph(0);
        QCOMPARE(cursor->data()->begin()->key, double(frame.w[3]));
    }

    void theCalculationModeLabelsTheDataAndGraphPanelsAndThe3DPlanes() {
        auto* mode = Need<QComboBox>(f->Window(), "EditCalcmode");
        ProgramFixture::Choose(mode, mode->findData(3)); // s i M 3D
        QCOMPARE(f->Data().labelX->text(), QStringLiteral("s"));
        QCOMPARE(Need<QComboBox>(f->Window(), "EditSignal")->itemText(5), QStringLiteral("M"));
        CaughtUp();
        QCustomPlot* xInt = Plot("Graph3D", 1);
        auto* title = qobject_cast<QCPTextElement*>(xInt->plotLayout()->element(0, 0));
        QVERIFY(title);
        QCOMPARE(title->text(), QStringLiteral("s/M"));
        ProgramFixture::Choose(mode, mode->findData(0));
        QCOMPARE(Need<QComboBox>(f->Window(), "EditSignal")->itemText(3), QStringLiteral("X"));
    }

    // The axes are titled by the coordinates CALCULATION MODE calls X, Y and INT.
    void axisTitlesFollowTheCalculationMode_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("X Y INT 2D") << 0 << QStringList{"X", "Y", "INT"};
        QTest::newRow("s i M 2D") << 1 << QStringList{"s", "i", "M"};
        QTest::newRow("X Y INT 3D") << 2 << QStringList{"X", "Y", "INT"};
        QTest::newRow("s i M 3D") << 3 << QStringList{"s", "i", "M"};
    }
    void axisTitlesFollowTheCalculationMode() {
        QFETCH(int, mode);
        QFETCH(QStringList, names);
        auto* list = Need<QComboBox>(f->Window(), "EditCalcmode");
        ProgramFixture::Choose(list, list->findData(mode));
        const QStringList axes = names; // the charts say what their numbers count
        for (QString& name : names)
            name += QStringLiteral(" [digits]");
        QCOMPARE(Plot("Graph2D", 0)->xAxis->label(), names[0]);
        QCOMPARE(Plot("Graph2D", 0)->yAxis->label(), names[1]);
        QCOMPARE(Plot("Graph2D", 1)->xAxis->label(), names[2]); // the intensity band
        QCOMPARE(Plot("Graph3D", 2)->xAxis->label(), names[1]); // Y/INT
        QCOMPARE(Plot("Graph3D", 2)->yAxis->label(), names[2]);
        QCOMPARE(Plot("GraphINT1")->yAxis->label(), names[2]);
        QCOMPARE(Plot("PanelGraphGraph", 4)->yAxis->label(), axes[1]); // the graph panel's Y
    }

    // A taught colour's tolerance circle is as wide as it is high on screen, small window or
    // large.
    void aToleranceCircleIsDrawnRoundAtEverySize() {
        protocol::ParameterImage image = f->simulator.RamImage()[0];
        image.table[0].w = {5000, 5000, 2000, 1500, 100, 0, 10, 0}; // X, Y, CTO 2000
        f->simulator.SetRamImage(0, image);
        QTest::mouseClick(f->Main().buttonGet, Qt::LeftButton);
        QTabBar* tabs = f->Data().tabDataP1->tabBar();
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(kDataPage2D).center());
        QCustomPlot* plane = Plot("Graph2D", 0);
        QCPItemEllipse* circle = nullptr;
        for (int i = 0; i < plane->itemCount(); ++i) {
            auto* ellipse = qobject_cast<QCPItemEllipse*>(plane->item(i));
            if (ellipse && ellipse->visible() && ellipse->topLeft->coords().x() == 3000)
                circle = ellipse;
        }
        QVERIFY(circle);
        for (const QSize size : {QSize(800, 560), QSize(1280, 900)}) {
            f->Window().resize(size);
            // Laid out again at the new size.
            QTRY_COMPARE_WITH_TIMEOUT(plane->axisRect()->outerRect().size(), plane->size(), 20000);
            const QPointF corner = circle->topLeft->pixelPosition();
            const QPointF opposite = circle->bottomRight->pixelPosition();
            const double width = std::abs(opposite.x() - corner.x());
            const double height = std::abs(opposite.y() - corner.y());
            QVERIFY2(std::abs(width - height) <= 2 && width > 10,
                     qPrintable(QStringLiteral("%1 x %2 at %3 x %4")
                                    .arg(width)
                                    .arg(height)
                                    .arg(size.width())
                                    .arg(size.height())));
        }
        // The 3D page's small planes at the window's smallest size: their numbers stand apart.
        auto* mode = Need<QComboBox>(f->Window(), "EditCalcmode");
        ProgramFixture::Choose(mode, mode->findData(2)); // X Y INT 3D shows the 3D page
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(kDataPage3D).center());
        f->Window().resize(f->Window().minimumSizeHint());
        for (int i = 0; i < 3; ++i) {
            QCustomPlot* small = Plot("Graph3D", i);
            QTRY_VERIFY_WITH_TIMEOUT(small->isVisible() && small->width() < 300, 20000);
            small->replot(); // laid out at the size it has
            const QFontMetrics metrics(small->xAxis->tickLabelFont());
            const QVector<double> ticks = small->xAxis->tickVector();
            const QVector<QString> labels = small->xAxis->tickVectorLabels();
            for (int t = 1; t < ticks.size(); ++t) {
                const double apart =
                    small->xAxis->coordToPixel(ticks[t]) - small->xAxis->coordToPixel(ticks[t - 1]);
                const double needed = (metrics.horizontalAdvance(labels[t]) +
                                       metrics.horizontalAdvance(labels[t - 1])) /
                                      2.0;
                QVERIFY2(apart > needed, qPrintable(labels[t - 1] + " " + labels[t]));
            }
        }
    }

    void aClickFixesTheStripChartsAxisAndADoubleClickLetsItFollow() {
        auto data = f->Data();
        data.tabDataP1->setCurrentIndex(kDataPageRgb);
        QCustomPlot* rgb = Plot("GraphRGB");
        QTest::mouseDClick(rgb, Qt::LeftButton, {}, rgb->rect().center());
        GoForAWhile();
        const double top = rgb->yAxis->range().upper;
        QVERIFY2(top < 4000, qPrintable(QString::number(top))); // follows the values near 2000
        QTest::mouseClick(rgb, Qt::LeftButton, {}, rgb->rect().center());
        QCOMPARE(rgb->yAxis->range().lower, 0.0);
        QCOMPARE(rgb->yAxis->range().upper, 4096.0);
        GoForAWhile();
        QCOMPARE(rgb->yAxis->range().upper, 4096.0); // and stays there

        // In s i M the intensity chart's fixed range is M's: 0 to 1200.
        auto* mode = Need<QComboBox>(f->Window(), "EditCalcmode");
        ProgramFixture::Choose(mode, mode->findData(1));
        data.tabDataP1->setCurrentIndex(kDataPageInt);
        QCustomPlot* intensity = Plot("GraphINT1");
        QTest::mouseClick(intensity, Qt::LeftButton, {}, intensity->rect().center());
        QCOMPARE(intensity->yAxis->range().upper, 1200.0);
    }

    void aHiddenBigPanelKeepsFollowingTheColourNumber() {
        QVERIFY(!f->BigColourNumber().isVisible());
        GoForAWhile();
        QCOMPARE(f->BigColourNumber().Value(), int(f->state->live.frame.w[7]));
        QCOMPARE(f->BigGroup().Value(), int(f->state->live.frame.w[8]));
    }

    void aLinkFailureGreysTheLastValuesUntilTheNextMeasurement() {
        GoForAWhile();
        const int red = f->Data().dispRed->Value();
        sim::FaultSettings faults;
        faults.silence = sim::Fault{true, 0, 8};
        f->simulator.SetFaults(faults);
        // GO's first exchange is the silent measurement.
        support::ShortReplyLimit(f->program->Link());
        QTest::mouseClick(f->Main().buttonGo, Qt::LeftButton);
        support::DefaultReplyLimit(f->program->Link());
        QVERIFY(f->Data().dispRed->IsStale());
        QVERIFY(f->Data().swatch->IsStale());
        QCOMPARE(f->Data().dispRed->Value(), red); // still readable
        QCOMPARE(f->BigColourNumber().isVisible(), false);

        f->simulator.ClearFaults();
        QVERIFY(f->ConnectThroughPage());
        GoForAWhile();
        QVERIFY(!f->Data().dispRed->IsStale());
        QVERIFY(!f->Data().swatch->IsStale());
    }

    // The sensor lost in the middle of GO: the last values grey as soon as the loop's exchange
    // fails, readable still, and stay so after the loop has shown what it measured last; not
    // only once a TRY TO CONNECT has failed too.
    void theValuesGreyAsSoonAsTheSensorIsLostDuringGo() {
        f->RunGo(10, [this] { f->simulator.Stop(); });
        QVERIFY(!f->program->Gate().LoopRunning());
        QCOMPARE(f->state->flags.linkGood, std::uint16_t(0));
        QTRY_VERIFY_WITH_TIMEOUT(f->Data().dispRed->IsStale() && f->Data().swatch->IsStale(),
                                 support::kEventLimitMs);
        CaughtUp();
        QVERIFY(f->Data().dispRed->IsStale());
        QVERIFY(f->Data().dispGreen->IsStale());
        QVERIFY(f->Data().swatch->IsStale());
        QCOMPARE(f->Data().dispRed->Value(), int(f->state->live.frame.w[0])); // still readable
    }

    // The bar tells the link as the last exchange left it: answers after a failure show it
    // connected again, and the values are no longer greyed.
    void answersAfterAFailureShowTheLinkConnectedAgain() {
        GoForAWhile();
        FailOneGet();
        QVERIFY(f->Data().dispRed->IsStale());
        QTest::mouseClick(f->Main().buttonGet, Qt::LeftButton);
        QVERIFY2(Status("StatusLink").startsWith(QStringLiteral("CONNECTED: 127.0.0.1:")),
                 qPrintable(Status("StatusLink")));
        QVERIFY(Need<QLabel>(f->Window(), "StatusLink")
                    ->toolTip()
                    .startsWith(QStringLiteral("CONNECTED: TCP/IP 127.0.0.1:")));
        QVERIFY(!f->Data().dispRed->IsStale());
        QVERIFY(!f->Data().swatch->IsStale());
    }

    // A failure in an earlier command is not what ends a later GO: STOP ended it, whether the
    // loop had measured or STOP came before its first measurement (the bar then still tells the
    // failed exchange, the last there was).
    void goAfterAFailureEndedByStopSaysStopEndedIt_data() {
        QTest::addColumn<bool>("beforeTheFirst");
        QTest::newRow("STOP after measurements") << false;
        QTest::newRow("STOP before the first measurement") << true;
    }
    void goAfterAFailureEndedByStopSaysStopEndedIt() {
        QFETCH(bool, beforeTheFirst);
        FailOneGet();
        if (beforeTheFirst) {
            QueueClick(f->Main().buttonStop);
            bool ranOn = false;
            f->RunGoWhen([] { return true; },
                         [&] {
                             ranOn = true;
                             f->Stop();
                         });
            QVERIFY(!ranOn);
        } else {
            GoForAWhile();
        }
        const QString report = Status("StatusCommand");
        QVERIFY2(report.startsWith(beforeTheFirst
                                       ? QStringLiteral("GO: stopped after 0 measurements")
                                       : QStringLiteral("GO: stopped after ")),
                 qPrintable(report));
        QCOMPARE(Status("StatusLink").startsWith(QStringLiteral("CONNECTED: ")), !beforeTheFirst);
    }

    void statusBarTellsTheLinkTheLoopAndTheLastCommand() {
        QVERIFY(Status("StatusLink").startsWith(QStringLiteral("CONNECTED: 127.0.0.1:")));
        // The identification is the tooltip's: the bar stays short enough to read whole.
        QVERIFY(Need<QLabel>(f->Window(), "StatusLink")
                    ->toolTip()
                    .endsWith(QString::fromLatin1(sim::kIdentification)));
        QVERIFY(Status("StatusCommand").startsWith(QStringLiteral("TRY TO CONNECT: connected  ")));
        QCOMPARE(Status("StatusLoop"), QStringLiteral("STOPPED"));
        // Choosing another protocol on the page changes nothing until TRY TO CONNECT: the
        // status still tells the TCP link that stands.
        const QString connected = Status("StatusLink");
        QComboBox* protocolList = f->Comm().editCommunicationProtocol;
        protocolList->setCurrentIndex(protocolList->findData(core::kRs232));
        f->program->UpdateStatusBar();
        QCOMPARE(Status("StatusLink"), connected);
        protocolList->setCurrentIndex(protocolList->findData(core::kTcpIp));

        // The rate is counted over a second: the loop runs until the bar shows one.
        const QRegularExpression running(
            QStringLiteral("^GO RUNNING \u00B7 ([0-9]+) measurements/s$"));
        QString whileRunning;
        f->RunGoWhen(
            [&] {
                f->program->UpdateStatusBar();
                whileRunning = Status("StatusLoop");
                const auto match = running.match(whileRunning);
                return match.hasMatch() && match.captured(1).toInt() > 0;
            },
            [&] { f->Stop(); });
        QVERIFY2(running.match(whileRunning).hasMatch(), qPrintable(whileRunning));
        QVERIFY(running.match(whileRunning).captured(1).toInt() > 0);
        QTRY_COMPARE_WITH_TIMEOUT(Status("StatusLoop"), QStringLiteral("STOPPED"), 30000);
        QVERIFY(Status("StatusCommand").startsWith(QStringLiteral("GO: stopped after ")));

        QTest::mouseClick(f->Main().buttonSend, Qt::LeftButton);
        QVERIFY2(QRegularExpression(
                     QStringLiteral("^SEND to RAM, parameter set 0: done  \\d\\d:\\d\\d:\\d\\d$"))
                     .match(Status("StatusCommand"))
                     .hasMatch(),
                 qPrintable(Status("StatusCommand")));

        sim::FaultSettings faults;
        faults.silence = sim::Fault{true, 0, 8};
        f->simulator.SetFaults(faults);
        // GO's first exchange is the silent measurement.
        support::ShortReplyLimit(f->program->Link());
        QTest::mouseClick(f->Main().buttonGo, Qt::LeftButton);
        support::DefaultReplyLimit(f->program->Link());
        QVERIFY(Status("StatusLink").startsWith(QStringLiteral("NOT CONNECTED: ")));
        // The status bar names the cause, not only the alarm word.
        QCOMPARE(Status("StatusLink"), QStringLiteral("NOT CONNECTED: TIMEOUT! NO DATA RECEIVED!"));
        QVERIFY(Status("StatusCommand")
                    .startsWith(QStringLiteral("GO: ended by a communication failure")));
    }
};

QTEST_MAIN(TestLiveCharts)
#include "TestLiveCharts.moc"
