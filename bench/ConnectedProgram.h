#pragma once
// The whole program, connected to the simulator through its communication page, for the
// benchmarks.
#include "app/Program.h"
#include "core/AppState.h"
#include "link/SensorLink.h"
#include "support/ScriptedOperator.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>

#include <memory>

// The program connected to the simulator by its communication page.
struct ConnectedProgram {
    explicit ConnectedProgram(const QString& serialPath, quint16 tcpPort) {
        program.SetProgramDirectory(programDir.path());
        program.Link().SetSerialDeviceResolver(
            [serialPath](int) { return serialPath.toStdString(); });
        program.InitApplication();
        auto* protocol =
            program.Window().findChild<QComboBox*>(QStringLiteral("EditCommunicationProtocol"));
        const int index = serialPath.isEmpty() ? 1 : 0;
        protocol->setCurrentIndex(index);
        emit protocol->activated(index);
        program.Window()
            .findChild<QComboBox*>(QStringLiteral("StringIpAdress"))
            ->setEditText(QStringLiteral("127.0.0.1"));
        program.Window()
            .findChild<QLineEdit*>(QStringLiteral("StringPortNumber"))
            ->setText(QString::number(tcpPort));
        program.Window().findChild<QPushButton*>(QStringLiteral("ButtonTryToConnect"))->click();
        program.ShowPage(core::MainPage::Parameters);
    }
    // The data page in front; the 3D page needs a 3D calculation mode.
    void ShowDataPage(int page) {
        auto* mode = program.Window().findChild<QComboBox*>(QStringLiteral("EditCalcmode"));
        const int wanted = page == 3 ? 2 : 0;
        mode->setCurrentIndex(mode->findData(wanted));
        emit mode->activated(mode->currentIndex());
        program.Window().findChild<QTabWidget*>(QStringLiteral("TabDataP1"))->setCurrentIndex(page);
    }
    std::unique_ptr<core::AppState> state = std::make_unique<core::AppState>();
    ScriptedOperator dialogs;
    QTemporaryDir programDir;
    app::Program program{*state, dialogs};
};
