// chromix3-cli watch --mqtt as a service runs it: two simulator programs, a broker of the
// test's own, a subscriber that compares what arrives with what watch wrote on its console.
#include "Broker.h"
#include "Subscriber.h"

#include "support/SimProgram.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTest>

#include <csignal>

using mqtttest::kWaitMs;

namespace {

// The watch process and the JSON records it wrote on its console, by sensor.
struct WatchRun {
    QProcess process;
    QByteArray pending;
    QMap<QString, QStringList> records;

    // A reply limit no busy machine reaches: a sensor goes offline only when its simulator does.
    void Start(const QStringList& arguments) {
        process.start(
            QStringLiteral(CHROMIX_CLI_PATH),
            QStringList{"watch", "--format", "json", "--interval", "0.02", "--timeout", "60"} +
                arguments);
        QObject::connect(&process, &QProcess::readyReadStandardOutput, [this] { Take(); });
    }
    void Take() {
        pending += process.readAllStandardOutput();
        for (qsizetype end; (end = pending.indexOf('\n')) >= 0; pending.remove(0, end + 1)) {
            const QByteArray line = pending.left(end);
            const QJsonObject object = QJsonDocument::fromJson(line).object();
            if (object.contains("RED"))
                records[object.value("sensor").toString()] << QString::fromUtf8(line);
        }
    }
    void End(int signal) {
        ::kill(pid_t(process.processId()), signal);
        QVERIFY(process.waitForFinished(kWaitMs));
        Take();
    }
};

QString Red(const QString& json) {
    return QString::number(QJsonDocument::fromJson(json.toUtf8()).object().value("RED").toInt());
}

} // namespace

