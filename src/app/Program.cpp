#include "app/Program.h"

#include "access/Brand.h"
#include "access/BrandBlock.h"
#include "access/PasswordPanel.h"
#include "app/AccessibleNames.h"
#include "app/AppHelp.h"
#include "app/MainPanel.h"
#include "calibration/CalibrationModule.h"
#include "calibration/CalibrationPages.h"
#include "commpage/CommModule.h"
#include "commpage/CommPage.h"
#include "commpage/Connection.h"
#include "controls/HelpRouter.h"
#include "core/AppState.h"
#include "core/OperatorDialogs.h"
#include "core/ParameterTransfers.h"
#include "core/Text.h"
#include "link/SensorLink.h"
#include "link/SensorOperations.h"
#include "link/SerialDevices.h"
#include "live/DataPanel.h"
#include "live/LiveModule.h"
#include "params/ParameterPanels.h"
#include "params/ParamsModule.h"
#include "recorder/RecorderModule.h"
#include "scope/ScopeModule.h"
#include "settings/SettingsFolder.h"
#include "settings/SettingsPanels.h"
#include "settings/TableAttributesPage.h"
#include "teach/TeachModule.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QTime>
#include <QTimer>
#include <QWindow>

#include <cstdlib>

namespace app {

namespace {

constexpr int kStatusIntervalMs = 250;
constexpr int kFirstExposeWaitMs = 500;

// Ends the wait for the window's first expose once the window has handled it (and painted).
class FirstExpose : public QObject {
public:
    explicit FirstExpose(QEventLoop& wait) : wait(wait) {}
    bool eventFilter(QObject* window, QEvent* event) override {
        if (event->type() == QEvent::Expose && static_cast<QWindow*>(window)->isExposed())
            QMetaObject::invokeMethod(&wait, &QEventLoop::quit, Qt::QueuedConnection);
        return false;
    }

private:
    QEventLoop& wait;
};

// The link the status tells (the one opened last, or before any attempt the one chosen): the
// address alone for the bar ("127.0.0.1:10001", "COM1 /dev/ttyS0"), and with the transport and
// the baud rate for its tooltip.
struct LinkWords {
    QString address;
    QString whole;
};
LinkWords DescribeLink(const comm::SensorLink::Endpoint& used, const core::LinkState& chosen) {
    comm::SensorLink::Endpoint shown = used;
    if (!used.opened) {
        shown.tcp = chosen.protocol == core::kTcpIp;
        shown.server = chosen.serverName;
        shown.tcpPort = chosen.tcpPortNumber;
        shown.serialPort = chosen.serialDevicePath.empty() ? chosen.serialPortNumber : 0;
        shown.device = chosen.serialDevicePath.empty()
                           ? comm::SerialDeviceName(chosen.serialPortNumber)
                           : chosen.serialDevicePath;
        shown.baudRateCode = chosen.baudRateCode;
    }
    if (shown.tcp) {
        const QString address =
            QStringLiteral("%1:%2").arg(core::TextOfBytes(shown.server)).arg(shown.tcpPort);
        return {address, QStringLiteral("TCP/IP ") + address};
    }
    const QString device = QString::fromStdString(shown.device);
    const QString address = shown.serialPort <= 0
                                ? device
                                : QStringLiteral("COM%1 %2").arg(shown.serialPort).arg(device);
    return {address, QStringLiteral("RS-232 %1, %2 baud")
                         .arg(address)
                         .arg(comm::BaudRateOfCode(shown.baudRateCode))};
}

} // namespace

Program::Program(core::AppState& state, core::OperatorDialogs& dialogs)
    : state(state), dialogs(dialogs), mainPanel(std::make_unique<MainPanel>()),
      link(std::make_unique<comm::SensorLink>(*this)),
      operations(std::make_unique<comm::SensorOperations>(*link, *this)),
      statusTimer(new QTimer(this)) {
    link->WatchGate(&gate);
    Compose();
    statusTimer->setInterval(kStatusIntervalMs);
    connect(statusTimer, &QTimer::timeout, this, &Program::UpdateStatusBar);
    helpRouter = std::make_unique<core::HelpRouter>(helpBook, dialogs);
    qApp->installEventFilter(helpRouter.get());
    wheelGuard.Install();
}

Program::~Program() {
    qApp->removeEventFilter(helpRouter.get());
    wheelGuard.Remove();
    // The pages belong to the window; the modules that hold references to them go first.
    calibration.reset();
    scope.reset();
    recorder.reset();
    settings.reset();
    comm.reset();
    params.reset();
    mainPanel.reset();
    live.reset();
}

// The subsystems, bottom to top, and what one tells another: those the window shows at the start
// and those the settings are read into. The rest follow once the window is on the screen.
void Program::Compose() {
    AddHelp(AppHelp());
    live = std::make_unique<live::LiveModule>(state, *this, *this, *operations);
    params = std::make_unique<params::ParamsModule>(state, *this, dialogs, *this, *operations,
                                                    live->Data(), live->Drawing());
    live->AttachTransfers(params->Transfers());
    comm = std::make_unique<comm::CommModule>(state, *this, *this, *link, *operations,
                                              params->Transfers());
    settings =
        std::make_unique<settings::SettingsModule>(state, dialogs, *this, *mainPanel, comm->Page());

    auto& rows = settings->RowAttributes();
    auto& parameterPanels = params->Panels();
    connect(&comm->Connect(), &comm::Connection::LinkInUse, &live->Data(),
            &live::DataPanel::ShowLinkInUse);
    connect(&comm->Page(), &comm::CommPage::SensorIdChanged, live.get(),
            &live::LiveModule::ShowSensorId);
    comm->SetParameterReadCheck([this] {
        return params->MayReplacePanel(
            "TRY TO CONNECT reads the parameters of the sensor into the panel.");
    });
    mainPanel->SetCloseCheck([this] {
        return closing || !params->Transfers().PanelUnsent() ||
               dialogs.ConfirmLoss("ATTENTION!",
                                   std::string(params::ParamsModule::kUnsentText) +
                                       "They are lost when the program closes. \nClose anyway?");
    });
    connect(&comm->Page(), &comm::CommPage::Accepted, this, [this] {
        settings->PanelSettings().WritePanelSettings();
        ShowPage(core::MainPage::Parameters);
    });
    connect(&parameterPanels, &params::ParameterPanels::ActiveRowsMarked, &rows,
            &settings::TableAttributesPage::SetRowLabels);
    connect(&rows, &settings::TableAttributesPage::RowColoursChanged, &parameterPanels,
            &params::ParameterPanels::PaintRowColours);
    connect(&rows, &settings::TableAttributesPage::LiveSwatchShown, &live->Data(),
            &live::DataPanel::SetSwatchVisible);
    connect(mainPanel.get(), &MainPanel::PageChanged, this, &Program::OnMainTabChanged);
    connect(mainPanel.get(), &MainPanel::Closing, this, &Program::OnMainPanelClose);

    // What the pages showed before they were wired.
    rows.PublishState();
    parameterPanels.MarkActiveRows();
    NameAllControls();
}

// The pages and panels the window does not show at the start: built once it is on the screen,
// before anything reaches the sensor.
void Program::ComposeBehind() {
    if (calibration) return;
    teach = new teach::TeachModule(state, *this, dialogs, *this, *params, *live,
                                   settings->RowAttributes());
    recorder = std::make_unique<recorder::RecorderModule>(state, *this, dialogs, *this, *operations,
                                                          *live);
    scope = std::make_unique<scope::ScopeModule>(state, *this, dialogs, *this, *operations);
    calibration = std::make_unique<calibration::CalibrationModule>(
        state, *this, dialogs, *this, *operations, *live, params->Transfers());

    connect(&comm->Page(), &comm::CommPage::SensorIdChanged, recorder.get(),
            &recorder::RecorderModule::ShowIdentification);
    // The identification the settings gave before the recorder was there.
    recorder->ShowIdentification(core::TextOfBytes(state.params.sensorId));
    connect(&comm->Page(), &comm::CommPage::HardwareInfoRequested, calibration.get(),
            &calibration::CalibrationModule::CBF_ButtonGenHwInfoFile);
    // The service page's hidden door: a right double click on the calibration decoration.
    auto* passwordTrigger = new access_::PasswordTrigger(dialogs, mainPanel.get());
    passwordTrigger->Watch(&calibration->Calibration().Decoration());
    connect(passwordTrigger, &access_::PasswordTrigger::Unlocked, calibration.get(),
            &calibration::CalibrationModule::UnlockOffsetPage);
    recorder->ShowRecordFile();
    NameAllControls();
}

// The window and its popups, and the windows of their own (the big panels); a control named
// before keeps its name.
void Program::NameAllControls() {
    NameControls(*mainPanel);
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (!window->parentWidget() && window != mainPanel.get()) NameControls(*window);
    }
}

