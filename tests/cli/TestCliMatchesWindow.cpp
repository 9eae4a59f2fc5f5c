// chromix3-cli and the window give SEND and GET through the same sensor operations: for the same
// parameter image they put the same bytes on the line.
#include "app/ProgramFixture.h"
#include "model/ParameterDefaults.h"
#include "model/ParameterFile.h"
#include "protocol/Orders.h"
#include "protocol/ParameterCodes.h"

#include <QProcess>
#include <QtTest>

namespace {

using Frames = std::vector<QByteArray>;

// The request frames of the parameter transfers the simulator received, oldest first.
Frames TransferFrames(const sim::SimThread& simulator) {
    Frames frames;
    for (const auto& request : simulator.RequestLog()) {
        const int order = request.order;
        if (order == protocol::kOrderWriteBlock || order == protocol::kOrderReadBlock ||
            order == protocol::kOrderStoreEeprom || order == protocol::kOrderLoadEeprom)
            frames.emplace_back(reinterpret_cast<const char*>(request.raw.data()),
                                qsizetype(request.raw.size()));
    }
    return frames;
}

// A set unlike the factory one in every block, reserved words included.
protocol::ParameterImage DistinctImage() {
    protocol::ParameterImage image = params::DefaultParameterImage();
    image.parameters[protocol::kPower] = 321;
    image.parameters[protocol::kAverage] = 9;
    // PARA keeps parameter set 1 chosen after the GET.
    image.parameters[protocol::kTrigger] = protocol::kTriggerPara;
    for (int row = 0; row < protocol::kTeachRows; ++row) {
        image.table[std::size_t(row)].w[0] = std::uint16_t(100 + row);
        image.table[std::size_t(row)].w[7] = std::uint16_t(0xA500 + row);
    }
    return image;
}

} // namespace

class TestCliMatchesWindow : public QObject {
    Q_OBJECT

private slots:
    void sendAndGetPutTheSameBytesOnTheLine() {
        ProgramFixture f;
        f.StartWithoutSensor();
        QVERIFY(f.ConnectThroughPage());
        f.simulator.SetRamImage(1, DistinctImage());

        // The window: GET and SEND to EEPROM of parameter set 1 (chosen as the operator does,
        // TRIGGER PARA letting the set be chosen).
        auto trigger = f.ParameterPage().editTrigger;
        ProgramFixture::Choose(trigger, trigger->findData(protocol::kTriggerPara));
        f.Main().selectParaSet[1]->click();
        f.simulator.ClearRequestLog();
        f.dialogs.lossAnswers = {true}; // TRIGGER changed on the panel gives way to the GET
        QTest::mouseClick(f.Main().buttonGet, Qt::LeftButton);
        f.Main().selectMem[1]->click(); // EEPROM
        QTest::mouseClick(f.Main().buttonSend, Qt::LeftButton);
        const Frames window = TransferFrames(f.simulator);
        QCOMPARE(window.size(), std::size_t(5)); // 2 reads, 2 writes, the store

        // The command line: the same set from a file, read and written the same way.
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("set.ini"));
        QVERIFY(params::WriteParameterFileTo(file.toStdString(), f.state->params.image) >= 0);
        const QString address = QStringLiteral("127.0.0.1:%1").arg(f.simulator.StartTcp(0));
        f.simulator.ClearRequestLog();
        auto run = [&](const QStringList& command) {
            QProcess cli;
            cli.start(QStringLiteral(CHROMIX_CLI_PATH),
                      QStringList{"--tcp", address, "--timeout", "60"} + command);
            return cli.waitForFinished(20000) && cli.exitCode() == 0;
        };
        QVERIFY(run({"get", "--set", "1", "--file", dir.filePath(QStringLiteral("got.ini"))}));
        const Frames got = TransferFrames(f.simulator);
        f.simulator.ClearRequestLog();
        QVERIFY(run({"send", "--set", "1", "--eeprom", "--file", file}));
        Frames sent = TransferFrames(f.simulator);
        // send reads the set first, for the rows' reserved words the file does not carry.
        QCOMPARE(sent.size(), std::size_t(5));
        sent.erase(sent.begin(), sent.begin() + 2);

        Frames cli = got;
        cli.insert(cli.end(), sent.begin(), sent.end());
        QCOMPARE(cli, window);
    }
};

QTEST_MAIN(TestCliMatchesWindow)
#include "TestCliMatchesWindow.moc"
