#pragma once
// The whole program on the offscreen platform, with a scripted operator and a simulator on its
// own thread.
#include "app/Program.h"
#include "app/ProgramControls.h"
#include "core/AppState.h"
#include "link/SensorLink.h"
#include "live/BigNumberPanel.h"
#include "params/ParameterPanels.h"
#include "params/ParamsModule.h"
#include "sim/SimThread.h"
#include "support/ScriptedOperator.h"
#include "support/WhenReady.h"

#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace core;

struct ProgramFixture {
    std::unique_ptr<AppState> state = std::make_unique<AppState>();
    ScriptedOperator dialogs;
    sim::SimThread simulator;
    QTemporaryDir ptyDir;
    QTemporaryDir programDir;
    std::unique_ptr<app::Program> program = MakeProgram();

    std::unique_ptr<app::Program> MakeProgram() {
        auto made = std::make_unique<app::Program>(*state, dialogs);
        made->SetProgramDirectory(programDir.path());
        return made;
    }

    QWidget& Window() { return program->Window(); }
    MainControls Main() { return MainControls(Window()); }
    CommControls Comm() { return CommControls(Window()); }
    DataControls Data() { return DataControls(Window()); }
    ParameterPageControls ParameterPage() { return ParameterPageControls(Window()); }
    GroupHoldControls GroupHold() { return GroupHoldControls(Window()); }
    TeachTableControls TeachTable() { return TeachTableControls(Window()); }
    QTableWidget* RowTable() { return Need<QTableWidget>(Window(), "TableRowAttributes"); }
    params::ParameterPanels& Parameters() { return program->Params().Panels(); }
    live::BigNumberPanel& BigColourNumber() {
        return *static_cast<live::BigNumberPanel*>(TopLevel("COLBIGP"));
    }
    live::BigNumberPanel& BigGroup() {
        return *static_cast<live::BigNumberPanel*>(TopLevel("GRPBIGP"));
    }

    // Start-up with a serial port that does not exist, so nothing answers.
    void StartWithoutSensor() {
        program->Link().SetSerialDeviceResolver(
            [](int) { return std::string("/nonexistent/tty"); });
        program->InitApplication();
    }

    // Chooses an item of a list as the operator does: the list announces the commit.
    static void Choose(QComboBox* combo, int index) {
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }

    // Connects over TCP/IP through the communication page, as the operator would.
    bool ConnectThroughPage() {
        const quint16 port = simulator.StartTcp(0);
        auto page = Comm();
        Choose(page.editCommunicationProtocol, 1);
        page.stringIpAdress->setEditText(QStringLiteral("127.0.0.1"));
        page.stringPortNumber->setText(QString::number(port));
        QTest::mouseClick(page.buttonTryToConnect, Qt::LeftButton);
        return state->flags.linkGood == 1;
    }

    // Connects over RS-232 to the simulator's pseudo-terminal, whatever port is selected.
    bool ConnectPtyThroughPage() {
        const QString path = ptyDir.filePath(QStringLiteral("sensor-tty"));
        if (!simulator.StartPty(path)) return false;
        program->Link().SetSerialDeviceResolver([path](int) { return path.toStdString(); });
        auto page = Comm();
        Choose(page.editCommunicationProtocol, 0);
        QTest::mouseClick(page.buttonTryToConnect, Qt::LeftButton);
        return state->flags.linkGood == 1;
    }

    QString Log() { return Comm().commLog->toPlainText(); }
    int CurrentPage() { return Main().tabMain1->currentIndex(); }
    void Stop() { QTest::mouseClick(Main().buttonStop, Qt::LeftButton); }

    int RequestsOfOrder(int order) const {
        int count = 0;
        for (const auto& request : simulator.RequestLog())
            count += request.order == order ? 1 : 0;
        return count;
    }

    // Presses GO; `whileRunning` runs once the loop has shown `measurements` more, however late
    // a busy machine brings them.
    template <typename F> void RunGo(int measurements, F whileRunning) {
        const std::uint64_t from = state->live.measurementCount;
        RunGoWhen(
            [this, from, measurements] {
                return state->live.measurementCount >= from + std::uint64_t(measurements);
            },
            whileRunning);
    }
    // Presses GO; `whileRunning` runs once `ready` holds while the loop runs. Should it not
    // within support::kEventLimitMs, STOP is clicked instead, so the test fails, not hangs.
    // The watch ends with the click: a loop that ended by itself leaves nothing behind.
    template <typename F> void RunGoWhen(std::function<bool()> ready, F whileRunning) {
        const QPointer<QTimer> watch = support::WhenReady(
            &Window(), [this, ready] { return program->Gate().LoopRunning() && ready(); },
            whileRunning, [this] { Stop(); });
        QTest::mouseClick(Main().buttonGo, Qt::LeftButton);
        delete watch.data();
    }
};