// The window on the screen and painted before anything else is done: the expose comes from the
// window system, within a bound, so a start without one is not held up.
void Program::ShowWindowFirst() {
    mainPanel->show();
    QWindow* window = mainPanel->windowHandle();
    if (!window || window->isExposed()) return;
    QEventLoop painted;
    FirstExpose watch(painted);
    window->installEventFilter(&watch);
    connect(mainPanel.get(), &MainPanel::Closing, &painted, &QEventLoop::quit);
    QTimer::singleShot(kFirstExposeWaitMs, &painted, &QEventLoop::quit);
    painted.exec();
    window->removeEventFilter(&watch);
}

settings::PanelSettingsIo& Program::PanelSettings() {
    return settings->PanelSettings();
}

QWidget& Program::Window() {
    return *mainPanel;
}

// Beside the program while its folder takes files and is not the system's, else in the user's
// settings folder, unless the command line names the file; the communication page says which.
void Program::PlaceSettingsFile() {
    if (!givenSettingsFile.isEmpty()) {
        // The side files start beside it, as they do beside a placed one.
        const QFileInfo given(givenSettingsFile);
        state.settings.programDir = QDir::toNativeSeparators(given.absolutePath()).toStdString();
        state.settings.panelSettingsPath =
            QDir::toNativeSeparators(givenSettingsFile).toStdString();
        comm->Page().ShowSettingsFile(state.settings.panelSettingsPath,
                                      comm::CommPage::SettingsOrigin::CommandLine);
        return;
    }
    const std::string programDir = QDir::toNativeSeparators(programDirectory).toStdString();
    const settings::SettingsPlace place = settings::PlaceSettings(
        programDir, settings::FolderTakesFiles(programDir), settings::IsSystemFolder(programDir),
        settings::UserSettingsFolder(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME")),
        QDir::separator().toLatin1());
    if (!place.besideProgram) QDir().mkpath(QString::fromStdString(place.folder));
    if (!place.seedFrom.empty()) {
        const QString path = QString::fromStdString(place.path);
        // The copy is the user's to change, whatever mode the file beside the program has.
        if (QFile::copy(QString::fromStdString(place.seedFrom), path))
            QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                            QFile::ReadOther);
    }
    state.settings.programDir = place.folder;
    state.settings.panelSettingsPath = place.path;
    comm->Page().ShowSettingsFile(place.path, place.besideProgram
                                                  ? comm::CommPage::SettingsOrigin::BesideProgram
                                                  : comm::CommPage::SettingsOrigin::UserFolder);
}

