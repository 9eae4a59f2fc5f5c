// chromix3-cli watch as a service runs it: two simulator programs at once, one killed and
// started again, the run ended by SIGTERM.
#include "support/SimProgram.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

namespace {

constexpr int kWaitMs = 60000;

// The watch process and the JSON lines it has written so far.
struct WatchRun {
    QProcess process;
    QByteArray pending;
    QList<QJsonObject> lines;

    // A reply limit no busy machine reaches: a sensor goes offline only when its simulator does.
    void Start(const QStringList& sensors) {
        QStringList arguments{"watch", "--format", "json", "--interval", "0.02", "--timeout", "60"};
        for (const QString& sensor : sensors)
            arguments << "--sensor" << sensor;
        process.start(QStringLiteral(CHROMIX_CLI_PATH), arguments);
        QObject::connect(&process, &QProcess::readyReadStandardOutput, [this] { Take(); });
    }
    void Take() {
        pending += process.readAllStandardOutput();
        for (qsizetype end; (end = pending.indexOf('\n')) >= 0; pending.remove(0, end + 1))
            lines << QJsonDocument::fromJson(pending.left(end)).object();
    }
    QList<QJsonObject> Records(const QString& sensor) const {
        QList<QJsonObject> records;
        for (const QJsonObject& line : lines)
            if (line.value("sensor").toString() == sensor && line.contains("RED")) records << line;
        return records;
    }
    // The status lines of `sensor` saying `state` ("online", "offline").
    QList<QJsonObject> Statuses(const QString& sensor, const QString& state) const {
        QList<QJsonObject> found;
        for (const QJsonObject& line : lines)
            if (line.value("sensor").toString() == sensor &&
                line.value("status").toString() == state)
                found << line;
        return found;
    }
    // SIGTERM: the run ends cleanly, every line written whole.
    void Terminate() {
        ::kill(pid_t(process.processId()), SIGTERM);
        QVERIFY(process.waitForFinished(kWaitMs));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 0);
        Take();
        QVERIFY2(pending.isEmpty(), pending.constData()); // no line cut off
    }
};

int Spread(const QJsonObject& record) {
    return record.value("RED").toInt() - record.value("BLUE").toInt();
}

} // namespace

