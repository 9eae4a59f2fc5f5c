#pragma once
// The sensor's simulated trigger input. Its edges come from a period timer or one at a time
// from Fire(), and reach every connection that has trigger-driven sending on. The timer runs
// only while at least one connection listens, so an idle simulator stays idle.
#include <QObject>
#include <QTimer>

#include <atomic>
#include <cstdint>

namespace sim {

class TriggerSource : public QObject {
    Q_OBJECT
public:
    static constexpr int kDefaultPeriodMs = 200;

    explicit TriggerSource(QObject* parent = nullptr);

    // 0 (or less): no periodic edges, only those from Fire(). A changed period starts counting
    // from now.
    void SetPeriodMs(int ms);
    int PeriodMs() const { return periodMs; }
    // One edge of the input.
    void Fire();
    // The reply code of the frames the edges push: 8, a measurement, unless set to another
    // order's code (0: an error reply), for clients that must cope with those.
    void SetFrameCode(int code) { frameCode = static_cast<std::uint8_t>(code); }
    std::uint8_t FrameCode() const { return frameCode; }

    // Connections count themselves in while they send on triggers. Listeners() is safe from
    // any thread; the rest belongs to the thread the source lives on.
    void AddListener();
    void RemoveListener();
    int Listeners() const { return listeners.load(); }

signals:
    void Edge();

private:
    void UpdateTimer();

    QTimer timer{this};
    int periodMs = kDefaultPeriodMs;
    std::uint8_t frameCode = 8;
    std::atomic<int> listeners{0};
};

} // namespace sim