void Program::InitApplication() {
    state.params.memoryTarget = core::kRam;
    state.params.paraSet = 0;
    state.flags.pendingSend = 0;
    state.flags.pendingGet = 0;
    state.flags.teachTolerance = 0;

    if (programDirectory.isEmpty()) programDirectory = QCoreApplication::applicationDirPath();
    PlaceSettingsFile();

    // The brand is drawn before the settings are read.
    mainPanel->SetBrandBlock(new access_::BrandBlock(access_::BuiltBrand(), programDirectory));
    params->Panels().GetParametersFromPanel();
    settings->PanelSettings().ReadPanelSettingsLayout();
    mainPanel->SetPageVisible(int(core::MainPage::Offset), false);
    mainPanel->ShowPage(int(core::MainPage::Parameters));
    live->Data().SetActivePage(live::DataPanel::k3DPage);
    ShowChildPanel(core::ChildPanel::Data);
    // Read before the window shows: a close from then on saves what was read, not the defaults.
    settings->PanelSettings().ReadPanelSettingsCommunication();
    comm->Page().ShowLinkFields();
    ShowWindowFirst();
    ComposeBehind();

    rateClock.start();
    statusTimer->start();
    comm->RunTryToConnect();
    // After the connect, which reads the sensor's parameters: the file is what the panel shows,
    // not yet sent.
    if (!parameterFileAtStart.isEmpty() && !closing)
        params->OpenParameterFile(QDir::toNativeSeparators(parameterFileAtStart).toStdString());
    UpdateStatusBar();
}

