// Start-up, connection, GO and STOP on the real windows of the program.
#include "ProgramFixture.h"
#include "app/QtOperatorDialogs.h"
#include "commpage/CommPage.h"
#include "link/SerialDevices.h"
#include "live/DataPanel.h"
#include "live/DisplayWidgets.h"
#include "live/LiveModule.h"
#include "live/LiveValues.h"
#include "protocol/ParameterImage.h"
#include "settings/PanelSettings.h"
#include "support/ReplyLimits.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QProcess>
#include <QTabBar>
#include <QTcpServer>
#include <QtTest>

#include <csignal>
#include <sys/inotify.h>
#include <sys/resource.h>
#include <unistd.h>

using namespace live;
using namespace params;

namespace {

bool SameWords(const protocol::ParameterImage& a, const protocol::ParameterImage& b) {
    if (a.parameters != b.parameters) return false;
    for (std::size_t r = 0; r < a.table.size(); ++r) {
        if (a.table[r].w != b.table[r].w) return false;
    }
    return true;
}

} // namespace

class TestProgram : public QObject {
    Q_OBJECT

    std::unique_ptr<ProgramFixture> f;

private slots:
    void init() { f = std::make_unique<ProgramFixture>(); }
    void cleanup() { f.reset(); }

    void startUpWithoutSensorReportsAndShowsCommunicationPage() {
        f->StartWithoutSensor();
        auto main = f->Main();
        QCOMPARE(f->Window().windowTitle(), QStringLiteral("CHROMIX3-Varev V4.2"));
        QVERIFY(f->Window().isVisible());
        // The service page stays out of the tab control until its password is given.
        QCOMPARE(main.tabMain1->count(), 8);
        QCOMPARE(f->CurrentPage(), 0);
        QVERIFY(f->Log().startsWith(QStringLiteral("TRY TO CONNECT!\n")));
        // The cause in the operator's words, not the run-time's.
        QVERIFY(f->Log().contains(QStringLiteral("NO SUCH SERIAL DEVICE")));
        QCOMPARE(f->Data().dispStatus->text(), QStringLiteral("TIMEOUT!"));
        QVERIFY(!f->Comm().buttonAccept->isEnabled());
        QVERIFY(f->Comm().buttonTryToConnect->isEnabled());
        QVERIFY(main.buttonGo->isEnabled());
        QVERIFY(f->Data().panel->isVisible());
        QCOMPARE(f->Data().tabDataP1->currentIndex(), int(live::DataPanel::k3DPage));
    }

    void connectingShowsTheIdentificationAndFreesTheLinkButtons() {
        f->StartWithoutSensor();
        QVERIFY(f->ConnectThroughPage());
        const QString id = QString::fromLatin1(sim::kIdentification);
        QCOMPARE(f->Data().dispStatus->text(), id);
        QVERIFY(f->Log().endsWith(QStringLiteral("TRY TO CONNECT!\n") + id + "\n\n"));
        QVERIFY(f->Comm().buttonAccept->isEnabled());
        QVERIFY(f->Comm().buttonChangeBaudrate->isEnabled());
        QVERIFY(f->Comm().buttonGenHwInfoFile->isEnabled());
        QVERIFY(f->Data().dispServer->isVisibleTo(f->Data().panel));
        QVERIFY(!f->Data().dispComPort->isVisibleTo(f->Data().panel));
    }

