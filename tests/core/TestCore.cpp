// The ground's own rules: one command at a time, and texts that are bytes.
#include "controls/ScreenFit.h"
#include "core/CommandGate.h"
#include "core/JsonText.h"
#include "core/RecentRate.h"
#include "core/ShownText.h"
#include "core/Text.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
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
    // The rate is over the last second, not since the clock began: idle time before GO (the
    // first sample at 0 with nothing counted) leaves the figure once it is a second old.
    void theRateIsTheLastSecondsOnly() {
        core::RecentRate rate;
        QCOMPARE(rate.PerSecond(), 0.0);
        rate.Add(0, 0);
        rate.Add(5000, 0); // five idle seconds
        for (int ms = 5250; ms <= 7000; ms += 250)
            rate.Add(ms, std::uint64_t(ms - 5000) * 12); // 12 000 a second from 5 s on
        QCOMPARE(rate.PerSecond(), 12000.0);
        rate.Clear();
        rate.Add(7250, 21000);
        QCOMPARE(rate.PerSecond(), 0.0);
        rate.Add(7500, 21100);
        QCOMPARE(rate.PerSecond(), 400.0);
    }
    // Text from outside on a terminal: what would steer it (a title set by ESC ] ... BEL, a
    // forged line, C1's CSI) is shown, everything else is left as it is.
    void controlCharactersAreShownNotObeyed_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("shown");
        QTest::newRow("plain") << QByteArray("CHROMIX3 V4.2") << QByteArray("CHROMIX3 V4.2");
        QTest::newRow("title") << QByteArray("\x1b]0;owned\x07")
                               << QByteArray("\\x1b]0;owned\\x07");
        QTest::newRow("forged line") << QByteArray("ok\nchromix3-cli: fake\r\t")
                                     << QByteArray("ok\\nchromix3-cli: fake\\r\\t");
        QTest::newRow("backslash kept") << QByteArray("a\\x1b") << QByteArray("a\\x1b");
        QTest::newRow("DEL and C1 CSI") << QByteArray("\x7f\xc2\x9b") << QByteArray("\\x7f\\x9b");
        QTest::newRow("UTF-8 kept")
            << QByteArray("Ger\xc3\xa4t \xe2\x82\xac") << QByteArray("Ger\xc3\xa4t \xe2\x82\xac");
        QTest::newRow("no UTF-8") << QByteArray("\xe9\xff\xc3") << QByteArray("\\xe9\\xff\\xc3");
        QTest::newRow("overlong slash") << QByteArray("\xc0\xaf") << QByteArray("\\xc0\\xaf");
        QTest::newRow("NUL") << QByteArray("a\0b", 3) << QByteArray("a\\x00b");
    }
    void controlCharactersAreShownNotObeyed() {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, shown);
        QCOMPARE(QByteArray::fromStdString(Printable(text.toStdString())), shown);
        // Many lines keep their breaks, and each line is shown the same.
        if (!text.contains('\n'))
            QCOMPARE(QByteArray::fromStdString(PrintableLines((text + "\n" + text).toStdString())),
                     shown + "\n" + shown);
    }

    // The sensor's bytes as 8-bit characters, then as a JSON string: a strict parser takes it
    // and reads the characters the window would show. A stray byte in a text taken for UTF-8
    // is its Latin-1 character too.
    void sensorBytesMakeValidJson_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("decoded"); // Utf8OfLatin1 first
        QTest::addColumn<QString>("read"); // what the parser reads
        QByteArray high;
        for (int c = 0x80; c <= 0xff; ++c)
            high += char(c);
        const QByteArray controls = "\x01\x1b]0;x\x07\n\r\t\x7f\"\\";
        const QByteArray stray = "a\xe9\x80\xff\xc3(";
        QTest::newRow("plain") << QByteArray("SN 00123") << true << "SN 00123";
        QTest::newRow("all high bytes") << high << true << QString::fromLatin1(high);
        QTest::newRow("controls") << controls << true << QString::fromLatin1(controls);
        QTest::newRow("stray bytes, not decoded") << stray << false << QString::fromLatin1(stray);
        QTest::newRow("UTF-8, not decoded")
            << QByteArray("Ger\xc3\xa4t") << false << QString::fromUtf8("Ger\xc3\xa4t");
    }
    void sensorBytesMakeValidJson() {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, decoded);
        QFETCH(QString, read);
        const std::string text = decoded ? Utf8OfLatin1(bytes.toStdString()) : bytes.toStdString();
        const QByteArray json = QByteArray::fromStdString("{\"t\":" + JsonString(text) + "}");
        QJsonParseError error;
        const QJsonObject object = QJsonDocument::fromJson(json, &error).object();
        QCOMPARE(error.error, QJsonParseError::NoError);
        QCOMPARE(object.value("t").toString(), read);
        // Nothing a terminal obeys: no control byte, C1 included, is left in the line.
        QVERIFY(!QString::fromUtf8(json).contains(QRegularExpression("[\\x00-\\x1f\\x7f-\\x9f]")));
    }

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
