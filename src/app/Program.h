#pragma once
// The running program: the main window composed of the subsystems, and the shell that every
// subsystem asks for the log, the status line, dimming, child panels and pages. It builds each
// subsystem, lets it register its pages, controls and help texts, and wires what one subsystem
// tells another. One instance per run; tests make their own.
#include "app/WheelGuard.h"
#include "core/CommandGate.h"
#include "core/HelpBook.h"
#include "core/RecentRate.h"
#include "core/Shell.h"
#include "link/CommView.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>

class QTimer;

#include <array>
#include <memory>
#include <utility>
#include <vector>

namespace core {
struct AppState;
class HelpRouter;
class OperatorDialogs;
} // namespace core
namespace comm {
class CommModule;
class SensorLink;
class SensorOperations;
} // namespace comm
namespace live {
class LiveModule;
}
namespace params {
class ParamsModule;
}
namespace settings {
class PanelSettingsIo;
class SettingsModule;
} // namespace settings
namespace teach {
class TeachModule;
}
namespace recorder {
class RecorderModule;
}
namespace scope {
class ScopeModule;
}
namespace calibration {
class CalibrationModule;
}

namespace app {

class MainPanel;

class Program : public QObject, public core::Shell, public core::Registrar, public comm::CommView {
    Q_OBJECT
public:
    Program(core::AppState& state, core::OperatorDialogs& dialogs);
    ~Program() override;

    // The directory that holds PanelSettings.cfg and the default side files: the executable's,
    // unless set before the start-up (tests keep their files apart this way).
    void SetProgramDirectory(const QString& directory) { programDirectory = directory; }
    // The settings file named on the command line, used instead of PanelSettings.cfg where it
    // would be placed (two windows on one account, each with its own); set before the start-up.
    void SetSettingsFile(const QString& path) { givenSettingsFile = path; }
    // A parameter file read into the panel once the start-up has connected, as GET from FILE.
    void OpenParameterFileAtStart(const QString& path) { parameterFileAtStart = path; }

    // Start-up after the panels exist, and the end of the run.
    void InitApplication();
    void ShutDown();
    // The window was closed; the run ends as soon as the command in progress has ended.
    bool Closing() const { return closing; }
    // Ends the run as closing the window does, without asking anything (a signal: the session
    // or a service manager ends the program, and nobody is there to answer).
    void EndWithoutAsking();

    QWidget& Window();
    comm::SensorLink& Link() { return *link; }
    comm::SensorOperations& Operations() { return *operations; }
    settings::PanelSettingsIo& PanelSettings();
    // The composed subsystems.
    live::LiveModule& Live() { return *live; }
    params::ParamsModule& Params() { return *params; }
    recorder::RecorderModule& Recorder() { return *recorder; }
    scope::ScopeModule& Scope() { return *scope; }
    calibration::CalibrationModule& Calibration() { return *calibration; }
    comm::CommModule& Comm() { return *comm; }
    settings::SettingsModule& Settings() { return *settings; }
    const core::HelpBook& Help() const { return helpBook; }

    // Shell
    void AppendLog(const std::string& text) override;
    void SetStatusLine(const std::string& text) override;
    void ClearLog() override;
    void SetButtonsDimmed(int liveMode, int dim) override;
    void ReleaseLinkControls() override;
    void ShowChildPanel(core::ChildPanel panel) override;
    void ShowPage(core::MainPage page) override;
    void SetPageVisible(core::MainPage page, bool visible) override;
    core::CommandGate& Gate() override { return gate; }
    void ReportCommand(const std::string& description, const std::string& outcome) override;

    // The status bar from the state as it is now; also run by a timer several times a second.
    void UpdateStatusBar();

    // Registrar
    void AddPage(core::MainPage page, QWidget* widget) override;
    void AddChildPanel(core::ChildPanel panel, QWidget* widget) override;
    void AddToCommandBar(QWidget* widget, bool right) override;
    void AddCommandControl(QWidget* control, core::CommandKind kind) override;
    void AddHelp(std::span<const core::NamedHelp> entries) override;

    // CommView
    void SetLinkButtonsDimmed(bool dimmed) override;
    void ShowCommunicationPage() override;
    void SetWaitCursor(bool on) override;
    void LinkReported() override;
    void SensorNotice() override;
    void LinkFailed() override;
    void LinkLost() override;
    void LinkAnswered() override;

private:
    void Compose();
    void ComposeBehind();
    void NameAllControls();
    void ShowWindowFirst();
    void PlaceSettingsFile();
    void OnMainTabChanged(int index);
    void OnMainPanelClose();

    core::AppState& state;
    core::OperatorDialogs& dialogs;
    core::CommandGate gate;
    core::HelpBook helpBook;
    QString programDirectory;
    QString givenSettingsFile;
    QString parameterFileAtStart;
    bool closing = false;
    std::unique_ptr<MainPanel> mainPanel;
    std::unique_ptr<comm::SensorLink> link;
    std::unique_ptr<comm::SensorOperations> operations;
    std::unique_ptr<live::LiveModule> live;
    std::unique_ptr<params::ParamsModule> params;
    std::unique_ptr<comm::CommModule> comm;
    std::unique_ptr<settings::SettingsModule> settings;
    teach::TeachModule* teach = nullptr; // lives on the teach-table page
    std::unique_ptr<recorder::RecorderModule> recorder;
    std::unique_ptr<scope::ScopeModule> scope;
    std::unique_ptr<calibration::CalibrationModule> calibration;
    std::unique_ptr<core::HelpRouter> helpRouter;
    WheelGuard wheelGuard;
    std::array<QWidget*, 5> childPanels{};
    std::vector<std::pair<QWidget*, core::CommandKind>> commandControls;
    QTimer* statusTimer;
    QElapsedTimer rateClock;
    core::RecentRate measurementRate;
    QString lastCommand;
};

// Runs the user-interface loop unless the window was closed during the start-up, then shuts
// down. The program's exit status: 0 after a normal end, -1 otherwise.
int RunProgram(Program& program);

} // namespace app