    void goShowsMeasurementsUntilStop() {
        f->StartWithoutSensor();
        QVERIFY(f->ConnectThroughPage());
        auto main = f->Main();
        bool goDimmedWhileRunning = false;
        bool sendUsableWhileRunning = false;
        int shownWhileRunning = 0;
        // The displays follow the loop at the refresh clock's pace, not only at its end.
        const std::uint64_t from = f->state->live.measurementCount;
        f->RunGoWhen(
            [&] {
                return f->state->live.measurementCount > from + 5 && f->Data().dispRed->Value() > 0;
            },
            [&] {
                goDimmedWhileRunning = !main.buttonGo->isEnabled();
                sendUsableWhileRunning = main.buttonSend->isEnabled();
                shownWhileRunning = f->Data().dispRed->Value();
                QTest::mouseClick(main.buttonStop, Qt::LeftButton);
            });
        QVERIFY(!f->program->Gate().LoopRunning());
        QVERIFY(goDimmedWhileRunning);
        QVERIFY(sendUsableWhileRunning);
        QVERIFY(shownWhileRunning > 0);
        QVERIFY(main.buttonGo->isEnabled());
        const int turns = f->RequestsOfOrder(8);
        QVERIFY2(turns > 5, qPrintable(QString::number(turns)));

        const auto& frame = f->state->live.frame;
        auto data = f->Data();
        QVERIFY(frame.w[0] > 0);
        QCOMPARE(data.dispRed->Value(), int(frame.w[0]));
        QCOMPARE(data.dispGreen->Value(), int(frame.w[1]));
        QCOMPARE(data.dispBlue->Value(), int(frame.w[2]));
        QCOMPARE(data.dispX->Value(), int(frame.w[3]));
        QCOMPARE(data.dispInt->Value(), int(frame.w[5]));
        QCOMPARE(data.dispDeltaC->Value(), int(std::int16_t(frame.w[6])));
        QCOMPARE(data.dispCol->Value(), int(frame.w[7]));
        QCOMPARE(data.pageRgb[2][1]->Value(), int(frame.w[1]));
        QCOMPARE(data.dispMinMax[5]->Value(), int(frame.w[19]));
        QCOMPARE(data.ledTrig->IsOn(), frame.w[9] == 1);
        QCOMPARE(data.swatch->Colour(), LiveColour(frame));
        // Every turn shows its raw spread on the calibration page too.
        QCOMPARE(Need<live::NumericDisplay>(f->Window(), "DispRawDelta")->Value(),
                 int(RawDelta(frame)));

        // Nothing more is asked once the loop has ended.
        QTest::qWait(200);
        QCOMPARE(f->RequestsOfOrder(8), turns);
        QVERIFY(!f->Log().contains(QStringLiteral("TIMEOUT")));
    }

    void outputIndicatorsFollowTheEvaluationModeShownWhenGoStarts() {
        f->StartWithoutSensor();
        QVERIFY(f->ConnectThroughPage());
        auto* evaluation = f->Window().findChild<QComboBox*>(QStringLiteral("EditEvalmode"));
        QVERIFY(evaluation);
        // BEST HIT: the indicators are left alone even though nothing is hit (255).
        f->RunGo(3, [&] { f->Stop(); });
        QCOMPARE(int(f->state->live.frame.w[7]), 255);
        QVERIFY(!f->Data().ledOut[0]->IsOn());
        // COL5 chosen on the page, not yet sent: GO takes it from the controls.
        evaluation->setCurrentIndex(evaluation->findData(3));
        f->RunGo(3, [&] { f->Stop(); });
        QCOMPARE(int(f->state->params.image.parameters[protocol::kEvaluationMode]), 3);
        for (auto* led : f->Data().ledOut)
            QVERIFY(led->IsOn()); // 255 lights all five
    }

    void stopDuringASlowReplyStillShowsThatFrame() {
        f->StartWithoutSensor();
        QVERIFY(f->ConnectThroughPage());
        // The reply is held until STOP has been clicked, and only its coming ends the wait.
        sim::FaultSettings faults;
        faults.hold = sim::Fault{true, 0, 8};
        f->simulator.SetFaults(faults);
        support::LongReplyLimit(f->program->Link());
        f->state->live.frame.w.fill(0);
        f->RunGoWhen([&] { return f->RequestsOfOrder(8) == 1; },
                     [&] {
                         f->Stop();
                         f->simulator.ReleaseHeldReply();
                     });
        QCOMPARE(f->RequestsOfOrder(8), 1);
        QVERIFY(f->state->live.frame.w[0] > 0);
        QCOMPARE(f->Data().dispRed->Value(), int(f->state->live.frame.w[0]));
        QVERIFY(!f->Log().contains(QStringLiteral("TIMEOUT")));
    }

    void serverClosingDuringGoEndsTheLoop() {
        f->StartWithoutSensor();
        QVERIFY(f->ConnectThroughPage());
        sim::FaultSettings faults;
        faults.closeAfterReplies = sim::Fault{true, 5, sim::kAllOrders};
        f->simulator.SetFaults(faults);
        QTest::mouseClick(f->Main().buttonGo, Qt::LeftButton);
        QVERIFY(!f->program->Gate().LoopRunning());
        QVERIFY(f->Log().contains(QStringLiteral("SERVER HAS CLOSED CONNECTION!\n\n")));
        QCOMPARE(f->CurrentPage(), 0);
        QVERIFY(!f->program->Link().TcpConnected());
    }

    void silentSensorDuringGoEndsTheLoopWithTheTimeoutReport() {
        f->StartWithoutSensor();
        QVERIFY(f->ConnectThroughPage());
        f->Main().tabMain1->setCurrentIndex(int(core::MainPage::Parameters));
        sim::FaultSettings faults;
        faults.silence = sim::Fault{true, 0, 8};
        f->simulator.SetFaults(faults);
        // GO's first exchange is the silent measurement.
        support::ShortReplyLimit(f->program->Link());
        QTest::mouseClick(f->Main().buttonGo, Qt::LeftButton);
        support::DefaultReplyLimit(f->program->Link());
        QVERIFY(!f->program->Gate().LoopRunning());
        QVERIFY(f->Log().endsWith(QStringLiteral("TRY TO CONNECT AGAIN!\n\n")));
        QCOMPARE(f->Data().dispStatus->text(), QStringLiteral("TIMEOUT!"));
        QCOMPARE(f->CurrentPage(), 0);
        QVERIFY(!f->Comm().buttonAccept->isEnabled());
        QVERIFY(f->Main().buttonGo->isEnabled());
    }

