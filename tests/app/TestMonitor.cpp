// The protocol monitor on the communication page, with the program connected to the simulator.
#include "ProgramFixture.h"

#include "commpage/CommModule.h"
#include "link/ProtocolMonitor.h"

#include <QAbstractItemView>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTimer>

namespace {

// The lines the monitor's view shows, oldest first.
QStringList ShownLines(QWidget& window) {
    const QAbstractItemModel* model = Need<QAbstractItemView>(window, "TextMonitorLines")->model();
    QStringList lines;
    for (int row = 0; row < model->rowCount(); ++row)
        lines << model->index(row, 0).data().toString();
    return lines;
}

} // namespace

class TestMonitor : public QObject {
    Q_OBJECT

    std::unique_ptr<ProgramFixture> f;

private slots:
    void init() { f = std::make_unique<ProgramFixture>(); }
    void cleanup() { f.reset(); }

    void showsRequestAndReplyWhileOpenAndUnhooksWhenClosed() {
        f->StartWithoutSensor();
        QVERIFY(f->ConnectThroughPage());
        QVERIFY(f->program->Link().FrameTap() == nullptr);

        auto* buttonMonitor = Need<QPushButton>(f->Window(), "ButtonMonitor");
        QTest::mouseClick(buttonMonitor, Qt::LeftButton);
        QVERIFY(buttonMonitor->isChecked());
        auto* window = Need<QWidget>(f->Window(), "ProtocolMonitor");
        QVERIFY(window->isVisible());
        QVERIFY(f->program->Link().FrameTap() == &f->program->Comm().Monitor());

        f->simulator.ClearRequestLog();
        QTest::mouseClick(f->Main().buttonGet, Qt::LeftButton);
        const auto requests = f->simulator.RequestLog();
        QVERIFY(!requests.empty());

        const QString order =
            QStringLiteral("-> 55 ") +
            QStringLiteral("%1 ").arg(int(requests.front().order), 2, 16, QChar('0')).toUpper();
        // The view catches up on its own timer.
        QTRY_VERIFY2_WITH_TIMEOUT(ShownLines(*window).join('\n').contains(order),
                                  qPrintable(ShownLines(*window).join('\n')),
                                  support::kEventLimitMs);
        const QStringList all = ShownLines(*window);
        bool replySeen = false;
        for (const QString& line : all) {
            QVERIFY2(!line.startsWith('!'), qPrintable(line));
            replySeen = replySeen || (line.contains(QStringLiteral("<- 55 ")) &&
                                      line.contains(QStringLiteral("head ok data ok")));
        }
        QVERIFY(replySeen);

        QTest::mouseClick(Need<QPushButton>(*window, "ButtonMonitorClose"), Qt::LeftButton);
        QVERIFY(!window->isVisible());
        QVERIFY(!buttonMonitor->isChecked());
        QVERIFY(f->program->Link().FrameTap() == nullptr);
        // Closed, the link records nothing more.
        const auto recorded = f->program->Comm().Monitor().Recorded();
        QTest::mouseClick(f->Main().buttonGet, Qt::LeftButton);
        QCOMPARE(f->program->Comm().Monitor().Recorded(), recorded);
    }

    void everyFrameOfAFastLoopIsShownAndPauseHoldsTheView() {
        f->StartWithoutSensor();
        QVERIFY(f->ConnectThroughPage());
        QTest::mouseClick(Need<QPushButton>(f->Window(), "ButtonMonitor"), Qt::LeftButton);
        auto* window = Need<QWidget>(f->Window(), "ProtocolMonitor");
        auto* pause = Need<QPushButton>(*window, "ButtonMonitorPause");
        const auto& monitor = f->program->Comm().Monitor();
        const auto* rows = Need<QAbstractItemView>(*window, "TextMonitorLines")->model();
        constexpr std::uint64_t kCapacity = comm::ProtocolMonitor::kCapacity;

        // Paused while GO runs, until the ring has been overwritten twice; then STOP.
        QStringList held;
        std::uint64_t pausedAt = 0;
        bool heldStill = false;
        QTimer watch;
        QElapsedTimer limit;
        limit.start();
        QObject::connect(&watch, &QTimer::timeout, [&] {
            if (limit.elapsed() > 60000) {
                watch.stop();
                f->Stop();
            } else if (pausedAt == 0 && rows->rowCount() > 0 &&
                       monitor.Recorded() >= kCapacity / 2) {
                QTest::mouseClick(pause, Qt::LeftButton);
                held = ShownLines(*window);
                pausedAt = monitor.Recorded();
            } else if (pausedAt > 0 && monitor.Recorded() >= pausedAt + 2 * kCapacity) {
                watch.stop();
                heldStill = ShownLines(*window) == held;
                f->Stop();
            }
        });
        f->RunGo(0, [&] { watch.start(20); });
        QVERIFY2(!held.isEmpty() && monitor.Recorded() >= pausedAt + 2 * kCapacity,
                 "the loop ended before the ring was overwritten");
        QVERIFY(heldStill);

        // Resumed, the view has every frame the ring holds, each as SAVE writes it.
        QTest::mouseClick(pause, Qt::LeftButton);
        const QStringList shown = ShownLines(*window);
        QCOMPARE(std::size_t(shown.size()), monitor.Size());
        QCOMPARE(monitor.Size(), std::size_t(kCapacity));
        for (std::size_t i = 0; i < monitor.Size(); ++i)
            QCOMPARE(shown[qsizetype(i)], QString::fromStdString(comm::FrameLine(monitor.At(i))));
    }
};

QTEST_MAIN(TestMonitor)
#include "TestMonitor.moc"
