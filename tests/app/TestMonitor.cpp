// The protocol monitor on the communication page, with the program connected to the simulator.
#include "ProgramFixture.h"

#include "comm/CommModule.h"
#include "comm/ProtocolMonitor.h"

#include <QPlainTextEdit>
#include <QPushButton>

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

        auto* lines = Need<QPlainTextEdit>(*window, "TextMonitorLines");
        const QString order =
            QStringLiteral("-> 55 ") +
            QStringLiteral("%1 ").arg(int(requests.front().order), 2, 16, QChar('0')).toUpper();
        // The view catches up on its own timer.
        QTRY_VERIFY2(lines->toPlainText().contains(order), qPrintable(lines->toPlainText()));
        const QStringList all = lines->toPlainText().split('\n');
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
};

QTEST_MAIN(TestMonitor)
#include "TestMonitor.moc"
