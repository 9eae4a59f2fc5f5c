// chromix3-sim's command line as a shell gives it: a --tcp value that is no port is refused, never
// taken as "any free port".
#include "support/SimProgram.h"

#include <QProcess>
#include <QTest>

class TestSimProgram : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        if (qEnvironmentVariable("CHROMIX_SIM").isEmpty())
            QSKIP("CHROMIX_SIM does not name the simulator program");
    }

    void tcpTakesOnlyAPortNumber_data() {
        QTest::addColumn<QString>("value");
        QTest::newRow("host and port") << "127.0.0.1:5555";
        QTest::newRow("name") << "localhost";
        QTest::newRow("beyond 65535") << "65536";
        QTest::newRow("trailing letters") << "5555x";
        QTest::newRow("signed") << "+5555";
    }
    void tcpTakesOnlyAPortNumber() {
        QFETCH(QString, value);
        QProcess sim;
        sim.start(qEnvironmentVariable("CHROMIX_SIM"), {"--tcp", value});
        QVERIFY(sim.waitForFinished(SimProgram::kWaitMs));
        QCOMPARE(sim.exitStatus(), QProcess::NormalExit);
        QCOMPARE(sim.exitCode(), 2);
        QCOMPARE(sim.readAllStandardOutput(), QByteArray()); // no port was opened
        const QByteArray err = sim.readAllStandardError();
        QVERIFY2(err.contains("--tcp needs a port number 0..65535") &&
                     err.contains("'" + value.toUtf8() + "'"),
                 err.constData());
    }

    void aFreePortIsTakenWhenAskedFor() {
        SimProgram sim;
        QVERIFY(StartSimProgram(sim, {}, 0) > 0);
    }
};

QTEST_GUILESS_MAIN(TestSimProgram)
#include "TestSimProgram.moc"