    void switchingToTheCommunicationPageEndsGoAndDimsAccept() {
        f->StartWithoutSensor();
        QVERIFY(f->ConnectThroughPage());
        auto main = f->Main();
        main.tabMain1->setCurrentIndex(int(core::MainPage::Parameters));
        QVERIFY(f->Comm().buttonAccept->isEnabled());
        f->RunGo(3, [&] { main.tabMain1->setCurrentIndex(int(core::MainPage::Communication)); });
        QVERIFY(!f->program->Gate().LoopRunning());
        QVERIFY(!f->Comm().buttonAccept->isEnabled());
        QVERIFY(!f->Comm().buttonChangeBaudrate->isEnabled());
    }

    void scopePageEndsGoAndShowsTheScopePanel() {
        f->StartWithoutSensor();
        QVERIFY(f->ConnectThroughPage());
        auto main = f->Main();
        f->RunGo(3, [&] { main.tabMain1->setCurrentIndex(int(core::MainPage::ScopeSettings)); });
        QVERIFY(!f->program->Gate().LoopRunning());
        QVERIFY(Need(f->Window(), "SCOPEP")->isVisible());
        QVERIFY(!f->Data().panel->isVisible());
        // Leaving the page keeps the scope panel; its close button brings the data panel back.
        f->Main().tabMain1->setCurrentIndex(int(MainPage::Parameters));
        QVERIFY(Need(f->Window(), "SCOPEP")->isVisible());
        QTest::mouseClick(Need<QPushButton>(f->Window(), "ButtonCloseSP"), Qt::LeftButton);
        QVERIFY(f->Data().panel->isVisible());
        QVERIFY(!Need(f->Window(), "SCOPEP")->isVisible());
    }

    void closingTheWindowDuringGoEndsTheLoop() {
        f->StartWithoutSensor();
        QVERIFY(f->ConnectThroughPage());
        f->RunGo(3, [&] { f->Window().close(); });
        QVERIFY(!f->program->Gate().LoopRunning());
        QVERIFY(!f->Window().isVisible());
    }

    void sendAndGetDuringGoOnlySetTheirFlagsUntilTheLoopServesThem() {
        f->StartWithoutSensor();
        QVERIFY(f->ConnectThroughPage());
        auto main = f->Main();
        bool sendPending = false;
        bool getPending = false;
        bool servedBeforeStop = false;
        f->RunGo(3, [&] {
            QTest::mouseClick(main.buttonSend, Qt::LeftButton);
            QTest::mouseClick(main.buttonGet, Qt::LeftButton);
            sendPending = f->state->flags.pendingSend == 1;
            getPending = f->state->flags.pendingGet == 1;
            // Served by the loop: both flags cleared and a measurement taken after them.
            const std::uint64_t from = f->state->live.measurementCount;
            support::WhenReady(
                &f->Window(),
                [&, from] {
                    return f->state->flags.pendingSend == 0 && f->state->flags.pendingGet == 0 &&
                           f->state->live.measurementCount > from;
                },
                [&] {
                    servedBeforeStop = true;
                    f->Stop();
                },
                [&] { f->Stop(); });
        });
        QVERIFY(sendPending);
        QVERIFY(getPending);
        QVERIFY(servedBeforeStop);
    }

    // Commands cannot nest. A sensor that answers late keeps each exchange waiting long enough
    // for clicks to arrive inside it.
    void getAfterStopWaitsForTheMeasurementInFlight() {
        f->StartWithoutSensor();
        QVERIFY(f->ConnectThroughPage());
        const protocol::ParameterImage sensorSet = f->simulator.RamImage()[0];
        // The first measurement's reply is held until STOP and GET have been clicked, and only
        // its coming ends the wait.
        sim::FaultSettings faults;
        faults.hold = sim::Fault{true, 0, 8};
        f->simulator.SetFaults(faults);
        support::LongReplyLimit(f->program->Link());
        f->simulator.ClearRequestLog();
        f->program->ClearLog();
        // While the first measurement is on its way.
        f->RunGoWhen([&] { return f->RequestsOfOrder(8) == 1; },
                     [&] {
                         f->Stop();
                         QTest::mouseClick(f->Main().buttonGet, Qt::LeftButton);
                         f->simulator.ReleaseHeldReply();
                     });
        QVERIFY(!f->program->Gate().LoopRunning());
        QCOMPARE(f->state->flags.pendingGet, std::uint16_t(0));
        std::vector<int> orders;
        for (const auto& request : f->simulator.RequestLog())
            orders.push_back(request.order);
        QCOMPARE(orders, (std::vector<int>{8, 2, 2}));
        QVERIFY(SameWords(f->state->params.image, sensorSet));
        QVERIFY2(!f->Log().contains(QStringLiteral("ATTENTION")), qPrintable(f->Log()));
        QVERIFY(f->state->live.frame.w[0] > 0); // the measurement went where it belongs
        QVERIFY(f->Main().buttonGo->isEnabled());
    }