void Program::ReportCommand(const std::string& description, const std::string& outcome) {
    lastCommand = QStringLiteral("%1: %2  %3")
                      .arg(QString::fromStdString(description), QString::fromStdString(outcome),
                           QTime::currentTime().toString(QStringLiteral("HH:mm:ss")));
    UpdateStatusBar();
    // Again once the command has ended and left the gate.
    QTimer::singleShot(0, this, &Program::UpdateStatusBar);
}

void Program::UpdateStatusBar() {
    const bool going = gate.Holder() == "GO" && gate.LoopRunning();
    if (going)
        measurementRate.Add(rateClock.isValid() ? rateClock.elapsed() : 0,
                            state.live.measurementCount);
    else
        measurementRate.Clear();
    // The bar shows what tells the state at a glance: connected or not, to what address, or
    // why not; the tooltip holds the whole of it (the transport, the identification).
    const LinkWords where = DescribeLink(link->InUse(), state.link);
    const QString cause = QString::fromStdString(link->LastFailure());
    const bool good = state.flags.linkGood;
    const QString linkText =
        good ? QStringLiteral("CONNECTED: %1").arg(where.address)
             : QStringLiteral("NOT CONNECTED: %1").arg(cause.isEmpty() ? where.address : cause);
    QString linkDetail = good ? QStringLiteral("CONNECTED: %1 \u00B7 %2")
                                    .arg(where.whole, core::TextOfBytes(state.link.firmwareId))
                              : QStringLiteral("NOT CONNECTED \u00B7 %1").arg(where.whole);
    if (!good && !cause.isEmpty()) linkDetail += QStringLiteral(" \u00B7 ") + cause;
    QString loop = QStringLiteral("STOPPED");
    if (going)
        loop = QStringLiteral("GO RUNNING \u00B7 %1 measurements/s")
                   .arg(qRound(measurementRate.PerSecond()));
    else if (gate.Busy())
        loop = QString::fromStdString(gate.Holder()) + QStringLiteral(" RUNNING");
    mainPanel->ShowStatus(linkText, loop, lastCommand, linkDetail);
    mainPanel->ShowUnsent(params->ShowUnsent());
}

void Program::ShutDown() {
    if (link) link->ShutDown();
}

void Program::AppendLog(const std::string& text) {
    comm->Page().AppendLog(text);
}

void Program::SetStatusLine(const std::string& text) {
    live->Data().SetStatusLine(text);
}

void Program::ClearLog() {
    comm->Page().ClearLog();
}

void Program::SetButtonsDimmed(int liveMode, int dim) {
    const bool enabled = dim == 0;
    for (const auto& [control, kind] : commandControls) {
        switch (kind) {
        case core::CommandKind::Transfer:
            if (liveMode == 0) control->setEnabled(enabled);
            break;
        case core::CommandKind::Command:
            control->setEnabled(enabled);
            break;
        case core::CommandKind::NeedsLink:
            // These come back only with a successful identification.
            if (dim == 1) control->setEnabled(false);
            break;
        }
    }
    QCoreApplication::processEvents();
}

