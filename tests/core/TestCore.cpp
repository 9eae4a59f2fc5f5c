// The ground's own rules: one command at a time, and texts that are bytes.
#include "controls/ScreenFit.h"
#include "core/CommandGate.h"
#include "core/Text.h"

#include <QtTest>

#include <string>
#include <vector>

using namespace core;

class TestCore : public QObject {
    Q_OBJECT

private slots:
    void aWindowIsFittedIntoTheScreenByTheLeastMove_data() {
        QTest::addColumn<QRect>("wanted");
        QTest::addColumn<QRect>("fitted");
        const QRect area(0, 0, 800, 560);
        QTest::newRow("inside stays") << QRect(10, 20, 300, 200) << QRect(10, 20, 300, 200);
        QTest::newRow("larger shrinks") << QRect(0, 0, 1280, 900) << area;
        QTest::newRow("off right and below")
            << QRect(700, 500, 300, 200) << QRect(500, 360, 300, 200);
        QTest::newRow("off left and above") << QRect(-400, -50, 300, 200) << QRect(0, 0, 300, 200);
        QTest::newRow("larger and off") << QRect(1500, -90, 1000, 900) << area;
    }
    void aWindowIsFittedIntoTheScreenByTheLeastMove() {
        QFETCH(QRect, wanted);
        QFETCH(QRect, fitted);
        QCOMPARE(FitInside(wanted, QRect(0, 0, 800, 560)), fitted);
    }

    void aCommandArrivingWhileAnotherRunsIsRefusedAndRunsNothing() {
        CommandGate gate;
        std::vector<std::string> ran;
        bool innerRan = true;
        const bool outer = gate.Run("GO", [&] {
            ran.push_back("GO");
            QVERIFY(gate.Busy());
            QCOMPARE(gate.Holder(), std::string("GO"));
            innerRan = gate.Run("GET", [&] { ran.push_back("GET"); });
        });
        QVERIFY(outer);
        QVERIFY(!innerRan);
        QCOMPARE(ran, std::vector<std::string>{"GO"});
        QVERIFY(!gate.Busy());
        QCOMPARE(CommandGate::BusyText("GO", "SEND"),
                 std::string("GO REFUSED: SEND IS STILL RUNNING!"));
    }

    void queuedCommandsAreServedOnceTheGateIsFreeAndNotFromInsideEachOther() {
        CommandGate gate;
        int queued = 2;
        int served = 0;
        int nestedServing = 0;
        bool serving = false;
        gate.SetQueueServer([&] {
            if (serving) ++nestedServing;
            serving = true;
            while (queued > 0) {
                --queued;
                QVERIFY(!gate.Busy());
                gate.Run("GET", [&] { ++served; });
            }
            serving = false;
        });
        gate.Run("GO", [] {});
        QCOMPARE(served, 2);
        QCOMPARE(nestedServing, 0);
    }

    void aClosedGateStartsNothingAndServesNothing() {
        CommandGate gate;
        int served = 0;
        gate.SetQueueServer([&] { ++served; });
        gate.Run("GO", [&] { gate.Close(); });
        QCOMPARE(served, 0);
        bool ran = false;
        QVERIFY(!gate.Run("SEND", [&] { ran = true; }));
        QVERIFY(!ran);
    }

    void textsMapToBytesOneToOne_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("ascii") << QByteArray("Line 4");
        QTest::newRow("8-bit") << QByteArray("Gr\xFCn \xB0"
                                             "C");
        QTest::newRow("not UTF-8") << QByteArray("\xC3\x28\xFF\x80");
        QTest::newRow("every high byte") << QByteArray("\x80\x9F\xA0\xFF");
    }
    void textsMapToBytesOneToOne() {
        QFETCH(QByteArray, bytes);
        const std::string original = bytes.toStdString();
        const QString text = TextOfBytes(original);
        QCOMPARE(text.size(), bytes.size());
        QCOMPARE(BytesOfText(text), original);
    }

    void textBeyondEightBitsBecomesQuestionMarksAndIsCutToItsRoom() {
        QCOMPARE(BytesOfText(QStringLiteral("a\u20ACb")), std::string("a?b"));
        QCOMPARE(BytesOfText(QStringLiteral("\u00FC\u00FC\u00FC"), 2), std::string("\xFC\xFC"));
        QCOMPARE(BytesOfText(QString(), 5), std::string());
    }
};

QTEST_APPLESS_MAIN(TestCore)
#include "TestCore.moc"
