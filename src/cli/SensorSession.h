#pragma once
// One connection to the sensor for one command: the program's state, link and request plans,
// without a window. Every failure is in the log the link wrote.
#include "cli/ConsoleView.h"
#include "comm/SensorLink.h"
#include "comm/TransferPlan.h"
#include "protocol/MeasurementFrame.h"
#include "protocol/ParameterImage.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>

namespace core {
struct AppState;
}

namespace cli {

struct LinkChoice {
    bool tcp = true;
    std::string host;
    int port = 0;
    std::string device;
    int baudCode = 4;
};

class SensorSession {
public:
    SensorSession();
    ~SensorSession();

    // Opens the transport and asks for the identification, as the program does on connecting.
    bool Open(const LinkChoice& choice);
    const std::string& FirmwareId() const;

    // How a parameter transfer ended. Replaced: every request went through, but the sensor set
    // values it found implausible to their defaults (the notice is in the log).
    enum class Transfer { Done, Replaced, Failed };
    // GET of `paraSet` from `memoryTarget` (core::kRam or core::kEeprom) into `image`, which is
    // left as it was when a request fails.
    Transfer GetParameters(std::uint16_t paraSet, std::uint16_t memoryTarget,
                           protocol::ParameterImage& image);
    Transfer SendParameters(const protocol::ParameterImage& image, std::uint16_t paraSet,
                            std::uint16_t memoryTarget);

    bool Measure(protocol::MeasurementFrame& frame);
    bool ReadCalibration(std::array<std::uint16_t, 3>& factors,
                         std::array<std::uint16_t, 3>& offsets);
    bool ReadHardwareWords(std::array<std::uint16_t, 256>& words);

    const std::string& Log() const { return view.Log(); }

private:
    // One request and its reply; false on a failed exchange or an error reply (both reported).
    bool Exchange(int order, int argument, int payloadBytes);
    // The sensor's count of replaced values in the reply to `request`, reported; true if any.
    bool ReportReplacedValues(const comm::ParameterRequest& request);

    std::unique_ptr<core::AppState> state;
    ConsoleView view;
    comm::SensorLink link;
};

} // namespace cli
