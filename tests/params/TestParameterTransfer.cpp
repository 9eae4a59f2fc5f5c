// SEND and GET through the real program against the simulator (and, for replies no sensor should
// send, a scripted sensor on a local socket): the bytes on the line, the order of requests, the
// plausibility reports, and what reaches the image and the controls.
#include "app/ProgramFixture.h"
#include "controls/WordTable.h"
#include "core/ParameterTransfers.h"
#include "model/ParameterDefaults.h"
#include "params/GroupHoldPage.h"
#include "params/ParameterPage.h"
#include "params/ParameterPanels.h"
#include "params/TeachTablePage.h"
#include "protocol/BlockLayout.h"
#include "protocol/FrameCodec.h"
#include "protocol/ParameterCodes.h"
#include "support/ReplyLimits.h"
#include "support/WhenReady.h"

#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

#include <functional>
#include <map>

using namespace comm;
using namespace live;

using namespace params;
using namespace core;

using Bytes = std::vector<std::uint8_t>;
Q_DECLARE_METATYPE(Bytes)
Q_DECLARE_METATYPE(std::vector<Bytes>)

namespace {

Bytes Hex(const char* text) {
    Bytes bytes;
    for (const QByteArray& part : QByteArray(text).split(' '))
        bytes.push_back(std::uint8_t(part.toUInt(nullptr, 16)));
    return bytes;
}

QByteArray HexOf(const Bytes& bytes) {
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()))
        .toHex(' ');
}

void Choose(QComboBox* combo, int code) {
    const int index = combo->findData(code);
    QVERIFY2(index >= 0, qPrintable(combo->objectName()));
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

// A set the rules leave exactly as it is, with every word distinct from the defaults.
protocol::ParameterImage DistinctImage(std::uint16_t seed) {
    protocol::ParameterImage image;
    image.parameters = {737,
                        protocol::kPowerModeDyn,
                        17,
                        protocol::kEvalMinDist,
                        1234,
                        321,
                        17,
                        protocol::kOutBinary,
                        protocol::kTriggerPara,
                        protocol::kExternTeachOff,
                        protocol::kCalcSiM3D,
                        1000,
                        3000,
                        1,
                        protocol::kLedPulse,
                        3,
                        99};
    for (int r = 0; r < protocol::kTeachRows; ++r) {
        auto& w = image.table[std::size_t(r)].w;
        for (int c = 0; c < 5; ++c)
            w[std::size_t(c)] = std::uint16_t((seed + r * 97 + c * 1013) % 10001);
        w[5] = std::uint16_t((seed + r) % 31);
        w[6] = std::uint16_t((seed * 3 + r * 311) % 10001);
        w[7] = std::uint16_t(0x1200 + seed + r * 7);
    }
    return image;
}

bool SameImage(const protocol::ParameterImage& a, const protocol::ParameterImage& b) {
    if (a.parameters != b.parameters) return false;
    for (int r = 0; r < protocol::kTeachRows; ++r) {
        if (a.table[std::size_t(r)].w != b.table[std::size_t(r)].w) return false;
    }
    return true;
}

// A sensor on a socket of this thread that answers every request through `answer`; the program
// processes events while it waits, so the answers arrive in time.
class ScriptedSensor : public QObject {
public:
    std::function<Bytes(int order, int argument)> answer;
    std::vector<std::pair<int, int>> requests; // order, argument

    quint16 Listen() {
        connect(&server, &QTcpServer::newConnection, this, [this] {
            QTcpSocket* socket = server.nextPendingConnection();
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { Serve(socket); });
        });
        server.listen(QHostAddress::LocalHost, 0);
        return server.serverPort();
    }

private:
    void Serve(QTcpSocket* socket) {
        pending += socket->readAll();
        while (pending.size() >= 8) {
            const int length = std::uint8_t(pending[4]) | (std::uint8_t(pending[5]) << 8);
            if (pending.size() < 8 + length) return;
            const int order = std::uint8_t(pending[1]);
            const int argument = std::uint8_t(pending[2]) | (std::uint8_t(pending[3]) << 8);
            pending.remove(0, 8 + length);
            requests.emplace_back(order, argument);
            const Bytes reply = order == 7 ? protocol::frame::EncodeFrameBytes(7, 0, Bytes{'S', 0})
                                           : answer(order, argument);
            socket->write(reinterpret_cast<const char*>(reply.data()), qint64(reply.size()));
        }
    }

    QTcpServer server;
    QByteArray pending;
};

} // namespace