    void getQueuedBehindGoIsServedByTheLoopAndNoSecondLoopStarts() {
        f->StartWithoutSensor();
        QVERIFY(f->ConnectThroughPage());
        sim::FaultSettings faults;
        faults.delayMs = sim::Fault{true, 50, sim::kAllOrders};
        f->simulator.SetFaults(faults);
        f->simulator.ClearRequestLog();
        // The GET click waits in the event queue while GO starts, as a quick second click does.
        QTimer::singleShot(0, [&] { QTest::mouseClick(f->Main().buttonGet, Qt::LeftButton); });
        bool goDimmed = false;
        int loopsRunning = 0;
        f->RunGo(2, [&] {
            goDimmed = !f->Main().buttonGo->isEnabled();
            // A second GO, however it arrives, is refused while the loop runs.
            f->program->Live().CBF_ButtonGo();
            loopsRunning = f->Data().dispStatus->text().startsWith(QStringLiteral("GO REFUSED"));
            f->Stop();
        });
        QVERIFY(goDimmed);
        QCOMPARE(loopsRunning, 1);
        QCOMPARE(f->Data().dispStatus->text(), QStringLiteral("GO REFUSED: GO IS STILL RUNNING!"));
        const auto log = f->simulator.RequestLog();
        QVERIFY(log.size() > 3);
        // The GET ran as the loop's first turn, before any measurement.
        QCOMPARE(int(log[0].order), 2);
        QCOMPARE(int(log[1].order), 2);
        QCOMPARE(int(log[2].order), 8);
        QCOMPARE(f->RequestsOfOrder(2), 2);
        QVERIFY(f->Main().buttonGo->isEnabled());
    }

    void rightClickOnGoShowsHelpAndDoesNotStart() {
        f->StartWithoutSensor();
        QVERIFY(f->ConnectThroughPage());
        f->simulator.ClearRequestLog();
        QTest::mouseClick(f->Main().buttonGo, Qt::RightButton);
        QVERIFY(f->dialogs.Saw("INFO!",
                               "Starts data transfer from sensor to PC. \n\nShortcut Key: F11. "));
        QCOMPARE(f->RequestsOfOrder(8), 0);
        QVERIFY(!f->program->Gate().LoopRunning());
    }

    void helpIsOfferedForTheControlsThatExistOnly() {
        // Each subsystem adds its entries when composed, some once the window is shown.
        f->StartWithoutSensor();
        QVERIFY(f->program->Help().Find("CBF_ButtonGo"));
        QVERIFY(f->program->Help().Find("CBF_ButtonTryToConnect"));
        QVERIFY(f->program->Help().Find("CBF_EditSetColor"));
        QVERIFY(f->program->Help().Find("CBF_ButtonScan"));
        QVERIFY(f->program->Help().Find("CBF_ButtonStartRecord"));
        QVERIFY(f->program->Help().Find("CBF_ButtonSendCF"));
        QVERIFY(f->program->Help().Find("CBF_EditRedOffset"));
    }

    void toolsAddedToAPageAfterTheWindowIsShownAreLaidOutAndAnswer() {
        // The teach subsystem is composed once the window is on the screen; its tools go onto
        // the teach-table page, which the window has measured by then.
        f->StartWithoutSensor();
        QTabBar* tabs = f->Main().tabMain1->tabBar();
        QTest::mouseClick(tabs, Qt::LeftButton, {},
                          tabs->tabRect(int(MainPage::TeachTable)).center());
        auto* recTeach = Need<QPushButton>(f->Window(), "ButtonTeachRecVal");
        QVERIFY(recTeach->isVisible());
        QVERIFY2(recTeach->height() >= recTeach->minimumSizeHint().height(),
                 qPrintable(QStringLiteral("height %1").arg(recTeach->height())));
        QTest::mouseClick(recTeach, Qt::LeftButton);
        QVERIFY(Need(f->Window(), "TEACHP2")->isVisible());
    }

