#include "app/MainPanel.h"

#include "core/Shell.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace app {

MainPanel::MainPanel() : QWidget(nullptr) {
    setObjectName(QStringLiteral("MAINP"));
    setWindowTitle(QStringLiteral("CHROMIX3-Varev V4.2"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(4);
    auto* bar = new QWidget(this);
    commandBar = new QHBoxLayout(bar);
    commandBar->setContentsMargins(0, 0, 0, 0);
    commandBar->addStretch(1);
    layout->addWidget(bar);

    auto* body = new QHBoxLayout;
    body->setSpacing(6);
    tabMain1 = new QTabWidget(this);
    tabMain1->setObjectName(QStringLiteral("TabMain1"));
    // Every tab stays in view: a bar that scrolls would move the tabs under the mouse.
    tabMain1->setUsesScrollButtons(false);
    // Nine pages share a narrow column: compact tabs keep them all in view. The sheet goes on
    // the bar alone: on the tab control it would restyle every widget of every page.
    tabMain1->tabBar()->setStyleSheet(QStringLiteral("QTabBar::tab { padding: 4px 3px; }"));
    body->addWidget(tabMain1, 5);
    // All nine tabs from the start: a page registered after the window is shown takes the place
    // of its stand-in, and the bar never changes under the operator's eyes.
    for (int i = 0; i < core::kMainPageCount; ++i) {
        standIns[std::size_t(i)] = new QWidget;
        InsertTab(i);
    }

    childArea = new QWidget(this);
    childArea->setObjectName(QStringLiteral("ChildArea"));
    childLayout = new QGridLayout(childArea);
    childLayout->setContentsMargins(0, 0, 0, 0);
    body->addWidget(childArea, 7);
    layout->addLayout(body, 1);
    layout->addWidget(BuildStatusBar());

    // Roomier than the restore size, so the pages need no scrolling at first start.
    resize(1000, 660);

    connect(tabMain1, &QTabWidget::currentChanged, this,
            [this](int tab) { emit PageChanged(PageOf(tabMain1->widget(tab))); });
}

namespace {

// A status field that shows what fits and ends with "..." where it is cut; the whole text is
// its tool tip.
class StatusField : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const QRect area = contentsRect();
        painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter,
                         fontMetrics().elidedText(text(), Qt::ElideRight, area.width()));
    }
};

} // namespace

QWidget* MainPanel::BuildStatusBar() {
    auto* bar = new QFrame(this);
    bar->setObjectName(QStringLiteral("StatusBar"));
    bar->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(6, 1, 6, 1);
    row->setSpacing(12);
    auto makeField = [bar, row](const char* role, int stretch) {
        auto* field = new StatusField(bar);
        field->setObjectName(QString::fromLatin1(role));
        field->setTextFormat(Qt::PlainText);
        field->setMinimumWidth(60);
        field->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        row->addWidget(field, stretch);
        return field;
    };
    statusLink = makeField("StatusLink", 4);
    statusLoop = makeField("StatusLoop", 3);
    statusCommand = makeField("StatusCommand", 4);
    // The loop field has room for its longest text.
    statusLoop->setMinimumWidth(statusLoop->fontMetrics().horizontalAdvance(
                                    QStringLiteral("GO RUNNING \u00B7 99999 measurements/s")) +
                                8);
    // Where the operator looks for the link and the loop: the panel differs from the sensor.
    statusUnsent = new QLabel(tr("CHANGES NOT SENT"), bar);
    statusUnsent->setObjectName(QStringLiteral("StatusUnsent"));
    statusUnsent->setStyleSheet(
        QStringLiteral("QLabel { font-weight: bold; background-color: #ffd36b; padding: 0 4px; }"));
    statusUnsent->setToolTip(tr("The panel holds changes that have not been sent to the sensor: "
                                "SEND them, or GET to return to the sensor's parameters."));
    statusUnsent->setVisible(false);
    row->insertWidget(1, statusUnsent);
    return bar;
}

