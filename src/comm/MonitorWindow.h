#pragma once
// The protocol monitor window: the frames on the link as lines, refreshed from the monitor's
// ring while it is open and not paused.
#include <QWidget>

#include <cstdint>

class QPlainTextEdit;
class QPushButton;
class QTimer;

namespace comm {

class ProtocolMonitor;

class MonitorWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr int kRefreshMs = 100;
    // Lines added per refresh at most: more than anyone reads, and formatting every frame of a
    // fast GO loop would slow the loop itself. The ring and SAVE keep all of them.
    static constexpr std::size_t kLinesPerRefresh = 100;

    explicit MonitorWindow(ProtocolMonitor& monitor, QWidget* parent = nullptr);

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
    ProtocolMonitor& monitor;
    QPlainTextEdit* lines;
    QPushButton* buttonPause;
    QPushButton* buttonClear;
    QPushButton* buttonSave;
    QPushButton* buttonClose;
    QTimer* refreshTimer;
    std::uint64_t shown = 0; // frames recorded when the view last caught up
};

} // namespace comm