    void rightClickOnADimmedButtonStillShowsItsHelp() {
        f->StartWithoutSensor();
        auto* accept = f->Comm().buttonAccept;
        QVERIFY(!accept->isEnabled());
        QTest::mouseClick(accept, Qt::RightButton);
        QCOMPARE(f->dialogs.CountOf("message"), 1);
        QCOMPARE(f->dialogs.popups.back().title, std::string("INFO!"));
    }

    void commandsCarryTheirShortcutKeys() {
        auto main = f->Main();
        QCOMPARE(main.buttonSend->shortcut(), QKeySequence(Qt::Key_F9));
        QCOMPARE(main.buttonGet->shortcut(), QKeySequence(Qt::Key_F10));
        QCOMPARE(main.buttonGo->shortcut(), QKeySequence(Qt::Key_F11));
        QCOMPARE(main.buttonStop->shortcut(), QKeySequence(Qt::Key_F12));
    }

    void rightDoubleClickRestoresTheWindowSize() {
        f->StartWithoutSensor();
        f->Window().resize(1000, 700);
        QTest::mouseDClick(&f->Window(), Qt::RightButton, {}, QPoint(3, 3));
        QCOMPARE(f->Window().size(), QSize(790, 548));
    }

    void showChildPanelShowsOnlyTheOneNamed() {
        f->StartWithoutSensor();
        f->program->ShowChildPanel(ChildPanel::Teach1);
        QVERIFY(Need(f->Window(), "TEACHP1")->isVisible());
        QVERIFY(!f->Data().panel->isVisible());
        f->program->ShowChildPanel(ChildPanel::None);
        for (const char* panel : {"DATAP", "GRAPHP", "TEACHP1", "TEACHP2", "SCOPEP"})
            QVERIFY2(!Need(f->Window(), panel)->isVisible(), panel);
    }

    void protocolSelectorSwitchesTheLinkFields() {
        f->StartWithoutSensor();
        auto page = f->Comm();
        f->Choose(page.editCommunicationProtocol, 1);
        QVERIFY(!page.editSelectComPort->isVisibleTo(page.page));
        QVERIFY(!page.editSelectBaudrate->isVisibleTo(page.page));
        QVERIFY(!page.buttonChangeBaudrate->isVisibleTo(page.page));
        QVERIFY(page.stringIpAdress->isVisibleTo(page.page));
        f->Choose(page.editCommunicationProtocol, 0);
        QVERIFY(page.buttonChangeBaudrate->isVisibleTo(page.page));
        QVERIFY(!page.stringPortNumber->isVisibleTo(page.page));
    }

    void choosingAnotherBaudRateDimsOnlyAccept() {
        f->StartWithoutSensor();
        QVERIFY(f->ConnectThroughPage());
        auto page = f->Comm();
        f->Choose(page.editSelectBaudrate, 1);
        QVERIFY(!page.buttonAccept->isEnabled());
        QVERIFY(page.buttonChangeBaudrate->isEnabled());
    }

    void serverFieldKeepsTheMostRecentlyUsedFirst() {
        f->StartWithoutSensor();
        auto page = f->Comm();
        for (const char* server : {"a", "b", "c", "d"}) {
            page.stringIpAdress->setEditText(QString::fromLatin1(server));
            emit page.stringIpAdress->lineEdit()->returnPressed();
        }
        page.stringIpAdress->setEditText(QStringLiteral("b"));
        emit page.stringIpAdress->lineEdit()->returnPressed();
        QCOMPARE(page.stringIpAdress->count(), 4);
        QCOMPARE(page.stringIpAdress->itemText(0), QStringLiteral("b"));
        QCOMPARE(page.stringIpAdress->itemText(1), QStringLiteral("d"));
        QCOMPARE(page.stringIpAdress->currentText(), QStringLiteral("b"));
    }

    void aTypedDevicePathIsOpenedAsItIsAndSurvivesARefreshedList() {
        f->StartWithoutSensor();
        const QString path = f->ptyDir.filePath(QStringLiteral("typed-tty"));
        QVERIFY(f->simulator.StartPty(path));
        // No port number names a device here: only the typed path can reach the sensor.
        f->program->Link().SetSerialDeviceResolver([](int) { return std::string(); });
        auto page = f->Comm();
        f->Choose(page.editCommunicationProtocol, 0);
        page.editSelectComPort->setEditText(path);
        // Opening the list reads the machine's ports again; what was typed stays.
        page.editSelectComPort->showPopup();
        page.editSelectComPort->hidePopup();
        QCOMPARE(page.editSelectComPort->currentText(), path);
        QTest::mouseClick(page.buttonTryToConnect, Qt::LeftButton);
        QCOMPARE(f->state->flags.linkGood, std::uint16_t(1));
        QCOMPARE(f->state->link.serialDevicePath, path.toStdString());
        // The settings keep the pseudo-terminal's number, which names the same device.
        const QString device = QFileInfo(path).canonicalFilePath();
        QCOMPARE(int(f->state->link.serialPortNumber),
                 comm::SerialPortNumberOfDevice(device.toStdString()));
        // Choosing a listed port again goes back to opening by number.
        f->Choose(page.editSelectComPort, page.editSelectComPort->findData(1));
        QCOMPARE(page.editSelectComPort->currentData().toInt(), 1);
        QCOMPARE(f->program->Window().findChild<comm::CommPage*>()->Settings().serialDevice,
                 std::string());
    }

