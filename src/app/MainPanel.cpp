#include "app/MainPanel.h"

#include "core/Shell.h"

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

namespace app {

MainPanel::MainPanel() : QWidget(nullptr) {
    setObjectName(QStringLiteral("MAINP"));
    setWindowTitle(QStringLiteral("CHROMIX3-Varev V4.2"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(6);
    auto* bar = new QWidget(this);
    commandBar = new QHBoxLayout(bar);
    commandBar->setContentsMargins(0, 0, 0, 0);
    commandBar->addStretch(1);
    layout->addWidget(bar);

    auto* body = new QHBoxLayout;
    body->setSpacing(6);
    tabMain1 = new QTabWidget(this);
    tabMain1->setObjectName(QStringLiteral("TabMain1"));
    tabMain1->setUsesScrollButtons(true);
    // Nine pages share a narrow column: compact tabs keep them all in view.
    tabMain1->setStyleSheet(QStringLiteral("QTabBar::tab { padding: 4px 7px; }"));
    // Short labels so all nine fit the column side by side.
    const char* labels[core::kMainPageCount] = {"COM", "PARA", "GROUP", "TEACH", "REC",
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

    connect(tabMain1, &QTabWidget::currentChanged, this, &MainPanel::PageChanged);
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

void MainPanel::SetPageVisible(int index, bool visible) {
    tabMain1->setTabVisible(index, visible);
}

void MainPanel::ShowPage(int index) {
    tabMain1->setCurrentIndex(index);
}

int MainPanel::CurrentPage() const {
    return tabMain1->currentIndex();
}

void MainPanel::AddToCommandBar(QWidget* widget, bool right) {
    widget->setParent(this);
    if (right) {
        commandBar->addWidget(widget);
        return;
    }
    // Left widgets go before the stretch, in the order they come.
    int stretch = 0;
    while (stretch < commandBar->count() && !commandBar->itemAt(stretch)->spacerItem())
        ++stretch;
    commandBar->insertWidget(stretch, widget);
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

void MainPanel::closeEvent(QCloseEvent* event) {
    emit Closing();
    event->accept();
}

void MainPanel::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        RestoreSize();
        return;
    }
    QWidget::mouseDoubleClickEvent(event);
}

} // namespace app
