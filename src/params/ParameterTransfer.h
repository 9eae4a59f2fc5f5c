#pragma once
// SEND and GET: the request plans walked over the link (or the parameter file with FILE), the
// sensor's plausibility counts reported, and the received blocks shown.
#include "core/ParameterTransfers.h"
#include "protocol/ParameterImage.h"

#include <cstdint>
#include <string>

namespace core {
struct AppState;
class OperatorDialogs;
class Shell;
} // namespace core
namespace comm {
class SensorLink;
}

namespace comm {
struct ParameterRequest;
}

namespace params {

class ParameterPanels;

class ParameterTransfer : public core::ParameterTransfers {
public:
    ParameterTransfer(core::AppState& state, core::Shell& shell, core::OperatorDialogs& dialogs,
                      comm::SensorLink& link, ParameterPanels& panels);

    int SendParameters() override;
    int GetParameters() override;
    void GetParametersFromPanel() override;

    // SEND and GET with FILE selected: the parameter file chosen in a dialog each time. They
    // return how it ended, in the operator's words ("done", "cancelled", ...).
    std::string WriteParameterFile();
    std::string ReadParameterFile();

private:
    int ExchangeRequest(const comm::ParameterRequest& request);
    // True when the sensor reported parameters it replaced.
    bool ReportPlausibility(const comm::ParameterRequest& request);
    // "SEND to EEPROM, parameter set 0", "GET from FILE".
    std::string Describe(bool send, std::uint16_t paraSet) const;
    void StoreReply(const comm::ParameterRequest& request, protocol::ParameterImage& image);

    core::AppState& state;
    core::Shell& shell;
    core::OperatorDialogs& dialogs;
    comm::SensorLink& link;
    ParameterPanels& panels;
};

} // namespace params