    void baudRateChangeLogsItsStepsInOrder() {
        f->StartWithoutSensor();
        QVERIFY(f->ConnectPtyThroughPage());
        auto page = f->Comm();
        f->program->ClearLog();
        f->Choose(page.editSelectBaudrate, 2);
        QTest::mouseClick(page.buttonChangeBaudrate, Qt::LeftButton);
        const QString id = QString::fromLatin1(sim::kIdentification);
        const QString lowLatency = QStringLiteral("LOW LATENCY NOT AVAILABLE ON ") +
                                   f->ptyDir.filePath(QStringLiteral("sensor-tty")) + "\n";
        QCOMPARE(f->Log(), QStringLiteral("TRY TO CHANGE BAUDRATE!\nSUCCESS!\nTRY TO CONNECT!\n") +
                               lowLatency + id +
                               QStringLiteral("\n\nATTENTION!!!   CONFIRM NEW BAUDRATE WITH "
                                              "EEPROM AND SEND!\n\n"));
        QCOMPARE(f->state->link.baudRateCode, std::uint16_t(2));
        const auto log = f->simulator.RequestLog();
        QVERIFY(!log.empty());
        QCOMPARE(int(log.front().order), 7);
        bool sawBaudOrder = false;
        for (const auto& request : log)
            sawBaudOrder |= request.order == 190 && request.argument == 2;
        QVERIFY(sawBaudOrder);
        QVERIFY(page.buttonAccept->isEnabled());
    }

    void failedBaudRateOrderLeavesOutTheReminder() {
        f->StartWithoutSensor();
        QVERIFY(f->ConnectPtyThroughPage());
        sim::FaultSettings faults;
        faults.badHeadCheck = sim::Fault{true, 0, 190};
        f->simulator.SetFaults(faults);
        f->program->ClearLog();
        QTest::mouseClick(f->Comm().buttonChangeBaudrate, Qt::LeftButton);
        QVERIFY(f->Log().startsWith(QStringLiteral("TRY TO CHANGE BAUDRATE!\nATTENTION! \n")));
        QVERIFY(!f->Log().contains(QStringLiteral("SUCCESS!")));
        QVERIFY(!f->Log().contains(QStringLiteral("CONFIRM NEW BAUDRATE")));
    }

    // An error reply of a status the program has no text for still reaches the log, and the
    // command that got it stops there.
    void everyErrorReplyIsReportedAndStopsItsCommand_data() {
        QTest::addColumn<int>("order");
        QTest::newRow("SEND") << 1;
        QTest::newRow("GET") << 2;
        QTest::newRow("identification") << 7;
        QTest::newRow("baud rate") << 190;
    }
    void everyErrorReplyIsReportedAndStopsItsCommand() {
        QFETCH(int, order);
        f->StartWithoutSensor();
        QVERIFY(f->ConnectPtyThroughPage());
        const protocol::ParameterImage before = f->state->params.image;
        f->simulator.SetFaults([order] {
            sim::FaultSettings faults;
            faults.errorReply = sim::Fault{true, 3, order};
            return faults;
        }());
        f->simulator.ClearRequestLog();
        f->program->ClearLog();
        auto comm = f->Comm();
        if (order == 1) QTest::mouseClick(f->Main().buttonSend, Qt::LeftButton);
        if (order == 2) QTest::mouseClick(f->Main().buttonGet, Qt::LeftButton);
        if (order == 7) QTest::mouseClick(comm.buttonTryToConnect, Qt::LeftButton);
        if (order == 190) QTest::mouseClick(comm.buttonChangeBaudrate, Qt::LeftButton);

        QVERIFY2(f->Log().contains(QStringLiteral("ERROR REPLY WITH UNKNOWN STATUS 3!\n")),
                 qPrintable(f->Log()));
        QCOMPARE(f->state->flags.linkGood, std::uint16_t(0));
        QVERIFY(!comm.buttonAccept->isEnabled());
        QCOMPARE(f->CurrentPage(), int(MainPage::Communication));
        // Nothing follows the refused order: no second block, no GET after a failed
        // identification, no reconnect after a refused baud rate.
        QCOMPARE(f->RequestsOfOrder(order), 1);
        QCOMPARE(f->RequestsOfOrder(2), order == 2 ? 1 : 0);
        QCOMPARE(f->RequestsOfOrder(7), order == 7 ? 1 : 0);
        QVERIFY(!f->Log().contains(QStringLiteral("SUCCESS!")));
        QVERIFY(SameWords(f->state->params.image, before));
    }

