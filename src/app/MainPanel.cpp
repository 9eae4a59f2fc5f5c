#include "app/MainPanel.h"

#include "app/AppState.h"
#include "app/Program.h"
#include "live/DataPanel.h"
#include "live/GoLoop.h"
#include "params/ParameterPanels.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabWidget>
#include <QVBoxLayout>

MainPanel::MainPanel(Program& program) : QWidget(nullptr), program(program) {
    setObjectName(QStringLiteral("MAINP"));
    setWindowTitle(QStringLiteral("CHROMIX3-Varev V4.2"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(6);
    layout->addWidget(BuildCommandBar());

    auto* body = new QHBoxLayout;
    body->setSpacing(6);
    tabMain1 = new QTabWidget(this);
    tabMain1->setObjectName(QStringLiteral("TabMain1"));
    tabMain1->setUsesScrollButtons(true);
    // Nine pages share a narrow column: compact tabs keep them all in view.
    tabMain1->setStyleSheet(QStringLiteral("QTabBar::tab { padding: 4px 7px; }"));
    // Short labels so all nine fit the column side by side.
    const char* labels[kPageCount] = {"COM", "PARA", "GROUP", "TEACH", "REC",
                                      "CAL", "ROWS", "VAREV", "OFFSET"};
    for (const char* label : labels)
        tabMain1->addTab(new QWidget, QString::fromLatin1(label));
    body->addWidget(tabMain1, 5);

    childArea = new QWidget(this);
    childArea->setObjectName(QStringLiteral("ChildArea"));
    childLayout = new QGridLayout(childArea);
    childLayout->setContentsMargins(0, 0, 0, 0);
    body->addWidget(childArea, 7);
    layout->addLayout(body, 1);

    // Roomier than the restore size, so the pages need no scrolling at first start.
    resize(1000, 660);

    connect(tabMain1, &QTabWidget::currentChanged, this,
            [this](int index) { this->program.OnMainTabChanged(index); });
}

QWidget* MainPanel::BuildCommandBar() {
    auto* bar = new QWidget(this);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);

    auto makeButton = [bar](const QString& name, const QString& text, Qt::Key key) {
        auto* button = new QPushButton(text, bar);
        button->setObjectName(name);
        button->setShortcut(QKeySequence(key));
        button->setMinimumWidth(64);
        button->setFocusPolicy(Qt::TabFocus);
        return button;
    };
    buttonSend = makeButton(QStringLiteral("ButtonSend"), tr("SEND"), Qt::Key_F9);
    buttonGet = makeButton(QStringLiteral("ButtonGet"), tr("GET"), Qt::Key_F10);
    buttonGo = makeButton(QStringLiteral("ButtonGo"), tr("GO"), Qt::Key_F11);
    buttonStop = makeButton(QStringLiteral("ButtonStop"), tr("STOP"), Qt::Key_F12);
    row->addWidget(buttonSend);
    row->addWidget(buttonGet);

    auto* memBox = new QGroupBox(bar);
    memBox->setObjectName(QStringLiteral("SelectMem"));
    auto* memRow = new QHBoxLayout(memBox);
    memRow->setContentsMargins(6, 2, 6, 2);
    memGroup = new QButtonGroup(this);
    const char* memLabels[3] = {"RAM", "EEPROM", "FILE"};
    for (int i = 0; i < 3; ++i) {
        auto* radio = new QRadioButton(QString::fromLatin1(memLabels[i]), memBox);
        radio->setObjectName(QStringLiteral("SelectMem"));
        selectMem[std::size_t(i)] = radio;
        memGroup->addButton(radio, i + 1);
        memRow->addWidget(radio);
    }
    selectMem[0]->setChecked(true);
    row->addWidget(memBox);

    auto* setBox = new QGroupBox(bar);
    setBox->setObjectName(QStringLiteral("SelectParaSet"));
    auto* setRow = new QHBoxLayout(setBox);
    setRow->setContentsMargins(6, 2, 6, 2);
    paraSetGroup = new QButtonGroup(this);
    for (int i = 0; i < 2; ++i) {
        auto* radio = new QRadioButton(QStringLiteral("ParaSet%1").arg(i), setBox);
        radio->setObjectName(QStringLiteral("SelectParaSet"));
        selectParaSet[std::size_t(i)] = radio;
        paraSetGroup->addButton(radio, i);
        setRow->addWidget(radio);
    }
    selectParaSet[0]->setChecked(true);
    row->addWidget(setBox);
    row->addStretch(1);
    row->addWidget(buttonGo);
    row->addWidget(buttonStop);

    connect(buttonGo, &QPushButton::clicked, this, &MainPanel::CBF_ButtonGo);
    connect(buttonStop, &QPushButton::clicked, this, &MainPanel::CBF_ButtonStop);
    connect(buttonSend, &QPushButton::clicked, this, &MainPanel::CBF_ButtonSend);
    connect(buttonGet, &QPushButton::clicked, this, &MainPanel::CBF_ButtonGet);
    connect(memGroup, &QButtonGroup::idClicked, this, &MainPanel::CBF_SelectMem);
    connect(paraSetGroup, &QButtonGroup::idClicked, this, &MainPanel::CBF_SelectParaSet);
    return bar;
}

void MainPanel::SetPage(int index, QWidget* page) {
    QWidget* old = tabMain1->widget(index);
    const QString label = tabMain1->tabText(index);
    const bool visible = tabMain1->isTabVisible(index);
    const QSignalBlocker blocker(tabMain1);
    const int current = tabMain1->currentIndex();
    tabMain1->removeTab(index);
    tabMain1->insertTab(index, page, label);
    tabMain1->setTabVisible(index, visible);
    tabMain1->setCurrentIndex(current);
    delete old;
}

void MainPanel::AddChildPanel(QWidget* panel) {
    panel->setParent(childArea);
    childLayout->addWidget(panel, 0, 0);
    panel->hide();
}

void MainPanel::RestoreSize() {
    resize(kRestoreWidth, kRestoreHeight);
    const QScreen* screen = this->screen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    QRect frame = frameGeometry();
    frame.moveCenter(area.center());
    move(frame.topLeft());
}

void MainPanel::CBF_ButtonGo() {
    program.SetButtonsDimmed(1, 1);
    // The displays follow the modes as the controls show them now.
    GetParametersFromPanel(program);
    program.ShowChildPanel(&program.Data());
    RunGoLoop(program);
    program.SetButtonsDimmed(0, 0);
}

void MainPanel::CBF_ButtonStop() {
    program.state.flags.running = 0;
}

void MainPanel::CBF_ButtonSend() {
    if (program.state.flags.running) {
        program.state.flags.pendingSend = 1;
        return;
    }
    program.SetButtonsDimmed(0, 1);
    program.SendParameters();
    program.SetButtonsDimmed(0, 0);
}

void MainPanel::CBF_ButtonGet() {
    if (program.state.flags.running) {
        program.state.flags.pendingGet = 1;
        return;
    }
    program.SetButtonsDimmed(0, 1);
    program.GetParameters();
    program.SetButtonsDimmed(0, 0);
}

void MainPanel::CBF_SelectMem(int memoryTarget) {
    program.state.params.memoryTarget = static_cast<std::uint16_t>(memoryTarget);
}

void MainPanel::CBF_SelectParaSet(int paraSet) {
    program.state.params.paraSet = static_cast<std::uint16_t>(paraSet);
}

void MainPanel::closeEvent(QCloseEvent* event) {
    program.OnMainPanelClose();
    event->accept();
}

void MainPanel::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        RestoreSize();
        return;
    }
    QWidget::mouseDoubleClickEvent(event);
}
