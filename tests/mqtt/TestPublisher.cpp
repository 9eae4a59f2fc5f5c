// The publisher against a real broker, and its queue and payloads alone.
#include "Broker.h"
#include "Subscriber.h"

#include "mqtt/OutQueue.h"
#include "mqtt/Publisher.h"
#include "mqtt/Topics.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpServer>
#include <QTest>

using mqtttest::kWaitMs;

namespace {

mqtt::Options OptionsFor(int port, int qos, const std::string& clientId) {
    mqtt::Options options;
    options.host = "127.0.0.1";
    options.port = port;
    options.qos = qos;
    options.clientId = clientId;
    return options;
}

QString Record(int i) {
    return QString("{\"time\":\"2026-01-01T00:00:00.%1\",\"red\":%1,\"text\":\"a \\\"b\\\" ä\"}")
        .arg(i);
}

} // namespace

class TestPublisher : public QObject {
    Q_OBJECT

private slots:
    // A client that cannot be set up as asked says why and never connects: above all never in
    // the clear when TLS was asked for. A listener stands for the broker and must see nothing.
    void aSetUpThatFailsIsRefusedAndNeverConnects_data() {
        QTest::addColumn<QString>("caFile");
        QTest::addColumn<QByteArray>("clientId");
        QTest::addColumn<QString>("said");
        QTest::newRow("CA file missing")
            << "/nonexistent/ca.crt" << QByteArray("watcher") << "TLS cannot be set up";
        QTest::newRow("client id too long")
            << "" << QByteArray(65536, 'c') << "client id is longer than MQTT carries";
        QTest::newRow("client id not UTF-8")
            << "" << QByteArray("watcher\xff") << "client library refuses the client id";
    }
    void aSetUpThatFailsIsRefusedAndNeverConnects() {
        QFETCH(QString, caFile);
        QFETCH(QByteArray, clientId);
        QFETCH(QString, said);
        QTcpServer listener;
        QVERIFY(listener.listen(QHostAddress::LocalHost, 0));
        mqtt::Options options = OptionsFor(listener.serverPort(), 1, clientId.toStdString());
        options.user = "operator";
        options.password = "secret";
        options.caFile = caFile.toStdString();
        std::string logged;
        options.log = [&](const std::string& text) { logged += text; };
        mqtt::Publisher publisher(options);
        QVERIFY2(QString::fromStdString(publisher.SetupError()).contains(said),
                 publisher.SetupError().c_str());
        publisher.Status("s", true, "id");
        publisher.Measurement("s", "{}");
        // Nothing here may touch a client that was never made.
        publisher.Flush(0);
        publisher.Close(0);
        QVERIFY(!publisher.Connected());
        // No connect was begun: none can be pending once the loop has turned.
        QCoreApplication::processEvents();
        QVERIFY(!listener.hasPendingConnections());
        QVERIFY2(logged.empty(), logged.c_str());
    }
    void payloadsReadAsTheJsonTheySay_data() {
        QTest::addColumn<bool>("online");
        QTest::addColumn<QString>("detail");
        QTest::newRow("identification") << true << "CHROMIX3 V4.2 SN 00123";
        QTest::newRow("quotes and backslash") << false << "NO ANSWER FROM \"a\\b\":10001";
        QTest::newRow("line ends and control bytes") << false << "line 1\r\nline 2\t\x01";
        QTest::newRow("UTF-8") << false << "Verbindung verloren: Gerät";
    }
    void payloadsReadAsTheJsonTheySay() {
        QFETCH(bool, online);
        QFETCH(QString, detail);
        const std::string payload =
            mqtt::SensorStatusPayload(online, detail.toStdString(), "host \"x\"");
        QJsonParseError error;
        const auto object =
            QJsonDocument::fromJson(QByteArray::fromStdString(payload), &error).object();
        QCOMPARE(error.error, QJsonParseError::NoError);
        QCOMPARE(object.value("state").toString(), online ? "online" : "offline");
        QCOMPARE(object.value(online ? "identification" : "reason").toString(), detail);
        QCOMPARE(object.value("client").toString(), "host \"x\"");
    }