    void portTextWithoutDigitsGivesAClearConnectionError() {
        f->StartWithoutSensor();
        auto page = f->Comm();
        f->Choose(page.editCommunicationProtocol, 1);
        page.stringIpAdress->setEditText(QStringLiteral("127.0.0.1"));
        page.stringPortNumber->setText(QStringLiteral("port"));
        QTest::mouseClick(page.buttonTryToConnect, Qt::LeftButton);
        QCOMPARE(f->state->link.tcpPortNumber, 0);
        QVERIFY(f->Log().endsWith(
            QStringLiteral("\nNO SERVER OR PORT TO CONNECT TO: 127.0.0.1:0\n\n")));
    }

    // A change on the panel is marked until SEND; whatever would replace it asks first, and no
    // (the default) keeps the change and does nothing.
    void unsentChangesAreMarkedAndAskedBeforeTheyAreLost_data() {
        QTest::addColumn<QString>("action");
        QTest::newRow("TRY TO CONNECT") << "connect";
        QTest::newRow("GET") << "get";
        QTest::newRow("close") << "close";
    }
    void unsentChangesAreMarkedAndAskedBeforeTheyAreLost() {
        QFETCH(QString, action);
        f->StartWithoutSensor();
        QVERIFY(f->ConnectThroughPage());
        auto unsentShown = [this] {
            f->program->UpdateStatusBar();
            return Need(f->Window(), "StatusUnsent")->isVisibleTo(&f->Window()) &&
                   f->Main().buttonSend->property("unsent").toBool();
        };
        QVERIFY(!unsentShown());
        QSpinBox* average = f->ParameterPage().editAverage;
        const int sensors = average->value();
        average->setValue(sensors + 3);
        QVERIFY(unsentShown());
        const int requests = int(f->simulator.RequestLog().size());
        auto act = [&] {
            if (action == "connect")
                QTest::mouseClick(f->Comm().buttonTryToConnect, Qt::LeftButton);
            if (action == "get") QTest::mouseClick(f->Main().buttonGet, Qt::LeftButton);
            if (action == "close") f->Window().close();
        };
        f->dialogs.popups.clear();
        act();
        QCOMPARE(f->dialogs.CountOf("loss"), 1);
        QCOMPARE(average->value(), sensors + 3);
        QCOMPARE(int(f->simulator.RequestLog().size()), requests);
        QVERIFY(f->Window().isVisible());
        QVERIFY(unsentShown());

        f->dialogs.lossAnswers = {true};
        act();
        if (action == "close") {
            QVERIFY(!f->Window().isVisible());
            return;
        }
        QCOMPARE(average->value(), sensors);
        QVERIFY(!unsentShown());
        // A SEND makes panel and sensor equal again.
        average->setValue(sensors + 1);
        QVERIFY(unsentShown());
        QTest::mouseClick(f->Main().buttonSend, Qt::LeftButton);
        QVERIFY(!unsentShown());
    }

    void doubleClickOnColourNumberOpensTheBigPanel() {
        f->StartWithoutSensor();
        // A window that fills its screen leaves no room beside it: the panel still opens on
        // that screen.
        const QRect screen = f->Window().screen()->availableGeometry();
        f->Window().setGeometry(screen);
        QTest::mouseDClick(f->Data().dispCol, Qt::LeftButton);
        QVERIFY(f->BigColourNumber().isVisible());
        QVERIFY(screen.contains(f->BigColourNumber().frameGeometry()));
        QTest::mouseClick(&f->BigColourNumber(), Qt::RightButton);
        QVERIFY(!f->BigColourNumber().isVisible());
    }

    void rightDoubleClickOnTheStatusLineEmptiesTheLog() {
        f->StartWithoutSensor();
        QVERIFY(!f->Log().isEmpty());
        QTest::mouseDClick(f->Data().dispStatus, Qt::RightButton);
        QVERIFY(f->Log().isEmpty());
    }

