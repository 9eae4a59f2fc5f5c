#include "calibration/CalibrationHelp.h"

namespace calibration {

namespace {

using core::kHelpTitle;
using core::NamedHelp;

// Texts are shown byte for byte, so trailing blanks and spelling are part of them.
constexpr NamedHelp kCalibrationHelpTable[] = {
    {"CBF_ButtonSendCF",
     {kHelpTitle, "Sends the calibration factors CF RED, CF GREEN and CF BLUE to the sensor."}},
    {"CBF_ButtonGetCF",
     {kHelpTitle, "Gets the calibration factors and the offsets from the sensor."}},
    {"CBF_ButtonCalcCF",
     {kHelpTitle, "Calculates the calibration factors from 100 measurements on a WHITE target \n"
                  "and sends them to the sensor. GO mode will be activated afterwards."}},
    {"CBF_ButtonStartSelfCalibration",
     {kHelpTitle,
      "The sensor calculates the calibration factors itself (sensor shines on a WHITE target). \n"
      "Confirm the calibration factors with SEND CF."}},
    {"CBF_EditCFR",
     {kHelpTitle, "Calibration factor of the RED channel (0...4096). \n"
                  "1024 = factor 1.0."}},
    {"CBF_EditCFG",
     {kHelpTitle, "Calibration factor of the GREEN channel (0...4096). \n"
                  "1024 = factor 1.0."}},
    {"CBF_EditCFB",
     {kHelpTitle, "Calibration factor of the BLUE channel (0...4096). \n"
                  "1024 = factor 1.0."}},
    {"CBF_EditSetValue",
     {kHelpTitle, "Select the value which the WHITE target should give \n"
                  "on every channel after calibration."}},
    {"CBF_EditMaxDelta",
     {kHelpTitle, "Select the maximum delta of the RAW DATAS RED, GREEN and BLUE \n"
                  "which is accepted for a calibration."}},
    {"CBF_DispBarsRAW",
     {kHelpTitle, "Displays the RAW DATAS RED, GREEN and BLUE during GO mode. \n"
                  "Select a proper POWER value that the RAW DATAS are within the dynamic range."}},
    {"CBF_DispRawDelta",
     {kHelpTitle, "Displays the delta between the highest and the lowest RAW DATA \n"
                  "of RED, GREEN and BLUE."}},
    {"CBF_DispBars", {kHelpTitle, "Displays RED, GREEN and BLUE as bars during GO mode."}},
    {"CBF_DispTemp", {kHelpTitle, "Displays the temperature of the sensor."}},
};

// Texts are shown byte for byte, so trailing blanks and spelling are part of them.
constexpr NamedHelp kOffsetHelpTable[] = {
    {"CBF_ButtonCloseOffsetCompensation",
     {kHelpTitle, "Closes the OFFSET COMPENSATION TAB-window."}},
    {"CBF_ButtonSendOffset", {kHelpTitle, "Sends the offsets RED, GREEN and BLUE to the sensor."}},
    {"CBF_ButtonGetOffset",
     {kHelpTitle, "Gets the offsets and the calibration factors from the sensor."}},
    {"CBF_ButtonCalcOffset",
     {kHelpTitle, "The sensor measures its offsets. \n"
                  "Make sure, that the receiver of the sensor is covered."}},
    {"CBF_EditRedOffset",
     {kHelpTitle, "Offset of the RED channel. \n"
                  "It is sent to the sensor with SEND OFFSET."}},
    {"CBF_EditGreenOffset",
     {kHelpTitle, "Offset of the GREEN channel. \n"
                  "It is sent to the sensor with SEND OFFSET."}},
    {"CBF_EditBlueOffset",
     {kHelpTitle, "Offset of the BLUE channel. \n"
                  "It is sent to the sensor with SEND OFFSET."}},
    {"CBF_DispRedOffset", {kHelpTitle, "Displays the measured offset of the RED channel."}},
    {"CBF_DispGreenOffset", {kHelpTitle, "Displays the measured offset of the GREEN channel."}},
    {"CBF_DispBlueOffset", {kHelpTitle, "Displays the measured offset of the BLUE channel."}},
};

} // namespace

std::span<const NamedHelp> CalibrationHelp() {
    return kCalibrationHelpTable;
}

std::span<const NamedHelp> OffsetHelp() {
    return kOffsetHelpTable;
}

} // namespace calibration
