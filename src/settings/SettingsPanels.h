#pragma once
// PanelSettings.cfg in the window: the layout part and the communication part read at
// start-up, the whole file written at close and at ACCEPT.
#include <QObject>

#include <memory>

class QWidget;

namespace core {
struct AppState;
class OperatorDialogs;
class Registrar;
} // namespace core
namespace comm {
class CommPage;
}

namespace settings {

class TableAttributesPage;

class PanelSettingsIo {
public:
    PanelSettingsIo(core::AppState& state, QWidget& window, comm::CommPage& comm,
                    TableAttributesPage& rows);

    void ReadPanelSettingsLayout();
    void ReadPanelSettingsCommunication();
    void WritePanelSettings();

private:
    core::AppState& state;
    QWidget& window;
    comm::CommPage& comm;
    TableAttributesPage& rows;
};

// The settings subsystem as the window composes it: the table attributes page and the panel
// settings file.
class SettingsModule : public QObject {
    Q_OBJECT
public:
    SettingsModule(core::AppState& state, core::OperatorDialogs& dialogs,
                   core::Registrar& registrar, QWidget& window, comm::CommPage& comm);
    ~SettingsModule() override;

    TableAttributesPage& RowAttributes() { return *rowsPage; }
    PanelSettingsIo& PanelSettings() { return *panelSettings; }

private:
    TableAttributesPage* rowsPage;
    std::unique_ptr<PanelSettingsIo> panelSettings;
};

} // namespace settings
