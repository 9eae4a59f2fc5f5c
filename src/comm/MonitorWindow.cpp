#include "comm/MonitorWindow.h"

#include "comm/ProtocolMonitor.h"

#include <QCloseEvent>
#include <QFileDialog>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace comm {

MonitorWindow::MonitorWindow(ProtocolMonitor& monitor, QWidget* parent)
    : QWidget(parent, Qt::Window), monitor(monitor), refreshTimer(new QTimer(this)) {
    setObjectName(QStringLiteral("ProtocolMonitor"));
    setWindowTitle(tr("PROTOCOL MONITOR"));
    resize(900, 420);
    auto* layout = new QVBoxLayout(this);

    lines = new QPlainTextEdit(this);
    lines->setObjectName(QStringLiteral("TextMonitorLines"));
    lines->setReadOnly(true);
    lines->setLineWrapMode(QPlainTextEdit::NoWrap);
    lines->setMaximumBlockCount(int(ProtocolMonitor::kCapacity));
    lines->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    lines->setAccessibleName(tr("frames to and from the sensor"));
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

void MonitorWindow::Refresh() {
    const std::uint64_t recorded = monitor.Recorded();
    if (recorded < shown) shown = 0; // cleared meanwhile
    const std::uint64_t fresh = std::min<std::uint64_t>(recorded - shown, monitor.Size());
    if (fresh == 0) return;
    QTextCursor cursor(lines->document());
    cursor.movePosition(QTextCursor::End);
    QTextCharFormat plain;
    QTextCharFormat failed;
    failed.setForeground(Qt::red);
    cursor.beginEditBlock();
    const std::size_t skipped = std::size_t(fresh) - std::min<std::size_t>(fresh, kLinesPerRefresh);
    if (skipped > 0) {
        if (!lines->document()->isEmpty()) cursor.insertBlock();
        cursor.insertText(tr("   ... %1 frames not shown here (kept for SAVE)").arg(skipped),
                          plain);
    }
    for (std::size_t i = monitor.Size() - std::size_t(fresh) + skipped; i < monitor.Size(); ++i) {
        const FrameRecord& record = monitor.At(i);
        if (!lines->document()->isEmpty()) cursor.insertBlock();
        cursor.insertText(QString::fromStdString(FrameLine(record)),
                          FrameFailed(record) ? failed : plain);
    }
    cursor.endEditBlock();
    shown = recorded;
    // The newest line in view from its start: the time and direction, not the end of its hex.
    lines->moveCursor(QTextCursor::End);
    lines->moveCursor(QTextCursor::StartOfBlock);
    lines->ensureCursorVisible();
}

void MonitorWindow::CBF_ButtonMonitorClear() {
    monitor.Clear();
    shown = 0;
    lines->clear();
}

void MonitorWindow::CBF_ButtonMonitorSave() {
    const QString path =
        QFileDialog::getSaveFileName(this, tr("SAVE MONITOR"), QStringLiteral("monitor.txt"),
                                     tr("Text files (*.txt);;All files (*)"));
    if (path.isEmpty()) return;
    if (!monitor.Save(path.toStdString()))
        QMessageBox::warning(this, tr("SAVE MONITOR"), tr("The file could not be written."));
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