class TestCliWatch : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        if (qEnvironmentVariable("CHROMIX_SIM").isEmpty())
            QSKIP("CHROMIX_SIM does not name the simulator program");
    }

    // One simulator holds its object at red 3000 and blue 0, the other at 1500 and 1500 (both
    // begin at 1800 and 1200): the records of each show where they came from.
    // Without --format, watch writes the record file's rows with the sensor's name in front.
    void tsvIsTheDefaultFormat() {
        SimProgram sim;
        const int port = StartSimProgram(sim, {});
        QVERIFY(port > 0);
        QProcess watch;
        watch.start(QStringLiteral(CHROMIX_CLI_PATH),
                    {"watch", "--interval", "0.02", "--timeout", "60", "--sensor",
                     QStringLiteral("line4=tcp:127.0.0.1:%1").arg(port)});
        QByteArray out;
        QTRY_VERIFY_WITH_TIMEOUT((out += watch.readAllStandardOutput()).count('\n') >= 3, kWaitMs);
        const QList<QByteArray> lines = out.split('\n');
        QVERIFY2(lines[0].startsWith("SENSOR\tDATE\tTIME"), lines[0].constData());
        QVERIFY2(lines[1].startsWith("line4\t"), lines[1].constData());
        ::kill(pid_t(watch.processId()), SIGTERM);
        QVERIFY(watch.waitForFinished(kWaitMs));
        QCOMPARE(watch.exitCode(), 0);
    }

    void eachRecordCarriesTheValuesOfItsOwnSensor() {
        SimProgram wide, flat;
        const int widePort = StartSimProgram(wide, {"--raw-spread", "3000"});
        const int flatPort = StartSimProgram(flat, {"--raw-spread", "0"});
        QVERIFY(widePort > 0 && flatPort > 0);
        WatchRun run;
        run.Start({QString("wide=tcp:127.0.0.1:%1").arg(widePort),
                   QString("flat=tcp:127.0.0.1:%1").arg(flatPort)});
        QTRY_VERIFY_WITH_TIMEOUT(
            !run.Records("wide").isEmpty() && Spread(run.Records("wide").last()) > 2500 &&
                !run.Records("flat").isEmpty() && qAbs(Spread(run.Records("flat").last())) < 200,
            kWaitMs);
        run.Terminate();
        for (const QJsonObject& record : run.Records("wide"))
            QVERIFY(Spread(record) > 550);
        for (const QJsonObject& record : run.Records("flat"))
            QVERIFY(Spread(record) < 650);
        QCOMPARE(run.Statuses("wide", "online").size(), 1);
        QCOMPARE(run.Statuses("flat", "online").size(), 1);
    }

    // A file size limit, as a service manager sets it, stands in for a full disk: the run is
    // told once when records begin to be lost, and again once the file has room (emptied here).
    void aFullDiskIsToldWhenItBeginsAndWhenItEnds() {
        SimProgram sim;
        const int port = StartSimProgram(sim, {});
        QVERIFY(port > 0);
        QTemporaryDir dir;
        const QString path = dir.filePath("records.tsv");
        QProcess watch;
        watch.setChildProcessModifier([] {
            const rlimit full{4096, 4096};
            setrlimit(RLIMIT_FSIZE, &full);
        });
        QByteArray err;
        QObject::connect(&watch, &QProcess::readyReadStandardError,
                         [&] { err += watch.readAllStandardError(); });
        watch.start(QStringLiteral(CHROMIX_CLI_PATH),
                    {"watch", "--interval", "0.01", "--timeout", "60", "--file", path, "--sensor",
                     QStringLiteral("line4=tcp:127.0.0.1:%1").arg(port)});
        const QByteArray lost = "chromix3-cli: the records cannot be written (File too large)";
        const QByteArray again = "chromix3-cli: the records are written again";
        QTRY_VERIFY_WITH_TIMEOUT(err.contains(lost), kWaitMs);
        // Emptied until a write has come through: one cut back by the program at the moment it
        // is emptied would stretch the file to its old length again.
        QTRY_VERIFY_WITH_TIMEOUT((void(QFile::resize(path, 0)), err.contains(again)), kWaitMs);
        const QByteArray before = err.left(err.indexOf(again));
        QCOMPARE(before.count(lost), 1); // once, not once a row
        ::kill(pid_t(watch.processId()), SIGTERM);
        QVERIFY(watch.waitForFinished(kWaitMs));
        QCOMPARE(watch.exitStatus(), QProcess::NormalExit);
        QCOMPARE(watch.exitCode(), 3);
        QVERIFY2(err.contains("lines were not written"), err.constData());
    }

    // A reply too short to hold a measurement is the sensor failing, told as its state, never a
    // record.
    void aShortMeasurementIsNoRecord_data() {
        QTest::addColumn<int>("dataBytes");
        QTest::newRow("no data") << 0;
        QTest::newRow("one word") << 2;
        QTest::newRow("half a measurement") << 20;
    }
    void aShortMeasurementIsNoRecord() {
        QFETCH(int, dataBytes);
        SimProgram sim;
        const int port =
            StartSimProgram(sim, {"--data-bytes", QString::number(dataBytes), "--only-order", "8"});
        QVERIFY(port > 0);
        WatchRun run;
        run.Start({QString("short=tcp:127.0.0.1:%1").arg(port)});
        QTRY_VERIFY_WITH_TIMEOUT(!run.Statuses("short", "offline").isEmpty(), kWaitMs);
        run.Terminate();
        const QString reason = run.Statuses("short", "offline").first().value("detail").toString();
        QVERIFY2(reason.contains(QString("its %1 data bytes are not the 40").arg(dataBytes)),
                 qPrintable(reason));
        QCOMPARE(run.Records("short").size(), 0);
    }

    void aSensorThatGoesAwayIsReportedAndComesBackWhileTheOtherGoesOn() {
        SimProgram steady, flaky;
        const int steadyPort = StartSimProgram(steady, {});
        const int flakyPort = StartSimProgram(flaky, {});
        QVERIFY(steadyPort > 0 && flakyPort > 0);
        WatchRun run;
        run.Start({QString("steady=tcp:127.0.0.1:%1").arg(steadyPort),
                   QString("flaky=tcp:127.0.0.1:%1,interval=0.1").arg(flakyPort)});
        QTRY_VERIFY_WITH_TIMEOUT(!run.Records("flaky").isEmpty(), kWaitMs);
        flaky.kill();
        QVERIFY(flaky.waitForFinished(kWaitMs));
        QTRY_VERIFY_WITH_TIMEOUT(!run.Statuses("flaky", "offline").isEmpty(), kWaitMs);
        const QString reason = run.Statuses("flaky", "offline").first().value("detail").toString();
        QVERIFY2(reason.contains(QString("127.0.0.1:%1").arg(flakyPort)), qPrintable(reason));
        const qsizetype steadyBefore = run.Records("steady").size();
        QTRY_VERIFY_WITH_TIMEOUT(run.Records("steady").size() > steadyBefore + 10, kWaitMs);

        const qsizetype flakyBefore = run.Records("flaky").size();
        QCOMPARE(StartSimProgram(flaky, {}, flakyPort), flakyPort);
        QTRY_VERIFY_WITH_TIMEOUT(run.Statuses("flaky", "online").size() == 2 &&
                                     run.Records("flaky").size() > flakyBefore,
                                 kWaitMs);
        run.Terminate();
    }
};

QTEST_GUILESS_MAIN(TestCliWatch)
#include "TestCliWatch.moc"