class TestParameterTransfer : public QObject {
    Q_OBJECT

    std::unique_ptr<ProgramFixture> f;

    bool Connect() {
        f->StartWithoutSensor();
        const bool ok = f->ConnectThroughPage();
        f->simulator.ClearRequestLog();
        f->dialogs.popups.clear();
        return ok;
    }

    bool ConnectTo(quint16 port) {
        f->StartWithoutSensor();
        auto page = f->Comm();
        f->Choose(page.editCommunicationProtocol, 1);
        page.stringIpAdress->setEditText(QStringLiteral("127.0.0.1"));
        page.stringPortNumber->setText(QString::number(port));
        QTest::mouseClick(page.buttonTryToConnect, Qt::LeftButton);
        return f->state->flags.linkGood == 1;
    }

    std::vector<sim::Request> Log() const { return f->simulator.RequestLog(); }

    std::vector<int> Orders() const {
        std::vector<int> orders;
        for (const auto& request : Log())
            orders.push_back(request.order);
        return orders;
    }

    void Select(std::array<QRadioButton*, 3> radios, int target) {
        QTest::mouseClick(radios[std::size_t(target - 1)], Qt::LeftButton);
        QCOMPARE(f->state->params.memoryTarget, std::uint16_t(target));
    }

    void Press(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

    int Occurrences(const QString& text) const { return f->Log().count(text); }

private slots:
    void init() { f = std::make_unique<ProgramFixture>(); }
    void cleanup() { f.reset(); }

    void getRequestsAreByteExact_data() {
        QTest::addColumn<int>("target");
        QTest::addColumn<int>("paraSet");
        QTest::addColumn<std::vector<Bytes>>("expected");
        const Bytes load = Hex("55 04 00 00 00 00 AA 0B");
        const Bytes read0 = Hex("55 02 00 00 00 00 AA B9");
        const Bytes read1 = Hex("55 02 01 00 00 00 AA 74");
        const Bytes read2 = Hex("55 02 02 00 00 00 AA 3A");
        const Bytes read3 = Hex("55 02 03 00 00 00 AA F7");
        QTest::newRow("RAM, ParaSet0") << int(kRam) << 0 << std::vector<Bytes>{read0, read2};
        QTest::newRow("RAM, ParaSet1") << int(kRam) << 1 << std::vector<Bytes>{read1, read3};
        QTest::newRow("EEPROM, ParaSet0")
            << int(kEeprom) << 0 << std::vector<Bytes>{load, read0, read2};
        QTest::newRow("EEPROM, ParaSet1")
            << int(kEeprom) << 1 << std::vector<Bytes>{load, read1, read3};
    }

    void getRequestsAreByteExact() {
        QFETCH(int, target);
        QFETCH(int, paraSet);
        QFETCH(std::vector<Bytes>, expected);
        auto para = DistinctImage(5); // TRIGGER PARA in both sets, so ParaSet1 can be chosen
        f->simulator.SetRamImage(0, para);
        f->simulator.SetRamImage(1, para);
        QVERIFY(Connect());
        auto main = f->Main();
        QVERIFY(main.selectParaSet[1]->isEnabled());
        QTest::mouseClick(main.selectParaSet[std::size_t(paraSet)], Qt::LeftButton);
        QCOMPARE(f->state->params.paraSet, std::uint16_t(paraSet));
        Select(main.selectMem, target);
        f->simulator.ClearRequestLog();
        Press(main.buttonGet);
        const auto log = Log();
        QCOMPARE(log.size(), expected.size());
        for (std::size_t i = 0; i < log.size(); ++i)
            QCOMPARE(HexOf(log[i].raw), HexOf(expected[i]));
    }

    void sendToRamWritesBothBlocksAndToEepromAlsoStores() {
        QVERIFY(Connect());
        auto main = f->Main();
        Press(main.buttonSend);
        auto log = Log();
        QCOMPARE(log.size(), std::size_t(2));
        QCOMPARE(log[0].raw.size(), std::size_t(42));
        QCOMPARE(log[1].raw.size(), std::size_t(504));
        QCOMPARE(int(log[1].argument), 2);

        f->simulator.ClearRequestLog();
        Select(main.selectMem, kEeprom);
        Press(main.buttonSend);
        log = Log();
        QCOMPARE(log.size(), std::size_t(3));
        QCOMPARE(log[0].raw.size(), std::size_t(42));
        QCOMPARE(log[1].raw.size(), std::size_t(504));
        QVERIFY(log[2].raw == Hex("55 03 00 00 00 00 AA 8E"));
        QVERIFY(main.buttonSend->isEnabled());
        QCOMPARE(f->state->flags.linkGood, std::uint16_t(1));
    }

    void writeOfTheDefaultParameterBlockIsByteExact() {
        QVERIFY(Connect());
        f->state->params.image = DefaultParameterImage();
        f->Parameters().PutParametersToPanel();
        Press(f->Main().buttonSend);
        const auto log = Log();
        QVERIFY(!log.empty());
        const Bytes expected =
            Hex("55 01 00 00 22 00 3E 4B F4 01 00 00 01 00 01 00 0A 00 00 00 01 00 00 00 00 00 "
                "00 00 00 00 80 0C E4 0C 00 00 00 00 05 00 01 00");
        QCOMPARE(HexOf(log[0].raw), HexOf(expected));
    }

    void getFromEepromReloadsThenReadsThreeShortRequests() {
        QVERIFY(Connect());
        Select(f->Main().selectMem, kEeprom);
        Press(f->Main().buttonGet);
        const auto log = Log();
        QCOMPARE(log.size(), std::size_t(3));
        QCOMPARE(int(log[0].order), 4);
        for (const auto& request : log)
            QCOMPARE(request.raw.size(), std::size_t(8));
    }

    void plausibilityCountOfTwoShowsTheRamTextAndStillSendsTheTable() {
        QVERIFY(Connect());
        sim::FaultSettings faults;
        faults.plausibilityCount = sim::Fault{true, 2, 1};
        f->simulator.SetFaults(faults);
        f->program->ShowPage(core::MainPage::Parameters);
        Press(f->Main().buttonSend);
        QCOMPARE(f->RequestsOfOrder(1), 2);
        const QString text = QStringLiteral(
            "INFO!\n2 PARAMETER IN RAM DID NOT PASS PLAUSIBILITY CHECK AND WERE SET TO DEFAULT "
            "VALUE!\n\n");
        QCOMPARE(Occurrences(text), 2); // once for each block
        // The link is fine: still connected, no time-out told, the page stays in front.
        QCOMPARE(f->state->flags.linkGood, std::uint16_t(1));
        QCOMPARE(f->CurrentPage(), int(core::MainPage::Parameters));
        QVERIFY(f->Data().dispStatus->text() != QStringLiteral("TIMEOUT!"));
        QVERIFY(f->Comm().buttonAccept->isEnabled());
        QCOMPARE(f->dialogs.CountOf("message"), 0); // in the log, never a popup
    }

    // The sensor replaces a teach cell beyond its range: the log names it, and the panel shows
    // what the sensor holds, no longer marked as unsent.
    void aValueTheSensorReplacedIsNamedAndShownAsItHoldsIt() {
        QVERIFY(Connect());
        QTableWidget* grid = TeachTableControls(f->Window()).gridCtt;
        grid->item(2, 1)->setData(Qt::EditRole, 20000);
        const QString before = f->Log();
        Press(f->Main().buttonSend);
        // In the order it happened: the sensor's notice, then what the read-back found.
        QCOMPARE(
            f->Log().mid(before.size()),
            QStringLiteral("INFO!\n1 PARAMETER IN RAM DID NOT PASS PLAUSIBILITY CHECK AND WERE "
                           "SET TO DEFAULT VALUE!\n\nREPLACED BY THE SENSOR:\nTEACH ROW 2 "
                           "CELL 1: SENT 20000, THE SENSOR HOLDS 1\n\n"));
        QCOMPARE(grid->item(2, 1)->data(Qt::EditRole).toInt(), 1);
        QVERIFY(!f->program->Params().Transfers().PanelUnsent());
    }

    void eepromCountOf65535IsReportedAndTheSetStillRead() {
        QVERIFY(Connect());
        sim::FaultSettings faults;
        faults.plausibilityCount = sim::Fault{true, 65535, 4};
        f->simulator.SetFaults(faults);
        Select(f->Main().selectMem, kEeprom);
        Press(f->Main().buttonGet);
        QVERIFY(f->Log().contains(QStringLiteral(
            "INFO!\n65535 PARAMETER FROM EEPROM DID NOT PASS PLAUSIBILITY CHECK AND WERE SET TO "
            "DEFAULT VALUE!\n\n")));
        QCOMPARE(f->RequestsOfOrder(2), 2);
    }

    void triggerOtherThanParaUsesBlocksZeroAndTwo() {
        QVERIFY(Connect());
        auto main = f->Main();
        auto page = f->ParameterPage();
        Choose(page.editTrigger, protocol::kTriggerPara);
        QVERIFY(main.selectParaSet[1]->isEnabled());
        QTest::mouseClick(main.selectParaSet[1], Qt::LeftButton);
        QCOMPARE(f->state->params.paraSet, std::uint16_t(1));
        Press(main.buttonSend);
        QCOMPARE(int(Log().at(0).argument), 1);
        QCOMPARE(int(Log().at(1).argument), 3);

        Choose(page.editTrigger, protocol::kTriggerExt1);
        QCOMPARE(f->state->params.paraSet, std::uint16_t(0));
        QVERIFY(main.selectParaSet[0]->isChecked());
        QVERIFY(!main.selectParaSet[1]->isEnabled());
        // Even a set number left at 1 by someone else addresses ParaSet0 without PARA.
        f->state->params.paraSet = 1;
        f->simulator.ClearRequestLog();
        Press(main.buttonSend);
        Select(main.selectMem, kEeprom);
        Press(main.buttonGet);
        for (const auto& request : Log()) {
            if (request.order == 1 || request.order == 2)
                QVERIFY2(request.argument == 0 || request.argument == 2,
                         qPrintable(QString::number(request.argument)));
        }
        QCOMPARE(f->RequestsOfOrder(2), 2);
    }

    void sendAndGetPressedDuringGoRunBetweenTwoMeasurementsSendFirst() {
        QVERIFY(Connect());
        auto main = f->Main();
        // STOP once the loop has served both and measured again.
        auto servedAndMeasured = [this] {
            const auto orders = Orders();
            const auto lastGet = std::find(orders.rbegin(), orders.rend(), 2);
            return lastGet != orders.rend() && lastGet != orders.rbegin() &&
                   std::count(orders.begin(), orders.end(), 2) == 2 && *(lastGet - 1) == 8;
        };
        f->RunGo(3, [&] {
            Press(main.buttonSend);
            Press(main.buttonGet);
            support::WhenReady(
                &f->Window(), servedAndMeasured, [this] { f->Stop(); }, [this] { f->Stop(); });
        });
        const auto orders = Orders();
        const auto first = std::find(orders.begin(), orders.end(), 1);
        QVERIFY(first != orders.end());
        QVERIFY(first != orders.begin() && *(first - 1) == 8);
        const std::vector<int> served(first, first + 5);
        QCOMPARE(served, (std::vector<int>{1, 1, 2, 2, 8}));
        QCOMPARE(std::count(orders.begin(), orders.end(), 1), 2);
    }

    void sendWithNonzeroCountDuringGoEndsTheLoop() {
        QVERIFY(Connect());
        sim::FaultSettings faults;
        faults.plausibilityCount = sim::Fault{true, 3, 1};
        f->simulator.SetFaults(faults);
        auto main = f->Main();
        f->RunGo(3, [&] { Press(main.buttonSend); });
        QVERIFY(!f->program->Gate().LoopRunning());
        const auto log = Log();
        QVERIFY(!log.empty());
        // The send completes (both blocks) and reads the set back to learn what the sensor
        // replaced; nothing more is measured.
        std::vector<int> tail;
        for (std::size_t i = log.size() >= 4 ? log.size() - 4 : 0; i < log.size(); ++i)
            tail.push_back(log[i].order);
        QCOMPARE(tail, (std::vector<int>{1, 1, 2, 2}));
        QVERIFY(f->Log().contains(QStringLiteral("INFO!\n3 PARAMETER IN RAM")));
    }

    void getThenSendRoundTripsEveryWordOfBothSets() {
        const protocol::ParameterImage set0 = DistinctImage(11);
        protocol::ParameterImage set1 = DistinctImage(4242);
        set1.parameters[protocol::kPower] = 222;
        f->simulator.SetRamImage(0, set0);
        f->simulator.SetRamImage(1, set1);
        QVERIFY(Connect());
        QVERIFY(SameImage(f->state->params.image, set0));
        QCOMPARE(f->dialogs.popups.size(), std::size_t(0));

        auto main = f->Main();
        Press(main.buttonSend);
        QTest::mouseClick(main.selectParaSet[1], Qt::LeftButton);
        Press(main.buttonGet);
        QVERIFY(SameImage(f->state->params.image, set1));
        QCOMPARE(f->ParameterPage().powerValue->value(), 222);
        Press(main.buttonSend);

        const auto ram = f->simulator.RamImage();
        QVERIFY(SameImage(ram[0], set0));
        QVERIFY(SameImage(ram[1], set1));
        QVERIFY(!f->Log().contains(QStringLiteral("INFO!")));

        // The sensor already held both sets, so the line itself must show what went back.
        std::vector<Bytes> writes;
        for (const auto& request : Log()) {
            if (request.order == 1) writes.emplace_back(request.raw.begin() + 8, request.raw.end());
        }
        const std::vector<Bytes> expected{
            protocol::ParameterBlockBytes(set0), protocol::TableBlockBytes(set0),
            protocol::ParameterBlockBytes(set1), protocol::TableBlockBytes(set1)};
        QCOMPARE(writes.size(), expected.size());
        for (std::size_t i = 0; i < writes.size(); ++i)
            QCOMPARE(HexOf(writes[i]), HexOf(expected[i]));
    }

    void fileSelectedKeepsSendGetAndTheConnectingGetOffTheLine() {
        QVERIFY(Connect());
        auto main = f->Main();
        Select(main.selectMem, kFile);
        Press(main.buttonSend); // the dialog is cancelled
        Press(main.buttonGet);
        QVERIFY(Log().empty());
        QCOMPARE(f->dialogs.CountOf("file"), 2);
        QCOMPARE(f->dialogs.CountOf("message"), 2);
        QVERIFY(f->dialogs.Saw("ATTENTION!", "No file was selected!"));

        // Connecting again reads the identification, then asks for the file instead of the set.
        QTest::mouseClick(f->Comm().buttonTryToConnect, Qt::LeftButton);
        QCOMPARE(Orders(), (std::vector<int>{7}));
        QCOMPARE(f->dialogs.CountOf("file"), 3);
        QCOMPARE(f->state->flags.linkGood, std::uint16_t(1));
    }

    void connectingEndsWithAGetSoThePanelShowsTheSensorsSet() {
        const protocol::ParameterImage set = DistinctImage(77);
        f->simulator.SetRamImage(0, set);
        f->StartWithoutSensor();
        QVERIFY(f->ConnectThroughPage());
        QCOMPARE(Orders(), (std::vector<int>{7, 2, 2}));
        auto page = f->ParameterPage();
        auto groups = f->GroupHold();
        QCOMPARE(page.slidePower->value(), 737);
        QCOMPARE(page.Word(protocol::kCalculationMode), std::uint16_t(protocol::kCalcSiM3D));
        QCOMPARE(CellWord(groups.editGridHold, 0, 0), std::uint16_t(1234));
        QCOMPARE(CellWord(groups.editGridHold, 31, 0), set.table[30].w[6]);
        QCOMPARE(CellWord(groups.editGridGroups, 9, 0), set.table[9].w[5]);
        QCOMPARE(CellWord(f->TeachTable().gridCtt, 30, 4), set.table[30].w[4]);
        QVERIFY(f->Comm().buttonAccept->isEnabled());
    }

    // The words of the last block written with order 1 to this block index.
    std::vector<std::uint16_t> SentBlock(int argument) {
        std::vector<std::uint16_t> words;
        for (const auto& request : f->simulator.RequestLog()) {
            if (request.order != 1 || request.argument != argument) continue;
            words.clear();
            for (int i = 0; i + 1 < request.payloadLength; i += 2)
                words.push_back(
                    std::uint16_t(request.Payload()[i] | request.Payload()[i + 1] << 8));
        }
        return words;
    }

    void wordsBeyondTheControlsGoBackExactlyAsTheGetReceivedThem() {
        // A sensor (or another tool) holding values the pages would not offer.
        protocol::ParameterImage held = DistinctImage(4);
        held.parameters[protocol::kAverage] = 1000;
        held.parameters[protocol::kDynWinHi] = 5000;
        held.parameters[protocol::kGain] = 9;
        held.parameters[protocol::kPower] = 1500;
        held.parameters[protocol::kIntegral] = 300;
        held.parameters[protocol::kIntlim] = 65535;
        f->simulator.SetRamImage(0, held);
        QVERIFY(Connect());
        Press(f->Main().buttonGet);
        QVERIFY(SameImage(f->state->params.image, held));
        auto page = f->ParameterPage();
        QCOMPARE(page.editGain->currentText(), QStringLiteral("9 (from sensor)"));
        QCOMPARE(page.powerValue->value(), 1500);
        QCOMPARE(page.slidePower->value(), 1000); // the slider stops at its end
        QVERIFY(f->Log().contains(
            QStringLiteral("ATTENTION! POWER = 1500 IS OUT OF RANGE AND IS KEPT AS RECEIVED.\n")));
        QVERIFY(!f->Log().contains(QStringLiteral("AVERAGE = "))); // any 16-bit count is fine

        f->simulator.ClearRequestLog();
        Press(f->Main().buttonSend);
        const auto sent = SentBlock(0);
        QCOMPARE(sent.size(), std::size_t(protocol::kParameterCount));
        for (int word = 0; word < protocol::kParameterCount; ++word)
            QVERIFY2(sent[std::size_t(word)] == held.parameters[std::size_t(word)],
                     qPrintable(QStringLiteral("word %1").arg(word)));
        const auto table = SentBlock(2);
        QCOMPARE(table.size(), std::size_t(protocol::kTeachRows * protocol::kTeachVectorWords));
        for (int r = 0; r < protocol::kTeachRows; ++r) {
            for (int w = 0; w < protocol::kTeachVectorWords; ++w)
                QCOMPARE(table[std::size_t(r * protocol::kTeachVectorWords + w)],
                         held.table[std::size_t(r)].w[std::size_t(w)]);
        }
    }

    void wordsAllAtTheirMaximumGoBackAsTheRulesLeaveThem() {
        protocol::ParameterImage wild;
        wild.parameters.fill(65535);
        for (auto& row : wild.table)
            row.w.fill(65535);
        f->simulator.SetRamImage(0, wild);
        QVERIFY(Connect());
        Press(f->Main().buttonGet);
        QVERIFY(SameImage(f->state->params.image, wild));
        auto page = f->ParameterPage();
        QCOMPARE(page.editMaxVecNo->value(), 3); // THD RGB, which 65535 counts as
        QCOMPARE(page.Word(protocol::kEvaluationMode), std::uint16_t(65535));
        QCOMPARE(CellWord(f->TeachTable().gridCtt, 0, 0), std::uint16_t(65535));

        // What goes back is the received set with only the rules' changes.
        ParameterControls controls;
        controls.values = wild.parameters;
        controls.triggerListLength = 7;
        for (auto& cell : controls.groupCells)
            cell = 65535;
        const RuleDecision rules = ApplyParameterRules(controls);
        f->simulator.ClearRequestLog();
        Press(f->Main().buttonSend);
        const auto sent = SentBlock(0);
        QCOMPARE(sent.size(), std::size_t(protocol::kParameterCount));
        for (int word = 0; word < protocol::kParameterCount; ++word)
            QVERIFY2(
                sent[std::size_t(word)] == rules.controls.values[std::size_t(word)],
                qPrintable(QStringLiteral("word %1: %2").arg(word).arg(sent[std::size_t(word)])));
        QVERIFY(f->Log().contains(QStringLiteral("PARAMETER IN RAM DID NOT PASS")));
    }

    void errorReplyToAReadLeavesImageAndControlsAsTheyWere() {
        QVERIFY(Connect());
        const protocol::ParameterImage before = f->state->params.image;
        f->simulator.SetRamImage(0, DistinctImage(8));
        sim::FaultSettings faults;
        faults.errorReply = sim::Fault{true, 2, 2};
        f->simulator.SetFaults(faults);
        Press(f->Main().buttonGet);
        QVERIFY(SameImage(f->state->params.image, before));
        QCOMPARE(f->ParameterPage().slidePower->value(), int(before.parameters[protocol::kPower]));
        QCOMPARE(f->RequestsOfOrder(2), 1);
        QVERIFY(f->Log().contains(QStringLiteral("COMMUNICATION ERROR ON CONTROL UNIT!")));
    }

    // A block of another length answers another request: GET takes none of it.
    void aBlockOfAnotherLengthIsRefusedAndLeavesTheImage_data() {
        QTest::addColumn<int>("parameterWords");
        QTest::addColumn<int>("tableWords");
        QTest::newRow("parameter block short") << 10 << 248;
        QTest::newRow("parameter block long") << 18 << 248;
        QTest::newRow("table block short") << 17 << 20;
    }
    void aBlockOfAnotherLengthIsRefusedAndLeavesTheImage() {
        QFETCH(int, parameterWords);
        QFETCH(int, tableWords);
        ScriptedSensor sensor;
        sensor.answer = [&](int order, int argument) {
            if (order != 2) return protocol::frame::EncodeFrameBytes(std::uint8_t(order), 0, {});
            const int words = argument == 0 ? parameterWords : tableWords;
            return protocol::frame::EncodeFrameWords(2, 0, std::vector<std::uint16_t>(words, 7));
        };
        const quint16 port = sensor.Listen();
        QVERIFY(!ConnectTo(port));
        QVERIFY(SameImage(f->state->params.image, DefaultParameterImage()));
        QVERIFY(f->Log().contains(QStringLiteral("DATA BYTES ARE NOT THE")));
    }

    // The start-up GET's block reply comes only after the next GET has begun, and the sensor's
    // parameters have changed meanwhile: the late block is dropped, the GET shows what the
    // sensor holds now.
    void aLateBlockOfAnEarlierGetIsNeverTakenForTheNext() {
        f->simulator.SetRamImage(0, DistinctImage(3));
        f->StartWithoutSensor();
        support::ShortReplyLimit(f->program->Link());
        sim::FaultSettings faults;
        faults.hold = sim::Fault{true, 0, protocol::kOrderReadBlock};
        f->simulator.SetFaults(faults);
        QVERIFY(!f->ConnectThroughPage());
        support::LongReplyLimit(f->program->Link());
        protocol::ParameterImage now = DistinctImage(8);
        now.parameters[protocol::kPower] = 600;
        f->simulator.SetRamImage(0, now);
        const std::size_t asked = Log().size();
        const auto releaseAll = [this] {
            f->simulator.ClearFaults();
            while (f->simulator.ReleaseHeldReply() > 0) {
            }
        };
        QObject owner;
        support::WhenReady(
            &owner, [&] { return Log().size() > asked; }, releaseAll, releaseAll);
        Press(f->Main().buttonGet);
        QVERIFY(SameImage(f->state->params.image, now));
        QCOMPARE(f->state->flags.linkGood, 1);
        QVERIFY(!f->Log().contains(QStringLiteral("BYTES RECEIVED")));
    }

    void failedTableReadLeavesTheWholeImageAsItWas() {
        ScriptedSensor sensor;
        sensor.answer = [](int order, int argument) {
            if (order == 2 && argument == 0)
                return protocol::frame::EncodeFrameWords(2, 0, std::vector<std::uint16_t>(17, 3));
            Bytes reply =
                protocol::frame::EncodeFrameWords(2, 0, std::vector<std::uint16_t>(248, 3));
            reply[8] ^= 0xFF; // the data no longer matches its check byte
            return reply;
        };
        const quint16 port = sensor.Listen();
        QVERIFY(!ConnectTo(port));
        QVERIFY(SameImage(f->state->params.image, DefaultParameterImage()));
        QCOMPARE(f->ParameterPage().slidePower->value(), 500);
        QCOMPARE(sensor.requests.size(), std::size_t(3));
    }
};

QTEST_MAIN(TestParameterTransfer)
#include "TestParameterTransfer.moc"
