#include "app/Program.h"

#include "app/AppState.h"
#include "app/HelpRouter.h"
#include "app/MainPanel.h"
#include "app/OperatorDialogs.h"
#include "link/CommPage.h"
#include "link/Connection.h"
#include "link/SensorLink.h"
#include "live/BigNumberPanel.h"
#include "live/DataPanel.h"
#include "params/ParameterPanels.h"
#include "settings/SettingsPanels.h"

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

// A child panel whose subsystem is not built yet shows its name, so the layout is complete.
QWidget* MakeEmptyPanel(const QString& name, const QString& caption) {
    auto* panel = new QWidget;
    panel->setObjectName(name);
    auto* layout = new QVBoxLayout(panel);
    auto* label = new QLabel(caption, panel);
    label->setAlignment(Qt::AlignCenter);
    layout->addWidget(label);
    return panel;
}

} // namespace

Program::Program(AppState& state, OperatorDialogs& dialogs)
    : state(state), dialogs(dialogs), refreshClock(this),
      link(std::make_unique<SensorLink>(state, *this)),
      helpRouter(std::make_unique<HelpRouter>(dialogs)) {
    BuildPanels();
    qApp->installEventFilter(helpRouter.get());
}

Program::~Program() {
    qApp->removeEventFilter(helpRouter.get());
    delete mainPanel;
    delete bigColourPanel;
    delete bigGroupPanel;
    delete passwordPanel;
}

void Program::BuildPanels() {
    mainPanel = new MainPanel(*this);
    commPage = new CommPage(*this);
    mainPanel->SetPage(MainPanel::kCommunicationPage, commPage);

    dataPanel = new DataPanel(*this, refreshClock);
    graphPanel = MakeEmptyPanel(QStringLiteral("GRAPHP"), tr("SIGNAL GRAPHS"));
    teachPanel1 = MakeEmptyPanel(QStringLiteral("TEACHP1"), tr("MEAN-VALUE TEACH"));
    teachPanel2 = MakeEmptyPanel(QStringLiteral("TEACHP2"), tr("RECORDED-VALUE TEACH"));
    scopePanel = MakeEmptyPanel(QStringLiteral("SCOPEP"), tr("SCOPE"));
    for (QWidget* panel :
         {static_cast<QWidget*>(dataPanel), graphPanel, teachPanel1, teachPanel2, scopePanel})
        mainPanel->AddChildPanel(panel);

    bigColourPanel = new BigNumberPanel(QStringLiteral("COLBIGP"), tr("C-No:"), refreshClock);
    bigGroupPanel = new BigNumberPanel(QStringLiteral("GRPBIGP"), tr("GROUP"), refreshClock);
    passwordPanel = MakeEmptyPanel(QStringLiteral("PASSWORDP"), tr("PASSWORD"));

    BuildParameterPages(*this);
    BuildTableAttributesPage(*this);
    MarkActiveRows(*this);
}

void Program::InitApplication() {
    state.link.tcpConnected = 0;
    state.frames.currentOrder = 1;
    state.params.memoryTarget = kRam;
    state.params.paraSet = 0;
    state.flags.running = 0;
    state.flags.pendingSend = 0;
    state.flags.pendingGet = 0;
    state.flags.teachTolerance = 0;

    if (programDirectory.isEmpty()) programDirectory = QCoreApplication::applicationDirPath();
    state.settings.programDir = QDir::toNativeSeparators(programDirectory).toStdString();
    state.settings.panelSettingsPath =
        QDir::toNativeSeparators(
            QDir(programDirectory).filePath(QStringLiteral("PanelSettings.cfg")))
            .toStdString();

    GetParametersFromPanel(*this);
    ReadPanelSettingsLayout();
    mainPanel->tabMain1->setTabVisible(MainPanel::kOffsetPage, false);
    mainPanel->tabMain1->setCurrentIndex(MainPanel::kParameterPage);
    dataPanel->tabDataP1->setCurrentIndex(DataPanel::k3DPage);
    ShowChildPanel(dataPanel);
    mainPanel->show();

    ReadPanelSettingsCommunication();
    ShowLinkFields(*this);

    SetButtonsDimmed(0, 1);
    TryToConnect(*this);
    SetButtonsDimmed(0, 0);
}