void MainPanel::ShowStatus(const QString& link, const QString& loop, const QString& command,
                           const QString& linkDetail) {
    // Set only on change: the bar is refreshed several times a second.
    auto show = [](QLabel* field, const QString& text, const QString& tip) {
        if (field->text() == text && field->toolTip() == tip) return;
        field->setText(text);
        field->setToolTip(tip);
    };
    show(statusLink, link, linkDetail);
    show(statusLoop, loop, loop);
    show(statusCommand, command, command);
}

void MainPanel::ShowUnsent(bool unsent) {
    if (statusUnsent->isVisibleTo(this) == unsent) return;
    statusUnsent->setVisible(unsent);
}

namespace {

// Short labels so all nine fit the column side by side.
const char* const kTabLabels[core::kMainPageCount] = {"COM", "PARA", "GROUP", "TEACH", "REC",
                                                      "CAL", "ROWS", "VAREV", "OFFSET"};

} // namespace

void MainPanel::SetPage(int index, QWidget* page) {
    if (index < 0 || index >= core::kMainPageCount || pages[std::size_t(index)]) return;
    // The page takes the place of the tab's stand-in, and whatever was done to the tab.
    QWidget* standIn = Tabbed(index);
    standIns[std::size_t(index)] = nullptr;
    pages[std::size_t(index)] = page;
    page->setEnabled(standIn->isEnabled());
    const int position = tabMain1->indexOf(standIn);
    const QString label = QString::fromLatin1(kTabLabels[index]);
    const QSignalBlocker blocker(tabMain1);
    if (position >= 0) {
        const bool current = tabMain1->currentIndex() == position;
        tabMain1->insertTab(position, page, label);
        tabMain1->removeTab(position + 1);
        if (current) tabMain1->setCurrentIndex(position);
    } else {
        // Out of the bar as its stand-in was, the page still belongs to the tab control.
        tabMain1->addTab(page, label);
        tabMain1->removeTab(tabMain1->count() - 1);
    }
    delete standIn;
}

QWidget* MainPanel::Tabbed(int index) const {
    const std::size_t i = std::size_t(index);
    return pages[i] ? pages[i] : standIns[i];
}

void MainPanel::InsertTab(int index) {
    // Each tab goes after the tabs of lower index that are in the bar.
    int position = 0;
    for (int i = 0; i < index; ++i)
        position += tabMain1->indexOf(Tabbed(i)) >= 0 ? 1 : 0;
    const QSignalBlocker blocker(tabMain1);
    tabMain1->insertTab(position, Tabbed(index), QString::fromLatin1(kTabLabels[index]));
}

void MainPanel::SetPageVisible(int index, bool visible) {
    if (index < 0 || index >= core::kMainPageCount) return;
    QWidget* page = Tabbed(index);
    const bool present = tabMain1->indexOf(page) >= 0;
    // A hidden tab can still be reached by the wheel over the tab bar or by Ctrl+Tab, so a
    // locked page leaves the tab control altogether, and is disabled so no shortcut reaches
    // its commands.
    page->setEnabled(visible);
    if (visible && !present) InsertTab(index);
    if (!visible && present) tabMain1->removeTab(tabMain1->indexOf(page));
}

void MainPanel::ShowPage(int index) {
    if (index < 0 || index >= core::kMainPageCount) return;
    if (tabMain1->indexOf(Tabbed(index)) >= 0) tabMain1->setCurrentWidget(Tabbed(index));
}

int MainPanel::CurrentPage() const {
    return PageOf(tabMain1->currentWidget());
}

bool MainPanel::PageShown(int index) const {
    return index >= 0 && index < core::kMainPageCount && pages[std::size_t(index)] &&
           tabMain1->indexOf(pages[std::size_t(index)]) >= 0;
}

int MainPanel::PageOf(const QWidget* page) const {
    for (int i = 0; i < core::kMainPageCount; ++i)
        if (page && Tabbed(i) == page) return i;
    return -1;
}

void MainPanel::SetBrandBlock(QWidget* block) {
    block->setParent(this);
    static_cast<QVBoxLayout*>(layout())->insertWidget(0, block);
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
    if (mayClose && !mayClose()) {
        event->ignore();
        return;
    }
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