class TestWatchMqtt : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        if (qEnvironmentVariable("CHROMIX_SIM").isEmpty())
            QSKIP("CHROMIX_SIM does not name the simulator program");
    }

    // Each simulator holds its own spread, so a record under the wrong name would show.
    void recordsOfTwoSensorsArriveAsWatchWroteThem_data() {
        QTest::addColumn<QString>("qos");
        QTest::addColumn<QString>("prefix");
        QTest::newRow("QoS 1") << "1"
                               << "chromix3";
        QTest::newRow("QoS 0, own prefix") << "0"
                                           << "plant/hall2";
    }
    void recordsOfTwoSensorsArriveAsWatchWroteThem() {
        QFETCH(QString, qos);
        QFETCH(QString, prefix);
        mqtttest::Broker broker;
        QVERIFY(broker.Start());
        mqtttest::Subscriber subscriber(broker.Port(), prefix.toStdString() + "/#");
        QTRY_VERIFY_WITH_TIMEOUT(subscriber.Subscribed(), kWaitMs);
        SimProgram wide, flat;
        const int widePort = StartSimProgram(wide, {"--raw-spread", "3000"});
        const int flatPort = StartSimProgram(flat, {"--raw-spread", "0"});
        QVERIFY(widePort > 0 && flatPort > 0);

        WatchRun run;
        run.Start({"--sensor", QString("wide=tcp:127.0.0.1:%1").arg(widePort), "--sensor",
                   QString("flat=tcp:127.0.0.1:%1").arg(flatPort), "--mqtt",
                   QString("127.0.0.1:%1").arg(broker.Port()), "--mqtt-qos", qos, "--topic-prefix",
                   prefix, "--mqtt-client-id", "watcher"});
        QTRY_VERIFY_WITH_TIMEOUT(run.records["wide"].size() > 20 && run.records["flat"].size() > 20,
                                 kWaitMs);
        run.End(SIGTERM);
        QCOMPARE(run.process.exitCode(), 0);

        for (const QString& name : {QString("wide"), QString("flat")}) {
            const std::string base = prefix.toStdString() + "/" + name.toStdString();
            QTRY_COMPARE_WITH_TIMEOUT(subscriber.Payloads(base + "/measurement").size(),
                                      run.records[name].size(), kWaitMs);
            QCOMPARE(subscriber.Payloads(base + "/measurement"), run.records[name]);
            QTRY_COMPARE_WITH_TIMEOUT(subscriber.Payloads(base + "/status").size(), 2, kWaitMs);
            const QStringList statuses = subscriber.Payloads(base + "/status");
            QVERIFY2(statuses[0].startsWith("{\"state\":\"online\",\"identification\":\"") &&
                         statuses[0].endsWith("\",\"client\":\"watcher\"}"),
                     qPrintable(statuses[0]));
            QCOMPARE(statuses[1],
                     "{\"state\":\"offline\",\"reason\":\"stopped\",\"client\":\"watcher\"}");
        }
        QVERIFY(Red(run.records["wide"].last()) != Red(run.records["flat"].last()));
        QCOMPARE(subscriber.Last(prefix.toStdString() + "/_client/watcher/status"),
                 "{\"state\":\"offline\",\"reason\":\"stopped\",\"sensors\":[\"flat\",\"wide\"]}");
    }

    // The sensor's identification holds bytes 0x80..0xff and control characters: the retained
    // status is still valid UTF-8 that a strict parser takes, reading the 8-bit characters the
    // window would show.
    void anIdentificationOfAnyBytesIsPublishedAsValidJson() {
        mqtttest::Broker broker;
        QVERIFY(broker.Start());
        mqtttest::Subscriber subscriber(broker.Port(), "chromix3/#");
        QTRY_VERIFY_WITH_TIMEOUT(subscriber.Subscribed(), kWaitMs);
        SimProgram odd;
        const int port = StartSimProgram(
            odd, {"--identification", "ID\\x1b]0;x\\x07\\x0a\\x01 \\xe9\\xff\\x80\\x9b\\xa0 end"});
        QVERIFY(port > 0);
        WatchRun run;
        run.Start({"--sensor", QString("odd=tcp:127.0.0.1:%1").arg(port), "--mqtt",
                   QString("127.0.0.1:%1").arg(broker.Port()), "--mqtt-client-id", "watcher"});
        QTRY_VERIFY_WITH_TIMEOUT(!subscriber.RawPayloads("chromix3/odd/status").isEmpty(), kWaitMs);
        run.End(SIGTERM);
        const QByteArray payload = subscriber.RawPayloads("chromix3/odd/status").first();
        QCOMPARE(QString::fromUtf8(payload).toUtf8(), payload);
        QJsonParseError error;
        const QJsonObject object = QJsonDocument::fromJson(payload, &error).object();
        QVERIFY2(error.error == QJsonParseError::NoError, payload.constData());
        QCOMPARE(object.value("identification").toString(),
                 QString::fromLatin1("ID\x1b]0;x\x07\n\x01 \xe9\xff\x80\x9b\xa0 end"));
    }

    // A simulator killed and started again while the other goes on; then watch itself killed,
    // with no chance to say goodbye: the broker publishes its will.
    void aLostSensorGoesOfflineAndBackAndAKilledWatchLeavesItsWill() {
        mqtttest::Broker broker;
        QVERIFY(broker.Start());
        mqtttest::Subscriber subscriber(broker.Port(), "chromix3/#");
        QTRY_VERIFY_WITH_TIMEOUT(subscriber.Subscribed(), kWaitMs);
        SimProgram steady, flaky;
        const int steadyPort = StartSimProgram(steady, {});
        const int flakyPort = StartSimProgram(flaky, {});
        QVERIFY(steadyPort > 0 && flakyPort > 0);
        WatchRun run;
        run.Start({"--sensor", QString("steady=tcp:127.0.0.1:%1").arg(steadyPort), "--sensor",
                   QString("flaky=tcp:127.0.0.1:%1").arg(flakyPort), "--mqtt",
                   QString("127.0.0.1:%1").arg(broker.Port()), "--mqtt-client-id", "doomed"});
        QTRY_VERIFY_WITH_TIMEOUT(!subscriber.Payloads("chromix3/flaky/measurement").isEmpty(),
                                 kWaitMs);

        flaky.kill();
        QVERIFY(flaky.waitForFinished(kWaitMs));
        QTRY_VERIFY_WITH_TIMEOUT(subscriber.Last("chromix3/flaky/status").contains("offline"),
                                 kWaitMs);
        const QString offline = subscriber.Last("chromix3/flaky/status");
        QVERIFY2(offline.contains(QString("127.0.0.1:%1").arg(flakyPort)), qPrintable(offline));
        const qsizetype steadyBefore = subscriber.Payloads("chromix3/steady/measurement").size();
        QTRY_VERIFY_WITH_TIMEOUT(
            subscriber.Payloads("chromix3/steady/measurement").size() > steadyBefore + 10, kWaitMs);

        QCOMPARE(StartSimProgram(flaky, {}, flakyPort), flakyPort);
        QTRY_VERIFY_WITH_TIMEOUT(subscriber.Last("chromix3/flaky/status").contains("online"),
                                 kWaitMs);
        QCOMPARE(subscriber.Payloads("chromix3/flaky/status").size(), 3);

        run.End(SIGKILL);
        QTRY_COMPARE_WITH_TIMEOUT(subscriber.Last("chromix3/_client/doomed/status"),
                                  "{\"state\":\"offline\",\"reason\":\"connection lost\"}",
                                  kWaitMs);
        // The sensors' own statuses still name the dead client: that is how a consumer knows.
        QVERIFY(subscriber.Last("chromix3/steady/status").contains("\"client\":\"doomed\""));
    }
};

QTEST_GUILESS_MAIN(TestWatchMqtt)
#include "TestWatchMqtt.moc"