    void queueKeepsTheNewestAndCountsWhatGaveWay_data() {
        QTest::addColumn<int>("capacity");
        QTest::addColumn<QString>("pushed");   // one sensor letter per measurement, in order
        QTest::addColumn<QString>("expected"); // what comes out, in order (S: status, D: report)
        QTest::newRow("room for all") << 4 << "abab"
                                      << "S:a a0 b1 a2 b3";
        QTest::newRow("oldest give way") << 3 << "aabab"
                                         << "S:a D:a2 b2 a3 b4";
        QTest::newRow("drops counted per sensor") << 2 << "abbaa"
                                                  << "S:a D:a1 D:b2 a3 a4";
        QTest::newRow("no room at all") << 0 << "ab"
                                        << "S:a D:a1 D:b1";
    }
    void queueKeepsTheNewestAndCountsWhatGaveWay() {
        QFETCH(int, capacity);
        QFETCH(QString, pushed);
        QFETCH(QString, expected);
        mqtt::OutQueue queue{std::size_t(capacity)};
        for (int i = 0; i < pushed.size(); ++i)
            queue.PushMeasurement(pushed.mid(i, 1).toStdString(), std::to_string(i));
        queue.SetStatus("a", "old");
        queue.SetStatus("a", "new");
        QStringList out;
        while (auto message = queue.Next()) {
            using Kind = mqtt::OutMessage::Kind;
            const QString sensor = QString::fromStdString(message->sensor);
            if (message->kind == Kind::Status) {
                QCOMPARE(message->payload, "new");
                out << "S:" + sensor;
            } else if (message->kind == Kind::Dropped) {
                QCOMPARE(message->payload, mqtt::DroppedPayload(message->count, message->count));
                out << "D:" + sensor + QString::number(message->count);
            } else {
                out << sensor + QString::fromStdString(message->payload);
            }
        }
        QCOMPARE(out.join(' '), expected);
    }

    // A name with '/' would add a level, '+' or '#' would make a topic no one may publish to.
    void eachSensorIsOneTopicLevel_data() {
        QTest::addColumn<QString>("sensor");
        QTest::addColumn<QString>("topic");
        QTest::newRow("plain") << "line4"
                               << "plant/a/line4/status";
        QTest::newRow("topic characters") << "a/b+c#"
                                          << "plant/a/a_b_c_/status";
        QTest::newRow("empty") << ""
                               << "plant/a/_/status";
    }
    void eachSensorIsOneTopicLevel() {
        QFETCH(QString, sensor);
        QFETCH(QString, topic);
        QCOMPARE(
            QString::fromStdString(mqtt::SensorTopic("plant/a", sensor.toStdString(), "status")),
            topic);
    }

    void brokerRestartLosesNothingTheQueueHolds_data() {
        QTest::addColumn<int>("qos");
        QTest::addColumn<int>("queueSize");
        QTest::addColumn<int>("whileAway");
        QTest::newRow("QoS 1, all fit") << 1 << 50 << 30;
        QTest::newRow("QoS 1, overflow") << 1 << 20 << 50;
        QTest::newRow("QoS 0, overflow") << 0 << 20 << 50;
    }
    void brokerRestartLosesNothingTheQueueHolds() {
        QFETCH(int, qos);
        QFETCH(int, queueSize);
        QFETCH(int, whileAway);
        mqtttest::Broker broker(true);
        QVERIFY(broker.Start());
        auto subscriber =
            std::make_unique<mqtttest::Subscriber>(broker.Port(), "chromix3/#", "watcher");
        QTRY_VERIFY_WITH_TIMEOUT(subscriber->Subscribed(), kWaitMs);

        auto options = OptionsFor(broker.Port(), qos, "restart");
        options.queueSize = std::size_t(queueSize);
        options.retryMaxMs = 1000;
        mqtt::Publisher publisher(options);
        publisher.Status("s", true, "ID");
        QStringList arrived{Record(0)};
        publisher.Measurement("s", arrived[0].toStdString());
        QTRY_COMPARE_WITH_TIMEOUT(subscriber->Payloads("chromix3/s/measurement").size(), 1,
                                  kWaitMs);
        QVERIFY(publisher.Flush(kWaitMs));

        subscriber.reset();
        broker.Stop();
        QTRY_VERIFY_WITH_TIMEOUT(!publisher.Connected(), kWaitMs);
        for (int i = 1; i <= whileAway; ++i) {
            publisher.Measurement("s", Record(i).toStdString());
            if (i > whileAway - queueSize) arrived << Record(i);
        }
        const int dropped = std::max(0, whileAway - queueSize);
        QCOMPARE(publisher.Count().queued, std::size_t(whileAway - dropped));
        QCOMPARE(publisher.Count().dropped, std::uint64_t(dropped));

        QVERIFY(broker.Start());
        subscriber = std::make_unique<mqtttest::Subscriber>(broker.Port(), "chromix3/#", "watcher");
        QTRY_VERIFY_WITH_TIMEOUT(
            subscriber->Payloads("chromix3/s/measurement").contains(arrived.last()), kWaitMs);
        QTRY_VERIFY_WITH_TIMEOUT(publisher.Flush(0), kWaitMs);
        auto got = subscriber->Payloads("chromix3/s/measurement");
        // At least once: the restarted broker may give the subscriber's session the record it
        // had delivered before the stop once more.
        while (!got.isEmpty() && got.first() == arrived[0])
            got.removeFirst();
        got.prepend(arrived[0]);
        QCOMPARE(got, arrived);
        QCOMPARE(publisher.Count().sent, std::uint64_t(arrived.size()));
        const QString report =
            dropped ? QString("{\"dropped\":%1,\"total\":%1}").arg(dropped) : QString();
        QCOMPARE(subscriber->Last("chromix3/s/dropped"), report);
    }
};

QTEST_GUILESS_MAIN(TestPublisher)
#include "TestPublisher.moc"
