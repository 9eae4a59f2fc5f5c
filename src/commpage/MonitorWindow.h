#pragma once
// The protocol monitor window: the frames on the link as lines, refreshed from the monitor's
// ring while it is open and not paused. The view keeps its own copy of the frames it shows, so
// PAUSE holds it while the ring goes on, and makes the text only of the lines in sight.
#include "link/ProtocolMonitor.h"

#include <QWidget>

#include <cstdint>

class QListView;
class QPushButton;
class QTimer;

namespace comm {

class MonitorLines;

class MonitorWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr int kRefreshMs = 100;

    explicit MonitorWindow(ProtocolMonitor& monitor, QWidget* parent = nullptr);
    ~MonitorWindow() override;

    // Shows what the ring holds now (the timer does it while not paused).
    void Refresh();
    void CBF_ButtonMonitorClear();
    void CBF_ButtonMonitorSave();

signals:
    // The window was closed, by CLOSE or by its frame.
    void Closed();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void CopySelectedLines();

    ProtocolMonitor& monitor;
    ProtocolMonitor shownFrames; // what the view shows, the newest last
    MonitorLines* model;
    QListView* lines;
    QPushButton* buttonPause;
    QPushButton* buttonClear;
    QPushButton* buttonSave;
    QPushButton* buttonClose;
    QTimer* refreshTimer;
    std::uint64_t shown = 0; // frames recorded when the view last caught up
};

} // namespace comm