void Program::ReleaseLinkControls() {
    if (state.flags.linkGood != 1) return;
    for (const auto& [control, kind] : commandControls)
        if (kind == core::CommandKind::NeedsLink) control->setEnabled(true);
}

void Program::ShowChildPanel(core::ChildPanel panel) {
    for (QWidget* child : childPanels) {
        if (child) child->hide();
    }
    if (panel == core::ChildPanel::None) return;
    if (QWidget* shown = childPanels[std::size_t(panel)]) shown->show();
}

void Program::ShowPage(core::MainPage page) {
    mainPanel->ShowPage(int(page));
}

void Program::SetPageVisible(core::MainPage page, bool visible) {
    mainPanel->SetPageVisible(int(page), visible);
}

void Program::AddPage(core::MainPage page, QWidget* widget) {
    mainPanel->SetPage(int(page), widget);
}

void Program::AddChildPanel(core::ChildPanel panel, QWidget* widget) {
    childPanels[std::size_t(panel)] = widget;
    mainPanel->AddChildPanel(widget);
}

void Program::AddToCommandBar(QWidget* widget, bool right) {
    mainPanel->AddToCommandBar(widget, right);
}

void Program::AddCommandControl(QWidget* control, core::CommandKind kind) {
    commandControls.emplace_back(control, kind);
}

void Program::AddHelp(std::span<const core::NamedHelp> entries) {
    helpBook.Add(entries);
}

void Program::SetLinkButtonsDimmed(bool dimmed) {
    comm->Page().SetLinkButtonsDimmed(dimmed);
}

void Program::ShowCommunicationPage() {
    ShowPage(core::MainPage::Communication);
}

void Program::LinkReported() {
    state.flags.linkGood = 0;
    ++state.flags.failuresReported;
    gate.Stop(core::StopCause::Loop);
}

void Program::SensorNotice() {
    gate.Stop(core::StopCause::Loop);
}

void Program::LinkFailed() {
    live->Data().SetStale(true);
    UpdateStatusBar();
}

void Program::LinkLost() {
    gate.Stop(core::StopCause::LinkLost);
}

void Program::LinkAnswered() {
    // Told after every reply, thousands of times a second in GO: only a change is shown. The
    // values greyed by a failure come back with this answer, whoever set the flag since.
    if (state.flags.linkGood == 1 && !live->Data().IsStale()) return;
    state.flags.linkGood = 1;
    live->Data().SetStale(false);
    UpdateStatusBar();
}

void Program::SetWaitCursor(bool on) {
    if (on)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void Program::OnMainTabChanged(int index) {
    // Both pages end a measuring loop, as the running flag did.
    if (index == int(core::MainPage::Communication)) {
        gate.Stop(core::StopCause::Loop);
        SetLinkButtonsDimmed(true);
        return;
    }
    if (index == int(core::MainPage::ScopeSettings)) {
        gate.Stop(core::StopCause::Loop);
        ShowChildPanel(core::ChildPanel::Scope);
    }
    if (index == int(core::MainPage::Recorder) && recorder) recorder->PageActivated();
}

void Program::OnMainPanelClose() {
    // What runs ends (a write on the line first finishes), nothing new starts, and only the
    // orders that leave the sensor clean go out from now on.
    closing = true;
    gate.Close();
    settings->PanelSettings().WritePanelSettings();
    QCoreApplication::quit();
}

void Program::EndWithoutAsking() {
    if (closing) return;
    OnMainPanelClose();
    mainPanel->hide();
}

int RunProgram(Program& program) {
    program.InitApplication();
    // A window closed during the start-up has quit a loop that was not running yet.
    const int result = program.Closing() ? 0 : QApplication::exec();
    program.ShutDown();
    return result == 0 ? 0 : -1;
}

} // namespace app