void Program::ShutDown() {
    if (link) link->ShutDown();
}

void Program::ShowChildPanel(QWidget* panel) {
    for (QWidget* child :
         {static_cast<QWidget*>(dataPanel), graphPanel, teachPanel1, teachPanel2, scopePanel})
        child->hide();
    for (QWidget* child :
         {static_cast<QWidget*>(dataPanel), graphPanel, teachPanel1, teachPanel2, scopePanel}) {
        if (child == panel) child->show();
    }
}

void Program::SetButtonsDimmed(int liveMode, int dim) {
    const bool enabled = dim == 0;
    if (liveMode == 0) {
        mainPanel->buttonSend->setEnabled(enabled);
        mainPanel->buttonGet->setEnabled(enabled);
        for (auto* radio : mainPanel->selectMem)
            radio->setEnabled(enabled);
    }
    mainPanel->buttonGo->setEnabled(enabled);
    commPage->buttonTryToConnect->setEnabled(enabled);
    commPage->editSelectBaudrate->setEnabled(enabled);
    if (dim == 1) {
        // These two come back only with a successful identification.
        commPage->buttonChangeBaudrate->setEnabled(false);
        commPage->buttonGenHwInfoFile->setEnabled(false);
    }
    for (QWidget* control : commandControls)
        control->setEnabled(enabled);
    QCoreApplication::processEvents();
}

void Program::RegisterCommandControl(QWidget* control) {
    commandControls.push_back(control);
}

int Program::SendParameters() {
    return ::SendParameters(*this);
}

int Program::GetParameters() {
    return ::GetParameters(*this);
}

void Program::ShowBigPanel(BigPanel which) {
    BigNumberPanel* panel = which == BigPanel::ColourNumber ? bigColourPanel : bigGroupPanel;
    panel->show();
    panel->raise();
}

void Program::ClearCommunicationLog() {
    commPage->commLog->clear();
}

void Program::ShowSensorId() {
    const QString id = QString::fromStdString(state.params.sensorId);
    bigColourPanel->setWindowTitle(tr("C-No:") + QStringLiteral("  ") + id);
    bigGroupPanel->setWindowTitle(tr("GROUP") + QStringLiteral("  ") + id);
}

void Program::ReadPanelSettingsLayout() {
    ::ReadPanelSettingsLayout(*this);
}

void Program::ReadPanelSettingsCommunication() {
    ::ReadPanelSettingsCommunication(*this);
}

void Program::WritePanelSettings() {
    ::WritePanelSettings(*this);
}

void Program::SetStatusLine(const std::string& text) {
    dataPanel->dispStatus->setText(QString::fromLatin1(text.data(), qsizetype(text.size())));
}

void Program::AppendLog(const std::string& text) {
    auto* log = commPage->commLog;
    log->moveCursor(QTextCursor::End);
    log->insertPlainText(QString::fromLatin1(text.data(), qsizetype(text.size())));
    log->moveCursor(QTextCursor::End);
}

void Program::SetLinkButtonsDimmed(bool dimmed) {
    commPage->buttonAccept->setEnabled(!dimmed);
    commPage->buttonChangeBaudrate->setEnabled(!dimmed);
    commPage->buttonGenHwInfoFile->setEnabled(!dimmed);
}

void Program::ShowCommunicationPage() {
    mainPanel->tabMain1->setCurrentIndex(MainPanel::kCommunicationPage);
}

void Program::SetWaitCursor(bool on) {
    if (on)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void Program::OnMainTabChanged(int index) {
    if (index == MainPanel::kCommunicationPage) {
        state.flags.running = 0;
        SetLinkButtonsDimmed(true);
        return;
    }
    if (index == MainPanel::kScopeSettingsPage) {
        state.flags.running = 0;
        ShowChildPanel(scopePanel);
    }
}

void Program::OnMainPanelClose() {
    state.flags.running = 0;
    WritePanelSettings();
    QCoreApplication::quit();
}
