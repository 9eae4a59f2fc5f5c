#include "sim/SimThread.h"

#include "sim/SimServer.h"

#include <QMetaObject>

namespace sim {

SimThread::SimThread(SensorModel::Options options) {
    server = new SimServer(std::move(options));
    server->moveToThread(&thread);
    thread.setObjectName(QStringLiteral("chromix3-sim"));
    thread.start();
}

SimThread::~SimThread() {
    Stop();
}

template <typename Function> void SimThread::RunOnServer(Function&& function) const {
    if (!server) return;
    QMetaObject::invokeMethod(server, std::forward<Function>(function),
                              Qt::BlockingQueuedConnection);
}

quint16 SimThread::StartTcp(quint16 port) {
    quint16 bound = 0;
    RunOnServer([&]() {
        if (server->ListenTcp(port)) bound = server->TcpPort();
    });
    return bound;
}

bool SimThread::StartPty(const QString& linkPath) {
    bool ok = false;
    RunOnServer([&]() { ok = server->OpenPty(linkPath); });
    return ok;
}

QString SimThread::PtySlavePath() const {
    QString path;
    RunOnServer([&]() { path = server->PtySlavePath(); });
    return path;
}

bool SimThread::PtyClientPresent() const {
    bool present = false;
    RunOnServer([&]() { present = server->PtyClientPresent(); });
    return present;
}

QString SimThread::LastError() const {
    QString error;
    RunOnServer([&]() { error = server->LastError(); });
    return error;
}

void SimThread::SetFaults(const FaultSettings& settings) {
    if (server) server->FaultSwitches().Set(settings);
}

FaultSettings SimThread::CurrentFaults() const {
    return server ? server->FaultSwitches().Get() : FaultSettings{};
}

void SimThread::ClearFaults() {
    SetFaults(FaultSettings{});
}

int SimThread::ReleaseHeldReply() {
    int bytes = 0;
    RunOnServer([&]() { bytes = server->ReleaseHeldReply(); });
    return bytes;
}

std::vector<Request> SimThread::RequestLog() const {
    return server ? server->RequestLog() : std::vector<Request>{};
}

void SimThread::ClearRequestLog() {
    if (server) server->ClearRequestLog();
}

ParameterSets SimThread::RamImage() const {
    ParameterSets sets{};
    RunOnServer([&]() { sets = server->Model().Ram(); });
    return sets;
}

ParameterSets SimThread::EepromImage() const {
    ParameterSets sets{};
    RunOnServer([&]() { sets = server->Model().Eeprom(); });
    return sets;
}

void SimThread::SetRamImage(int set, const ParameterImage& image) {
    RunOnServer([&]() { server->Model().SetRam(set, image); });
}

void SimThread::SetTriggerPeriodMs(int ms) {
    RunOnServer([&]() { server->Trigger().SetPeriodMs(ms); });
}

void SimThread::FireTrigger() {
    RunOnServer([&]() { server->Trigger().Fire(); });
}

bool SimThread::TriggerSending() const {
    return server && server->TriggerSending();
}

void SimThread::SetTriggerFrameCode(int code) {
    RunOnServer([&]() { server->Trigger().SetFrameCode(code); });
}

void SimThread::SetInput0(bool high) {
    RunOnServer([&]() { server->SetInput0(high); });
}

void SimThread::PulseChannel3(int digits, int cycles) {
    RunOnServer([&]() { server->PulseChannel3(digits, cycles); });
}

void SimThread::SetRawSpread(int spread) {
    RunOnServer([&]() { server->SetRawSpread(spread); });
}

std::array<std::uint16_t, 3> SimThread::CalibrationFactors() const {
    std::array<std::uint16_t, 3> factors{};
    RunOnServer([&]() { factors = server->Model().CalibrationFactors(); });
    return factors;
}

std::array<std::uint16_t, 3> SimThread::Offsets() const {
    std::array<std::uint16_t, 3> offsets{};
    RunOnServer([&]() { offsets = server->Model().Offsets(); });
    return offsets;
}

bool SimThread::ScanPending() const {
    return server && server->ScanPending();
}

bool SimThread::ScanArmed() const {
    bool armed = false;
    RunOnServer([&]() { armed = server->ScanArmed(); });
    return armed;
}

void SimThread::SetScopeTriggerIndex(int index) {
    RunOnServer([&]() { server->SetScopeTriggerIndex(index); });
}

void SimThread::Stop() {
    if (!server) return;
    RunOnServer([this]() {
        server->Shutdown();
        delete server;
    });
    server = nullptr;
    thread.quit();
    thread.wait();
}

void SimThread::WatchTriggerEdges(std::function<void()> onEdge) {
    RunOnServer([&]() {
        TriggerSource& trigger = server->Trigger();
        QObject::connect(&trigger, &TriggerSource::Edge, &trigger, std::move(onEdge));
    });
}

} // namespace sim
