#include "sim/ClientSession.h"

#include <algorithm>

namespace sim {

namespace {

constexpr qint64 kNsPerMs = 1000000;

} // namespace

ClientSession::ClientSession(SensorModel& model, const Faults& faults, TriggerSource& trigger,
                             MeasurementClock& cycles, LogFunction log, WriteFunction write,
                             CloseFunction close, QObject* parent)
    : QObject(parent), model(model), faults(faults), trigger(trigger), cycles(cycles),
      log(std::move(log)), write(std::move(write)), close(std::move(close)) {
    clock.start();
}

ClientSession::~ClientSession() {
    StopSendingUnasked();
}

void ClientSession::StopSendingUnasked() {
    SetTriggerSending(false);
    StopScan();
}

void ClientSession::Receive(const QByteArray& bytes) {
    if (closed) return;
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.constData());
    for (const Request& request : parser.Feed(data, static_cast<std::size_t>(bytes.size()))) {
        log(request);
        const std::vector<std::uint8_t> reply = model.Answer(request);
        // Switched when the request arrives: frames pushed from now on queue behind its reply.
        if (const auto on = TriggerSendingSwitch(request)) SetTriggerSending(*on);
        queue.push_back({ShapeReply(reply, request.order, faults.Get()), request.order});
        // After the acknowledgement is queued, so the blocks can only come behind it.
        if (const auto scan = ParseScanOrder(request)) {
            if (scan->isBreak)
                StopScan();
            else
                StartScan(scan->settings);
        }
    }
    Pump();
}

void ClientSession::Pump() {
    while (!closed) {
        if (!busy) {
            if (queue.empty()) return;
            StartReply();
            continue;
        }
        if (current.plan.held) return; // until ReleaseHeldReply
        const qint64 now = clock.nsecsElapsed();
        if (!WriteDue(now)) {
            timer.StartIn(std::max<qint64>(dueNs - now, 0));
            return;
        }
    }
}

void ClientSession::StartReply() {
    current = std::move(queue.front());
    queue.pop_front();
    if (current.pushed) pushWaiting = false;
    if (current.plan.silent) return;
    busy = true;
    piece = 0;
    offset = 0;
    dueNs = clock.nsecsElapsed() + current.plan.delayMs * kNsPerMs;
    pieceStartNs = dueNs;
}

int ClientSession::ReleaseHeldReply() {
    if (closed) return 0;
    Queued* held = busy && current.plan.held ? &current : nullptr;
    for (auto it = queue.begin(); !held && it != queue.end(); ++it)
        if (it->plan.held) held = &*it;
    if (!held) return 0;
    held->plan.held = false;
    std::size_t bytes = 0;
    for (const auto& part : held->plan.pieces)
        bytes += part.size();
    if (held == &current) {
        dueNs = clock.nsecsElapsed() + current.plan.delayMs * kNsPerMs;
        pieceStartNs = dueNs;
        Pump();
    }
    return static_cast<int>(bytes);
}

// Writes whatever of the current reply is due by `now`; false while it has to wait.
bool ClientSession::WriteDue(qint64 now) {
    if (now < dueNs) return false;
    const auto& pieces = current.plan.pieces;
    if (piece >= pieces.size()) {
        FinishReply();
        return true;
    }
    const auto& bytes = pieces[piece];
    std::size_t end = bytes.size();
    if (current.plan.bytesPerSecond > 0) {
        // Ten bits per byte on the line: only the bytes whose time has come go out.
        const qint64 allowed = (now - pieceStartNs) * current.plan.bytesPerSecond / 1000000000 + 1;
        end = std::min<std::size_t>(bytes.size(), static_cast<std::size_t>(allowed));
    }
    if (end > offset) {
        write(QByteArray(reinterpret_cast<const char*>(bytes.data()) + offset,
                         static_cast<qsizetype>(end - offset)));
        offset = end;
    }
    if (offset < bytes.size()) {
        dueNs =
            pieceStartNs + static_cast<qint64>(offset) * 1000000000 / current.plan.bytesPerSecond;
        return false;
    }
    ++piece;
    offset = 0;
    if (piece < pieces.size()) {
        dueNs = now + current.plan.pauseMs * kNsPerMs;
        pieceStartNs = dueNs;
        return now >= dueNs;
    }
    FinishReply();
    return true;
}

void ClientSession::FinishReply() {
    busy = false;
    const Fault closeFault = faults.Get().closeAfterReplies;
    if (!closeFault.AppliesTo(current.order)) return;
    if (++countedReplies < closeFault.value) return;
    closed = true;
    StopSendingUnasked();
    queue.clear();
    timer.Stop();
    close();
}

void ClientSession::SetTriggerSending(bool on) {
    if (on && closed) return;
    if (on == triggerSending) return;
    triggerSending = on;
    if (on) {
        edgeConnection =
            connect(&trigger, &TriggerSource::Edge, this, &ClientSession::OnTriggerEdge);
        trigger.AddListener();
    } else {
        disconnect(edgeConnection);
        trigger.RemoveListener();
    }
}

void ClientSession::OnTriggerEdge() {
    if (closed || !triggerSending) return;
    // An edge that comes while the last pushed frame still waits for the line is lost, as on a
    // busy sensor; otherwise slow pacing or a long delay would let the queue grow without end.
    if (pushWaiting) return;
    pushWaiting = true;
    // Byte for byte an order-8 reply (whatever code it carries), so the faults set for order 8
    // shape it too.
    queue.push_back({ShapeReply(model.TriggeredMeasurementReply(trigger.FrameCode()), kOrderMeasure,
                                faults.Get()),
                     kOrderMeasure, true});
    Pump();
}

void ClientSession::StartScan(const ScopeSettings& settings) {
    // A new scan replaces one still waiting; it starts with the next cycle.
    StopScan();
    ScopeSettings placed = settings;
    placed.triggerIndex = model.ScopeTriggerIndex();
    capture = std::make_unique<ScopeCapture>(placed);
    cycleListener = cycles.Listen([this](const ScopeSample& sample) { OnMeasured(sample); });
}

void ClientSession::StopScan() {
    capture.reset();
    if (cycleListener != 0) cycles.Unlisten(cycleListener);
    cycleListener = 0;
}

void ClientSession::OnMeasured(const ScopeSample& sample) {
    if (closed || !capture || !capture->Feed(sample)) return;
    // Shaped by the faults of order 110 like its replies, and queued whole, one after the other.
    const FaultSettings settings = faults.Get();
    for (const auto& block : capture->Frames())
        queue.push_back({ShapeReply(block, kOrderScan, settings), kOrderScan});
    StopScan();
    Pump();
}

} // namespace sim
