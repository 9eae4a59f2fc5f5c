#include "commpage/MonitorWindow.h"

#include "controls/FileChooser.h"

#include <QAbstractListModel>
#include <QAction>
#include <QClipboard>
#include <QCloseEvent>
#include <QColor>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace comm {

// The frames of the view as rows: a row's text is made when the view asks for it, which it
// does only for the rows in sight.
class MonitorLines : public QAbstractListModel {
public:
    MonitorLines(const ProtocolMonitor& frames, QObject* parent)
        : QAbstractListModel(parent), frames(frames) {}

    int rowCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : int(frames.Size());
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || std::size_t(index.row()) >= frames.Size()) return {};
        const FrameRecord& record = frames.At(std::size_t(index.row()));
        if (role == Qt::DisplayRole) return QString::fromStdString(FrameLine(record));
        if (role == Qt::ForegroundRole && FrameFailed(record)) return QColor(Qt::red);
        return {};
    }
    // The frames change under the view: `added` came at the end, and as many as the store
    // dropped went from the start.
    void Changed(std::size_t before, std::size_t added, std::size_t after) {
        if (before + added == after) {
            beginInsertRows({}, int(before), int(after) - 1);
            endInsertRows();
        } else {
            beginResetModel();
            endResetModel();
        }
    }
    void Reset() {
        beginResetModel();
        endResetModel();
    }

private:
    const ProtocolMonitor& frames;
};

MonitorWindow::MonitorWindow(ProtocolMonitor& monitor, QWidget* parent)
    : QWidget(parent, Qt::Window), monitor(monitor), model(new MonitorLines(shownFrames, this)),
      refreshTimer(new QTimer(this)) {
    setObjectName(QStringLiteral("ProtocolMonitor"));
    setWindowTitle(tr("PROTOCOL MONITOR"));
    resize(900, 420);
    auto* layout = new QVBoxLayout(this);

    lines = new QListView(this);
    lines->setObjectName(QStringLiteral("TextMonitorLines"));
    lines->setModel(model);
    // All rows are alike: the view lays out ten thousand of them by the first one.
    lines->setUniformItemSizes(true);
    lines->setWordWrap(false);
    lines->setTextElideMode(Qt::ElideNone);
    lines->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    lines->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lines->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lines->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    lines->setAccessibleName(tr("frames to and from the sensor"));
    auto* copy = new QAction(lines);
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetShortcut);
    lines->addAction(copy);
    connect(copy, &QAction::triggered, this, &MonitorWindow::CopySelectedLines);
    layout->addWidget(lines, 1);

    auto* buttons = new QHBoxLayout;
    auto makeButton = [this, buttons](const QString& name, const QString& text) {
        auto* button = new QPushButton(text, this);
        button->setObjectName(name);
        buttons->addWidget(button);
        return button;
    };
    buttonPause = makeButton(QStringLiteral("ButtonMonitorPause"), tr("PAUSE"));
    buttonPause->setCheckable(true);
    buttonClear = makeButton(QStringLiteral("ButtonMonitorClear"), tr("CLEAR"));
    buttonSave = makeButton(QStringLiteral("ButtonMonitorSave"), tr("SAVE..."));
    buttons->addStretch(1);
    buttonClose = makeButton(QStringLiteral("ButtonMonitorClose"), tr("CLOSE"));
    layout->addLayout(buttons);

    refreshTimer->setInterval(kRefreshMs);
    connect(refreshTimer, &QTimer::timeout, this, &MonitorWindow::Refresh);
    connect(buttonPause, &QPushButton::toggled, this, [this](bool paused) {
        // Paused, the ring keeps recording; the view catches up on resume.
        if (paused) {
            refreshTimer->stop();
        } else {
            Refresh();
            refreshTimer->start();
        }
    });
    connect(buttonClear, &QPushButton::clicked, this, &MonitorWindow::CBF_ButtonMonitorClear);
    connect(buttonSave, &QPushButton::clicked, this, &MonitorWindow::CBF_ButtonMonitorSave);
    connect(buttonClose, &QPushButton::clicked, this, &QWidget::close);
}

MonitorWindow::~MonitorWindow() = default;

void MonitorWindow::Refresh() {
    const std::uint64_t recorded = monitor.Recorded();
    if (recorded < shown) shown = 0; // cleared meanwhile
    const std::size_t fresh =
        std::size_t(std::min<std::uint64_t>(recorded - shown, monitor.Size()));
    shown = recorded;
    if (fresh == 0) return;
    const std::size_t before = shownFrames.Size();
    for (std::size_t i = monitor.Size() - fresh; i < monitor.Size(); ++i)
        shownFrames.Append(monitor.At(i));
    model->Changed(before, fresh, shownFrames.Size());
    // The newest line in view from its start: the time and direction, not the end of its hex.
    lines->scrollToBottom();
    lines->horizontalScrollBar()->setValue(0);
}

void MonitorWindow::CopySelectedLines() {
    QModelIndexList selected = lines->selectionModel()->selectedRows();
    std::sort(selected.begin(), selected.end());
    QStringList text;
    for (const QModelIndex& index : selected)
        text << index.data().toString();
    if (!text.isEmpty()) QGuiApplication::clipboard()->setText(text.join('\n') + '\n');
}

void MonitorWindow::CBF_ButtonMonitorClear() {
    monitor.Clear();
    shownFrames.Clear();
    shown = 0;
    model->Reset();
}

void MonitorWindow::CBF_ButtonMonitorSave() {
    const QString path = core::ChooseFile(this, tr("SAVE MONITOR"), QStringLiteral("monitor.txt"),
                                          tr("Text files (*.txt);;All files (*)"), true);
    if (path.isEmpty()) return;
    std::string refusal;
    if (!monitor.Save(path.toStdString(), refusal))
        QMessageBox::warning(this, tr("SAVE MONITOR"),
                             refusal.empty() ? tr("The file could not be written.")
                                             : QString::fromStdString(refusal));
}

void MonitorWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    Refresh();
    if (!buttonPause->isChecked()) refreshTimer->start();
}

void MonitorWindow::closeEvent(QCloseEvent* event) {
    refreshTimer->stop();
    QWidget::closeEvent(event);
    emit Closed();
}

} // namespace comm
