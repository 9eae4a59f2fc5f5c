#pragma once
// The whole program on the offscreen platform, with a scripted operator and a simulator on its
// own thread.
#include "app/AppState.h"
#include "app/MainPanel.h"
#include "app/Program.h"
#include "link/CommPage.h"
#include "link/SensorLink.h"
#include "live/DataPanel.h"
#include "sim/SimThread.h"
#include "support/ScriptedOperator.h"

#include "live/BigNumberPanel.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

struct ProgramFixture {
    std::unique_ptr<AppState> state = std::make_unique<AppState>();
    ScriptedOperator dialogs;
    sim::SimThread simulator;
    QTemporaryDir ptyDir;
    QTemporaryDir programDir;
    std::unique_ptr<Program> program = MakeProgram();

    std::unique_ptr<Program> MakeProgram() {
        auto made = std::make_unique<Program>(*state, dialogs);
        made->SetProgramDirectory(programDir.path());
        return made;
    }

    // Start-up with a serial port that does not exist, so nothing answers.
    void StartWithoutSensor() {
        program->Link().SetSerialDeviceResolver(
            [](int) { return std::string("/nonexistent/tty"); });
        program->InitApplication();
    }

    // Connects over TCP/IP through the communication page, as the operator would.
    bool ConnectThroughPage() {
        const quint16 port = simulator.StartTcp(0);
        auto& page = program->Comm();
        page.editCommunicationProtocol->setCurrentIndex(1);
        page.CBF_EditCommunicationProtocol();
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
        auto& page = program->Comm();
        page.editCommunicationProtocol->setCurrentIndex(0);
        page.CBF_EditCommunicationProtocol();
        QTest::mouseClick(page.buttonTryToConnect, Qt::LeftButton);
        return state->flags.linkGood == 1;
    }

    QString Log() const { return program->Comm().commLog->toPlainText(); }
    int CurrentPage() const { return program->Main().tabMain1->currentIndex(); }

    int RequestsOfOrder(int order) const {
        int count = 0;
        for (const auto& request : simulator.RequestLog())
            count += request.order == order ? 1 : 0;
        return count;
    }

    // Presses GO; `whileRunning` runs once the loop is under way.
    template <typename F> void RunGo(int afterMs, F whileRunning) {
        QTimer::singleShot(afterMs, whileRunning);
        QTest::mouseClick(program->Main().buttonGo, Qt::LeftButton);
    }
};
