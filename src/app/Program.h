#pragma once
// The running program: builds the panels, owns the link, and carries the procedures that every
// subsystem calls (showing a child panel, dimming the command buttons, reporting to the
// communication page). One instance per run; tests make their own.
#include "link/CommView.h"
#include "live/DisplayWidgets.h"

#include <QObject>
#include <QString>

#include <memory>
#include <vector>

struct AppState;
class OperatorDialogs;
class SensorLink;
class MainPanel;
class DataPanel;
class CommPage;
class BigNumberPanel;
class HelpRouter;
class QWidget;
class ParameterPage;
class GroupHoldPage;
class TeachTablePage;
class TableAttributesPage;

class Program : public QObject, public CommView {
    Q_OBJECT
public:
    enum class BigPanel { ColourNumber, Group };

    Program(AppState& state, OperatorDialogs& dialogs);
    ~Program() override;

    AppState& state;
    OperatorDialogs& dialogs;

    SensorLink& Link() { return *link; }
    MainPanel& Main() { return *mainPanel; }
    DataPanel& Data() { return *dataPanel; }
    CommPage& Comm() { return *commPage; }
    BigNumberPanel& BigColourNumber() { return *bigColourPanel; }
    BigNumberPanel& BigGroup() { return *bigGroupPanel; }
    RefreshClock& Refresh() { return refreshClock; }

    // The directory that holds PanelSettings.cfg and the default side files: the executable's,
    // unless set before the start-up (tests keep their files apart this way).
    void SetProgramDirectory(const QString& directory) { programDirectory = directory; }

    // Start-up after the panels exist, and the end of the run.
    void InitApplication();
    void ShutDown();

    void ShowChildPanel(QWidget* panel);
    void SetButtonsDimmed(int liveMode, int dim);

    // Parameter transfers of the SEND and GET commands; also served by the GO loop.
    int SendParameters();
    int GetParameters();

    void ShowBigPanel(BigPanel which);
    void ClearCommunicationLog();
    // Copies the operator's sensor identification to the displays that repeat it.
    void ShowSensorId();

    // Settings file: the layout and communication parts read at start-up, written at close and
    // at ACCEPT.
    void ReadPanelSettingsLayout();
    void ReadPanelSettingsCommunication();
    void WritePanelSettings();

    // Controls that start sensor traffic on pages built by other subsystems; dimmed together
    // with the main commands.
    void RegisterCommandControl(QWidget* control);

    // Pages built by their subsystems (null until built).
    ParameterPage* parameterPage = nullptr;
    GroupHoldPage* groupHoldPage = nullptr;
    TeachTablePage* teachTablePage = nullptr;
    TableAttributesPage* tableAttributesPage = nullptr;

    QWidget* GraphPanel() { return graphPanel; }
    QWidget* TeachPanel1() { return teachPanel1; }
    QWidget* TeachPanel2() { return teachPanel2; }
    QWidget* ScopePanel() { return scopePanel; }

    // CommView
    void SetStatusLine(const std::string& text) override;
    void AppendLog(const std::string& text) override;
    void SetLinkButtonsDimmed(bool dimmed) override;
    void ShowCommunicationPage() override;
    void SetWaitCursor(bool on) override;

    // Main panel events
    void OnMainTabChanged(int index);
    void OnMainPanelClose();

private:
    void BuildPanels();

    RefreshClock refreshClock;
    QString programDirectory;
    std::unique_ptr<SensorLink> link;
    MainPanel* mainPanel = nullptr;
    DataPanel* dataPanel = nullptr;
    CommPage* commPage = nullptr;
    BigNumberPanel* bigColourPanel = nullptr;
    BigNumberPanel* bigGroupPanel = nullptr;
    QWidget* graphPanel = nullptr;
    QWidget* teachPanel1 = nullptr;
    QWidget* teachPanel2 = nullptr;
    QWidget* scopePanel = nullptr;
    QWidget* passwordPanel = nullptr;
    std::vector<QWidget*> commandControls;
    std::unique_ptr<HelpRouter> helpRouter;
};
