#pragma once
// The hardware info file: the sensor's hardware block, its calibration and its parameters, in
// the program's INI format.
#include "model/CalibrationMath.h"
#include "protocol/ParameterImage.h"

#include <array>
#include <cstdint>
#include <string>

namespace calibration {

struct HardwareInfo {
    std::string firmwareId;
    std::array<std::uint16_t, kHardwareWords> words{};
    std::array<std::uint16_t, 3> factors{};
    std::array<std::uint16_t, 3> offsets{};
};

// Negative when the file could not be written; `refusal`, when given, says why a path that is no
// regular file was left untouched.
int WriteHardwareInfoFile(const std::string& path, const HardwareInfo& info,
                          const protocol::ParameterImage& image, std::string* refusal = nullptr);

} // namespace calibration
