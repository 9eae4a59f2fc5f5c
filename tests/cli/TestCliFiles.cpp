// The command line's own reading of link texts and of parameter files, without a sensor.
#include "cli/CliFiles.h"
#include "cli/CliOptions.h"
#include "model/ParameterDefaults.h"
#include "model/ParameterFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(std::optional<int>)

class TestCliFiles : public QObject {
    Q_OBJECT
private slots:
    void tcpAddress_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("host"); // empty: refused
        QTest::addColumn<int>("port");
        QTest::newRow("host alone") << "sensor.local"
                                    << "sensor.local" << 10001;
        QTest::newRow("host and port") << "10.0.0.5:2000"
                                       << "10.0.0.5" << 2000;
        QTest::newRow("highest port") << "h:65535"
                                      << "h" << 65535;
        QTest::newRow("port 0") << "h:0"
                                << "" << 0;
        QTest::newRow("port too high") << "h:65536"
                                       << "" << 0;
        QTest::newRow("no host") << ":10001"
                                 << "" << 0;
        QTest::newRow("empty port") << "h:"
                                    << "" << 0;
        QTest::newRow("port not a number") << "h:12a"
                                           << "" << 0;
        QTest::newRow("overlong port") << "h:0000010001"
                                       << "" << 0;
        QTest::newRow("tab in the host") << "10.0.\t\ttcp:1"
                                         << "" << 0; // found by fuzzing
    }
    void tcpAddress() {
        QFETCH(QString, text);
        QFETCH(QString, host);
        QFETCH(int, port);
        const auto address = cli::ParseTcpAddress(text.toStdString());
        QCOMPARE(address.has_value(), !host.isEmpty());
        if (!address) return;
        QCOMPARE(QString::fromStdString(address->host), host);
        QCOMPARE(address->port, port);
    }

    void baudCodes() {
        QCOMPARE(cli::BaudCodeOfRate(9600), std::optional<int>(0));
        QCOMPARE(cli::BaudCodeOfRate(57600), std::optional<int>(3));
        QCOMPARE(cli::BaudCodeOfRate(115200), std::optional<int>(4));
        QCOMPARE(cli::BaudCodeOfRate(14400), std::nullopt);
    }

    // A file is taken whole or not at all: `edit` turns a complete file into the one read.
    void wholeParameterFile_data() {
        QTest::addColumn<QByteArray>("from");
        QTest::addColumn<QByteArray>("to");
        QTest::addColumn<bool>("noFile");
        QTest::addColumn<QString>("refusal"); // empty: taken
        QTest::newRow("complete") << QByteArray() << QByteArray() << false << "";
        QTest::newRow("no file") << QByteArray() << QByteArray() << true << "cannot read";
        QTest::newRow("other type") << QByteArray("Parameter File") << QByteArray("Scope File")
                                    << false << "not a parameter file";
        QTest::newRow("other version")
            << QByteArray("V4.2") << QByteArray("V4.1") << false << "another version";
        QTest::newRow("value not a number")
            << QByteArray("INTLIM = 0") << QByteArray("INTLIM = x") << false << "INTLIM";
        QTest::newRow("row key missing")
            << QByteArray("HOLD = 10\r\n\r\n[TEACH VECTOR 30]")
            << QByteArray("\r\n[TEACH VECTOR 30]") << false << "TEACH VECTOR 29";
    }
    void wholeParameterFile() {
        QFETCH(QByteArray, from);
        QFETCH(QByteArray, to);
        QFETCH(bool, noFile);
        QFETCH(QString, refusal);
        QTemporaryDir dir;
        const QString path = dir.filePath("p.ini");
        protocol::ParameterImage written = params::DefaultParameterImage();
        written.parameters[protocol::kPower] = 321;
        written.table[29].w[6] = 10;
        if (!noFile) {
            QVERIFY(params::WriteParameterFileTo(path.toStdString(), written) >= 0);
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadWrite));
            QByteArray bytes = file.readAll();
            QVERIFY2(from.isEmpty() || bytes.contains(from), bytes.constData());
            if (!from.isEmpty()) bytes.replace(from, to);
            file.resize(0);
            file.write(bytes);
        }
        protocol::ParameterImage image{};
        image.table[5].w[7] = 0xA505; // a reserved word, which no file carries
        const std::string problem = cli::ReadWholeParameterFile(path.toStdString(), image);
        QVERIFY2(QString::fromStdString(problem).contains(refusal), problem.c_str());
        QCOMPARE(problem.empty(), refusal.isEmpty());
        QCOMPARE(image.parameters[protocol::kPower], std::uint16_t(refusal.isEmpty() ? 321 : 0));
        QCOMPARE(image.table[5].w[7], std::uint16_t(0xA505));
    }
};

QTEST_GUILESS_MAIN(TestCliFiles)
#include "TestCliFiles.moc"
