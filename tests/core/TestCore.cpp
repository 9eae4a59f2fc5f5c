// The ground's own rules: one command at a time, and texts that are bytes.
#include "controls/ScreenFit.h"
#include "core/CommandGate.h"
#include "core/Text.h"

#include <QtTest>

#include <string>
#include <vector>

using namespace core;

namespace {

StopCause CauseNamed(const QString& name) {
    if (name == "Loop") return StopCause::Loop;
    if (name == "Operator") return StopCause::Operator;
    if (name == "LinkLost") return StopCause::LinkLost;
    if (name == "Closing") return StopCause::Closing;
    return StopCause::None;
}

QString NameOf(StopCause cause) {
    switch (cause) {
    case StopCause::None:
        return "None";
    case StopCause::Loop:
        return "Loop";
    case StopCause::Operator:
        return "Operator";
    case StopCause::LinkLost:
        return "LinkLost";
    case StopCause::Closing:
        return "Closing";
    }
    return "?";
}

// Past the "end" or "endloop" that closes the scope `at` is in.
void SkipScope(const QStringList& steps, qsizetype& at) {
    for (int depth = 1; at < steps.size() && depth > 0;) {
        const QString& step = steps[at++];
        if (step == "run" || step == "loop") ++depth;
        if (step == "end" || step == "endloop") --depth;
    }
}

// Plays the steps up to the end of the current scope: "run" … "end" is a command, "loop" …
// "endloop" a measuring loop, "stop:<cause>" and "close" end things, "?" notes what the gate
// tells (its cause; "+stop" or "+closed" where StopRequested or Closed disagree with it), and a
// refused Run notes "refused".
void Play(CommandGate& gate, const QStringList& steps, qsizetype& at, QStringList& seen) {
    while (at < steps.size()) {
        const QString step = steps[at++];
        if (step == "end" || step == "endloop") return;
        if (step == "run") {
            if (!gate.Run("GO", [&] { Play(gate, steps, at, seen); })) {
                seen << "refused";
                SkipScope(steps, at);
            }
        } else if (step == "loop") {
            const CommandGate::MeasuringLoop loop(gate);
            Play(gate, steps, at, seen);
        } else if (step == "close") {
            gate.Close();
        } else if (step.startsWith("stop:")) {
            gate.Stop(CauseNamed(step.mid(5)));
        } else if (step == "?") {
            QString noted = NameOf(gate.Cause());
            if (gate.StopRequested() != (gate.Cause() != StopCause::None)) noted += "+stop";
            if (gate.Closed() != (gate.Cause() == StopCause::Closing)) noted += "+closed";
            seen << noted;
        } else {
            seen << "unknown step " + step;
        }
    }
}

} // namespace

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

    void theGateKeepsTheStrongestCauseForAsLongAsItsRuleSays_data() {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("seen");
        QTest::newRow("a weaker cause changes nothing")
            << "run loop stop:Operator stop:Loop ? endloop ? stop:LinkLost stop:Operator ? end ?"
            << "Operator Operator LinkLost None";
        QTest::newRow("a stronger cause replaces a weaker one")
            << "run loop stop:Loop ? stop:Operator ? endloop ? end ?"
            << "Loop Operator Operator None";
        QTest::newRow("Loop ends nothing but a measuring loop")
            << "run stop:Loop ? loop ? stop:Loop ? endloop ? end"
            << "None None Loop None";
        QTest::newRow("Loop is cleared when the last measuring loop ends")
            << "run loop loop stop:Loop endloop ? endloop ? loop ? endloop end"
            << "Loop None None";
        QTest::newRow("a stop given to no command is dropped")
            << "stop:Operator ? stop:LinkLost ? run ? end"
            << "None None None";
        QTest::newRow("the next command starts without the last one's stop")
            << "run stop:LinkLost end run ? end"
            << "None";
        QTest::newRow("a close without a command stays and refuses commands")
            << "close ? run ? end ?"
            << "Closing refused Closing";
        QTest::newRow("a close in a command outlives it and its loop")
            << "run loop stop:LinkLost close ? stop:Operator ? endloop ? end ? run end ?"
            << "Closing Closing Closing Closing refused Closing";
    }
    void theGateKeepsTheStrongestCauseForAsLongAsItsRuleSays() {
        QFETCH(QString, steps);
        QFETCH(QString, seen);
        CommandGate gate;
        const QStringList played = steps.split(' ');
        QStringList noted;
        qsizetype at = 0;
        Play(gate, played, at, noted);
        QCOMPARE(noted.join(' '), seen);
        QVERIFY(!gate.Busy());
        QVERIFY(!gate.LoopRunning());
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
