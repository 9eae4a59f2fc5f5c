#include "settings/SettingsPanels.h"

#include "app/AppState.h"
#include "app/MainPanel.h"
#include "app/OperatorDialogs.h"
#include "app/Program.h"
#include "link/CommPage.h"
#include "params/ParameterPanels.h"
#include "settings/PanelSettings.h"
#include "settings/TableAttributesPage.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>

namespace {

char Separator() {
    return QDir::separator().toLatin1();
}

QString ToQ(const std::string& text) {
    return QString::fromStdString(text);
}

void PlaceMainPanel(MainPanel& main, const WindowGeometry& window) {
    switch (PlacementOf(window)) {
    case WindowPlacement::KeepBuiltGeometry:
        return;
    case WindowPlacement::Maximise:
        main.setWindowState((main.windowState() & ~Qt::WindowMinimized) | Qt::WindowMaximized);
        return;
    case WindowPlacement::SetGeometry:
        break;
    }
    main.setWindowState(main.windowState() &
                        ~(Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen));
    main.move(window.left, window.top);
    main.resize(window.width, window.height);
}

WindowGeometry GeometryOf(const MainPanel& main) {
    WindowGeometry window;
    window.zoomState = main.isMinimized()   ? panel_settings::kZoomMinimised
                       : main.isMaximized() ? panel_settings::kZoomMaximised
                                            : panel_settings::kZoomNormal;
    window.left = main.x();
    window.top = main.y();
    window.width = main.width();
    window.height = main.height();
    return window;
}

void CopyToLink(const CommSettings& comm, LinkState& link) {
    link.protocol = comm.protocol;
    link.serialPortNumber = comm.serialPort;
    link.baudRateCode = comm.baudRateCode;
    link.serverName = comm.serverName;
    link.tcpPortText = comm.tcpPortText;
}

// The communication page shows the settings; codes the selectors cannot show fall back to what
// the link uses for them: RS-232, and 115200 baud for an unknown rate code.
void ShowCommSettings(Program& program, const CommSettings& comm) {
    CopyToLink(comm, program.state.link);

    CommPage& page = program.Comm();
    const int protocolIndex = page.editCommunicationProtocol->findData(int(comm.protocol));
    page.editCommunicationProtocol->setCurrentIndex(protocolIndex >= 0 ? protocolIndex : 0);
    page.SelectComPort(comm.serialPort);
    const int baudIndex = page.editSelectBaudrate->findData(int(comm.baudRateCode));
    page.editSelectBaudrate->setCurrentIndex(baudIndex >= 0 ? baudIndex
                                                            : page.editSelectBaudrate->count() - 1);
    page.stringIpAdress->setEditText(ToQ(comm.serverName));
    page.stringPortNumber->setText(ToQ(comm.tcpPortText));
}

// What the operator sees on the communication page is what is saved, connected or not.
CommSettings CommSettingsOfPage(Program& program) {
    CommPage& page = program.Comm();
    CommSettings comm;
    comm.protocol = std::uint16_t(page.editCommunicationProtocol->currentData().toInt());
    comm.serialPort = std::uint16_t(page.SelectedComPort());
    comm.baudRateCode = std::uint16_t(page.editSelectBaudrate->currentData().toInt());
    comm.serverName =
        SpecificationText(page.stringIpAdress->currentText(), panel_settings::kServerNameLength);
    comm.tcpPortText =
        SpecificationText(page.stringPortNumber->text(), panel_settings::kTcpPortTextLength);

    CopyToLink(comm, program.state.link);
    return comm;
}

void ShowRowAttributes(Program& program, const RowAttributes& rows) {
    if (program.tableAttributesPage) {
        program.tableAttributesPage->ShowRows(rows);
        return;
    }
    program.state.settings.rowColours = rows.colours;
    PaintTableRowColours(program);
}

} // namespace

void ReadPanelSettingsLayout(Program& program) {
    AppState& state = program.state;
    PanelSettings settings;
    ReadLayoutPart(state.settings.panelSettingsPath, state.settings.programDir, Separator(),
                   settings);

    state.params.sensorId = settings.sensorId;
    program.Comm().editId->setText(ToQ(settings.sensorId));
    program.ShowSensorId();

    PlaceMainPanel(program.Main(), settings.window);

    state.settings.parameterFilePath = settings.paths.parameterFile;
    state.settings.recordFilePath = settings.paths.recordFile;
    state.settings.hardwareInfoPath = settings.paths.hardwareInfoFile;
    state.settings.tableAttributesPath = settings.paths.tableAttributesFile;

    state.link.serverList = settings.serverList;
    program.Comm().ShowServerList();

    ShowRowAttributes(program, settings.rows);
}

void ReadPanelSettingsCommunication(Program& program) {
    PanelSettings settings;
    ReadCommunicationPart(program.state.settings.panelSettingsPath, settings);
    ShowCommSettings(program, settings.comm);
}

void WritePanelSettings(Program& program) {
    AppState& state = program.state;
    state.params.sensorId =
        SpecificationText(program.Comm().editId->text(), panel_settings::kSensorIdLength);

    PanelSettings settings;
    settings.sensorId = state.params.sensorId;
    settings.window = GeometryOf(program.Main());
    settings.paths = {state.settings.parameterFilePath, state.settings.recordFilePath,
                      state.settings.hardwareInfoPath, state.settings.tableAttributesPath};
    settings.serverList = state.link.serverList;
    settings.comm = CommSettingsOfPage(program);
    if (program.tableAttributesPage) {
        settings.rows = program.tableAttributesPage->CollectRows();
    } else {
        settings.rows = DefaultRowAttributes();
        settings.rows.colours = state.settings.rowColours;
    }
    // A settings file that cannot be written costs the next start its settings, nothing more;
    // the program goes on either way.
    WritePanelSettingsFile(state.settings.panelSettingsPath, settings);
}

void BuildTableAttributesPage(Program& program) {
    auto* page = new TableAttributesPage(program);
    program.tableAttributesPage = page;
    program.Main().SetPage(MainPanel::kTableAttributesPage, page);
}

std::string DialogStartDirectory(const std::string& rememberedPath) {
    if (rememberedPath.empty()) return {};
    const QFileInfo info(ToQ(rememberedPath));
    if (info.isDir()) return rememberedPath;
    return QDir::toNativeSeparators(info.absolutePath()).toStdString();
}

void ReportUnwrittenFile(Program& program, const std::string& path) {
    program.dialogs.Message("ERROR", "The file could not be written!\n" + path);
}

std::string SpecificationText(const QString& text, std::size_t maxBytes) {
    std::string bytes = text.toStdString();
    if (bytes.size() <= maxBytes) return bytes;
    std::size_t cut = maxBytes;
    while (cut > 0 && (static_cast<unsigned char>(bytes[cut]) & 0xC0) == 0x80)
        --cut;
    bytes.resize(cut);
    return bytes;
}