    // Qt's own dialog learns a listed file's type from its first bytes, on the window's thread: a
    // kernel file such as /proc/kmsg never answers, and the window waited for it. The operator's
    // dialog opens none of the files it lists.
    void theFileDialogOpensNoFileItLists() {
        QTemporaryDir dir;
        for (const char* name : {"sample", "scan"}) {
            QFile file(dir.filePath(QString::fromLatin1(name)));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("\x89PNG\r\n\x1a\n"); // what sniffing would take for a picture
        }
        const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        QVERIFY(watch >= 0);
        const auto closeWatch = qScopeGuard([&] { ::close(watch); });
        QVERIFY(::inotify_add_watch(watch, QFile::encodeName(dir.path()).constData(), IN_OPEN) >=
                0);

        app::QtOperatorDialogs dialogs;
        QString shownType;
        QTimer::singleShot(0, [&] {
            QFileDialog* dialog = nullptr;
            const auto shown = [&] {
                for (QWidget* widget : QApplication::topLevelWidgets())
                    if (auto* found = qobject_cast<QFileDialog*>(widget);
                        found && found->isVisible())
                        dialog = found;
                return dialog != nullptr;
            };
            QTRY_VERIFY_WITH_TIMEOUT(shown(), 30000);
            // Whatever fails below, the dialog does not stay open for nobody.
            const auto cancel = qScopeGuard([&] {
                if (dialog->isVisible()) dialog->reject();
            });
            auto* model = dialog->findChild<QFileSystemModel*>();
            const QModelIndex sample = model->index(dir.filePath(QStringLiteral("sample")));
            // The listing, its icons and types come in the background.
            QTRY_VERIFY_WITH_TIMEOUT(!model->data(sample.siblingAtColumn(2)).toString().isEmpty(),
                                     30000);
            shownType = model->data(sample.siblingAtColumn(2)).toString();
            model->data(sample, Qt::DecorationRole);
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            name->selectAll(); // typed over, as the name offered is
            QTest::keyClicks(name, QStringLiteral("sample"));
            auto* buttons = dialog->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
            // The name's completion list closes as the operator's Escape closes it.
            if (QWidget* popup = QApplication::activePopupWidget())
                QTest::keyClick(popup, Qt::Key_Escape);
            QTest::mouseClick(buttons->button(QDialogButtonBox::Open), Qt::LeftButton);
        });
        const auto chosen = dialogs.SelectFile("GET", dir.path().toStdString(), "x", "*", false);
        QCOMPARE(QString::fromStdString(chosen.path), dir.filePath(QStringLiteral("sample")));
        QVERIFY(!shownType.contains(QStringLiteral("PNG")));
        alignas(inotify_event) char events[4096];
        const ssize_t n = ::read(watch, events, sizeof events);
        for (ssize_t at = 0; at < n;) {
            const auto* event = reinterpret_cast<const inotify_event*>(events + at);
            QVERIFY2(event->mask & IN_ISDIR, event->name); // the folder is listed, no file opened
            at += ssize_t(sizeof(inotify_event) + event->len);
        }
    }

    // A file size limit as a service manager sets it, then the end a session gives: the window
    // dies of neither; the settings save that does not fit fails whole and replaces nothing.
    void aFileSizeLimitFailsTheSaveNotTheWindow() {
        QTemporaryDir dir;
        const QString program = dir.filePath(QStringLiteral("chromix3"));
        QVERIFY(QFile::copy(QStringLiteral(CHROMIX_PROGRAM_PATH), program));
        QVERIFY(
            QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QTcpServer sensor;
        QVERIFY(sensor.listen(QHostAddress::LocalHost));
        auto given = settings::DefaultPanelSettings(dir.path().toStdString(), '/');
        given.comm.protocol = 1;
        given.comm.serverName = "127.0.0.1";
        given.comm.tcpPortText = std::to_string(sensor.serverPort());
        const QString settingsPath = dir.filePath(QStringLiteral("PanelSettings.cfg"));
        QVERIFY(settings::WritePanelSettingsFile(settingsPath.toStdString(), given) >= 0);
        QFile settingsFile(settingsPath);
        QVERIFY(settingsFile.open(QIODevice::ReadOnly));
        const QByteArray before = settingsFile.readAll();
        settingsFile.close();

        QProcess window;
        window.setProcessChannelMode(QProcess::ForwardedChannels);
        window.setChildProcessModifier([] {
            const rlimit limit{64, 64}; // smaller than any settings file
            setrlimit(RLIMIT_FSIZE, &limit);
        });
        window.start(program, {});
        // Up and running once it connects to the sensor its settings name.
        QVERIFY(sensor.waitForNewConnection(60000));
        QCOMPARE(::kill(pid_t(window.processId()), SIGTERM), 0);
        QVERIFY(window.waitForFinished(60000));
        QCOMPARE(window.exitStatus(), QProcess::NormalExit);
        QCOMPARE(window.exitCode(), 0);
        QVERIFY(settingsFile.open(QIODevice::ReadOnly));
        QCOMPARE(settingsFile.readAll(), before);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2); // no leftover
    }
};

QTEST_MAIN(TestProgram)
#include "TestProgram.moc"
