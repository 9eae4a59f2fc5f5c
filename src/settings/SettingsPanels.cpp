#include "settings/SettingsPanels.h"

#include "commpage/CommPage.h"
#include "controls/ScreenFit.h"
#include "core/AppState.h"
#include "core/Shell.h"
#include "settings/PanelSettings.h"
#include "settings/SettingsHelp.h"
#include "settings/TableAttributesPage.h"

#include <QDir>
#include <QWidget>

namespace settings {

namespace {

char Separator() {
    return QDir::separator().toLatin1();
}

void PlaceWindow(QWidget& window, WindowGeometry geometry) {
    switch (PlacementOf(geometry)) {
    case WindowPlacement::KeepBuiltGeometry:
        // Built for a larger screen than a kiosk's may be: it is fitted as a remembered one is.
        geometry.left = window.x();
        geometry.top = window.y();
        geometry.width = window.width();
        geometry.height = window.height();
        break;
    case WindowPlacement::Maximise:
        window.setWindowState((window.windowState() & ~Qt::WindowMinimized) | Qt::WindowMaximized);
        return;
    case WindowPlacement::SetGeometry:
        break;
    }
    window.setWindowState(window.windowState() &
                          ~(Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen));
    // A geometry from a larger screen, or one since removed, is pulled onto the screen that
    // holds most of it, frame and all, so GO, STOP and the status bar stay in reach.
    const QRect wanted(geometry.left, geometry.top, geometry.width + core::kFrameAllowanceWidth,
                       geometry.height + core::kFrameAllowanceHeight);
    const QRect area = core::AvailableAreaAt(wanted.center());
    const QRect fitted = core::FitInside(wanted, area);
    window.resize(fitted.width() - core::kFrameAllowanceWidth,
                  fitted.height() - core::kFrameAllowanceHeight);
    // The window may not shrink below its smallest size: place what it took.
    const QSize taken = window.size().expandedTo(window.minimumSizeHint()) +
                        QSize(core::kFrameAllowanceWidth, core::kFrameAllowanceHeight);
    window.move(core::FitInside(QRect(fitted.topLeft(), taken), area).topLeft());
}

WindowGeometry GeometryOf(const QWidget& window) {
    WindowGeometry geometry;
    geometry.zoomState = window.isMinimized()   ? panel_settings::kZoomMinimised
                         : window.isMaximized() ? panel_settings::kZoomMaximised
                                                : panel_settings::kZoomNormal;
    geometry.left = window.x();
    geometry.top = window.y();
    geometry.width = window.width();
    geometry.height = window.height();
    return geometry;
}

void CopyToLink(const CommSettings& comm, core::LinkState& link) {
    link.protocol = comm.protocol;
    link.serialPortNumber = comm.serialPort;
    link.baudRateCode = comm.baudRateCode;
    link.serverName = comm.serverName;
    link.tcpPortText = comm.tcpPortText;
}

} // namespace

PanelSettingsIo::PanelSettingsIo(core::AppState& state, QWidget& window, comm::CommPage& comm,
                                 TableAttributesPage& rows)
    : state(state), window(window), comm(comm), rows(rows) {}

void PanelSettingsIo::ReadPanelSettingsLayout() {
    settings::PanelSettings settings;
    std::string refusal;
    ReadLayoutPart(state.settings.panelSettingsPath, state.settings.programDir, Separator(),
                   settings, &refusal);
    if (!refusal.empty()) comm.AppendLog("PANEL SETTINGS NOT READ:\n" + refusal + "\n\n");

    comm.SetSensorId(settings.sensorId);
    PlaceWindow(window, settings.window);

    state.settings.parameterFilePath = settings.paths.parameterFile;
    state.settings.recordFilePath = settings.paths.recordFile;
    state.settings.hardwareInfoPath = settings.paths.hardwareInfoFile;
    state.settings.tableAttributesPath = settings.paths.tableAttributesFile;

    state.link.serverList = settings.serverList;
    comm.ShowServerList();

    rows.ShowRows(settings.rows);
}

void PanelSettingsIo::ReadPanelSettingsCommunication() {
    settings::PanelSettings settings;
    ReadCommunicationPart(state.settings.panelSettingsPath, settings);
    CopyToLink(settings.comm, state.link);
    comm.ShowSettings(settings.comm);
}

void PanelSettingsIo::WritePanelSettings() {
    std::string id = comm.SensorId();
    id.resize(std::min(id.size(), panel_settings::kSensorIdLength));
    state.params.sensorId = id;

    settings::PanelSettings settings;
    settings.sensorId = state.params.sensorId;
    settings.window = GeometryOf(window);
    settings.paths = {state.settings.parameterFilePath, state.settings.recordFilePath,
                      state.settings.hardwareInfoPath, state.settings.tableAttributesPath};
    settings.serverList = state.link.serverList;
    // What the operator sees on the communication page is what is saved, connected or not.
    settings.comm = comm.Settings();
    CopyToLink(settings.comm, state.link);
    settings.rows = rows.CollectRows();
    // A settings file that cannot be written costs the next start its settings; the program
    // goes on, and the log says so instead of failing in silence.
    std::string refusal;
    if (WritePanelSettingsFile(state.settings.panelSettingsPath, settings, &refusal) < 0)
        comm.AppendLog("PANEL SETTINGS COULD NOT BE SAVED TO:\n" +
                       state.settings.panelSettingsPath + "\n" +
                       (refusal.empty() ? refusal : refusal + "\n") + "\n");
}

SettingsModule::SettingsModule(core::AppState& state, core::OperatorDialogs& dialogs,
                               core::Registrar& registrar, QWidget& window, comm::CommPage& comm)
    : rowsPage(new TableAttributesPage(state, dialogs)),
      panelSettings(std::make_unique<PanelSettingsIo>(state, window, comm, *rowsPage)) {
    registrar.AddPage(core::MainPage::TableAttributes, rowsPage);
    registrar.AddHelp(SettingsHelp());
}

SettingsModule::~SettingsModule() = default;

} // namespace settings
