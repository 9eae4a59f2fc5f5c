#include "params/ParameterHelp.h"

namespace params {

namespace {

using core::kHelpTitle;
using core::NamedHelp;

// Texts are shown byte for byte, so trailing blanks and spelling are part of them.
constexpr NamedHelp kParameterHelpTable[] = {
    {"CBF_ButtonSend",
     {kHelpTitle, "All the parameters of the PC-User-Interface are transferred to the sensor or to "
                  "a selectable file. \n"
                  "The target of the parameter transfer is determined by the select button (RAM, "
                  "EEPROM, FILE). \n"
                  "\n"
                  "Shortcut Key: F9. "}},
    {"CBF_ButtonGet",
     {kHelpTitle, "Sensor or file parameters are transferred to the PC-User-Interface. \n"
                  "The source of the parameter transfer is determined by the select button (RAM, "
                  "EEPROM, FILE). \n"
                  "\n"
                  "Shortcut Key: F10. "}},
    {"CBF_SelectMem",
     {kHelpTitle, "Select source respectively the target for the parameter transfer."}},
    {"CBF_SelectParaSet", {kHelpTitle, "Select parameter set which should be transfered."}},
    {"CBF_SlidePower",
     {kHelpTitle, "Select the intensity of the transmitter LED. \n"
                  "0 = no intensity,  1000 = full intensity."}},
    {"CBF_EditPmode",
     {kHelpTitle,
      "Select the operating mode of the transmitter unit. \n"
      "\n"
      "STAT: Transmitter power is constantly kept at the POWER-SLIDER value. \n"
      "\n"
      "DYN : Transmitter power is dynamically tuned in accordance with the amount of radiation "
      "that \n"
      "      is diffusely reflected from the target. Sensor should not exceed the dynamic range. \n"
      "      The dynamic range can be selected with DYN WIN LO and DYN WIN HI."}},
    {"CBF_EditLedMode",
     {kHelpTitle, "Select the LED operation mode. \n"
                  "DC: Light source is permanant on. \n"
                  "AC: Light source is modulated. \n"
                  "PULSE: Light source is pulsed. \n"
                  "OFF: Light source is off."}},
    {"CBF_EditGain",
     {kHelpTitle, "Select a amplification stage of the receicer. \n"
                  "AMP1 is the lowest amplification. \n"
                  "AMP8 is the highest amplification. "}},
    {"CBF_EditDynWinLoHi",
     {kHelpTitle, "Select the dynamic window DYN WIN LO and DYN WIN HI for POWER MODE = DYN. \n"
                  "Transmitter power is tuned until the intensity lies within this window."}},
    {"CBF_EditAverage",
     {kHelpTitle, "Select the number of scan values \n"
                  "over which the raw signal is averaged."}},
    {"CBF_EditIntegral",
     {kHelpTitle, "Select the number (0...250) of values \n"
                  "over which the raw signal is integrated."}},
    {"CBF_EditMaxVecNo",
     {kHelpTitle, "Select the number of color vectors which should be \n"
                  "checked in the TEACH TABLE beginning with row 0. \n"
                  "\n"
                  "Aktive rows in the TEACH TABLE are \n"
                  "labelled green, inactive are labelled red."}},
    {"CBF_EditDigOutmode",
     {kHelpTitle,
      "Select how to control the 5 digital outputs. \n"
      "\n"
      "BINARY: \n"
      "If color group is disabled, the maximum number of colors to be taught is 31. \n"
      "If a color (row 0-30 in the TEACH TABLE) is detected, this color is displayed in C-No: \n"
      "and is set binary to the digital outputs (OUT0 to OUT4). \n"
      "If no color is detected, C-No: is 255. The digital outputs (OUT0 to OUT4) are set to HI. \n"
      "If color group is enabled, the maximum number of colors to be taught is 31. 31 groups are "
      "possible. \n"
      "\n"
      "DIRECT LO: \n"
      "If color group is disabled, the maximum number of colors to be taught is 5. \n"
      "If a color (row 0 to 4 in the TEACH TABLE) is detected, the special digital output is set "
      "to LO, all others are HI. \n"
      "If no color is detected, C-No: is 255. The digital outputs (OUT0 to OUT4) are set to HI. \n"
      "If color group is enabled, the maximum number of colors to be taught is 31, but only 5 "
      "groups are possible. \n"
      "If a group is detected, the digital output is set to LO, all others are HI. \n"
      "\n"
      "DIRECT HI: \n"
      "If color group is disabled, the maximum number of colors to be taught is 5. \n"
      "If a color (row 0 to 4 in the TEACH TABLE) is detected, the special digital output is set "
      "to HI, all others are LO. \n"
      "If no color is detected, C-No: is 255. The digital outputs (OUT0 to OUT4) are set to LO. \n"
      "If color group is enabled, the maximum number of colors to be taught is 31, but only 5 "
      "groups are possible. \n"
      "If a group is detected, the digital output is set to HI, all others are LO."}},
    {"CBF_EditIntlim",
     {kHelpTitle,
      "Select an intensity limit. \n"
      "Color evaluation is stopped, if the current intensity INT or M falls below this limit. \n"
      "ERROR STATE is output (C-No: = 255). \n"
      "\n"
      " ATTENTION: If POWER MODE = DYN. Display INT or M shows the transmitter power. \n"
      " The sensor still calculates the real INT or M and compares it with INTLIM."}},
    {"CBF_EditEvalmode",
     {kHelpTitle, "HIT = Current detected signal lies within a taught row in the teach table. \n"
                  "\n"
                  "FIRST HIT: First HIT in the teach table will be output. \n"
                  "\n"
                  "BEST HIT: Best HIT (shortest distance to the taught colors) will be output. \n"
                  "\n"
                  "MIN DIST: Shortest distance to the centre of all taught colors will be output "
                  "when INT (M) lies within ITO (MTO). \n"
                  "\n"
                  "COL5: Multiple rows (colors) can be output simultaneously. \n"
                  "\n"
                  "THD RGB: \n"
                  "OUT0=HI when the red signal is higher than row0/columnTHD in the teach table, "
                  "otherwise OUT0=LO. \n"
                  "OUT1=HI when the green signal is higher than row1/columnTHD in the teach table, "
                  "otherwise OUT1=LO. \n"
                  "OUT2=HI when the blue signal is higher than row2/columnTHD in the teach table, "
                  "otherwise OUT2=LO."}},
    {"CBF_EditCalcmode",
     {kHelpTitle, "Select a calculation mode: \n"
                  "X Y INT - 2D = X/Y pairs and intensity. \n"
                  "s i   M - 2D = s/i pairs and M. \n"
                  "X Y INT - 3D = X/Y/INT pairs. \n"
                  "s i   M - 3D = s/i/M pairs."}},
    {"CBF_EditExteach",
     {kHelpTitle,
      "Select external teach mode. \n"
      "\n"
      "OFF: No external teach. \n"
      "\n"
      "ON: External teach to all rows of the teach table (See manual). \n"
      "ATTENTION! The taught values are stored into the EEPROM of the sensor. \n"
      "If you are in the GO mode during an external teach, \n"
      "you will get a TIMEOUT, because of the EEPROM transfer. \n"
      "\n"
      "STAT1: External teach to row 0 of the teach table. \n"
      "Transmitter power is the power selected with the power slider. \n"
      "The taught values are stored into the RAM of the sensor. \n"
      "\n"
      "DYN1: External teach to row 0 of the teach table. \n"
      "The transmitter power is adjusted dynamically, when IN0 goes high. \n"
      "After the power is adjusted, the sensor works on static with this detected power value. \n"
      "The taught values are stored into the RAM of the sensor. \n"
      "NOTE! DYN1 is not available in combination with LED MODE=OFF. \n"
      "\n"
      "NOTE! Colors will be teached up to MAXCOL-No: when EVALUATION MODE is FIRST HIT. \n"
      "\n"
      "NOTE! When EVALUATION MODE is THD RGB a maximum and a \n"
      "minimum for each channel will be detected while IN0 is high. \n"
      "The threshold for the selected channels is set to (MAX+MIN)/2. \n"
      "The taught thresholds will be stored in the EEPROM when EXTEACH=ON. \n"
      "The taught thresholds will be stored in the RAM when EXTEACH=STAT1 or DYN1."}},
    {"CBF_EditTrigger",
     {kHelpTitle,
      "Select the trigger mode for the sensor. \n"
      "\n"
      "CONT: Continuous color detection (no trigger event required). \n"
      "\n"
      "SELF: Self Trigger! 'Trigger' is given, when the actual color is anything else than color "
      "0. \n"
      "      Color detection as long as trigger (color is not color 0). \n"
      "      When trigger goes low (redetection of color 0), the most detected color will be hold "
      "at the output. \n"
      "\n"
      "EXT1: Color detection as long as trigger (IN0) is high. \n"
      "      When trigger goes low, the most detected color will be hold at the output. \n"
      "\n"
      "EXT2: Color detection as long as trigger (IN0) is high. \n"
      "      When trigger goes low, the last detected color will be hold at the output. \n"
      "\n"
      "EXT3: Color detection as long as trigger (IN0) is high. \n"
      "      When trigger goes low, fail condition is output. \n"
      "\n"
      "TRANS: Transmitter is active when trigger (IN0) is high. \n"
      "\n"
      "PARA: Sensor works with ParaSet0 when trigger (IN0) is low. \n"
      "      Sensor works with ParaSet1 when trigger (IN0) is high. \n"
      "\n"
      "LED TRIG is green when the sensor is triggered."}},
    {"CBF_EditHold",
     {kHelpTitle, "Select the minimum pulse length when a digital output changes."}},
    {"CBF_EditGridHold",
     {kHelpTitle, "Select the minimum pulse length when a digital output changes."}},
    {"CBF_EditColorGroups",
     {kHelpTitle, "Activate color groups. \n"
                  "Not possible when EVALMODE=COL5."}},
    {"CBF_EditResetHold",
     {kHelpTitle, "Select the value which is set into all cells of the HOLD TABLE \n"
                  "when RESET HOLD TABLE is pressed."}},
    {"CBF_ButtonResetGroupTable", {kHelpTitle, "Resets all color groups in the GROUP TABLE to 0."}},
    {"CBF_ButtonResetHoldTable",
     {kHelpTitle, "Sets all cells of the HOLD TABLE (HOLD FAIL included) to the RESET VALUE."}},
};

} // namespace

std::span<const NamedHelp> ParameterHelp() {
    return kParameterHelpTable;
}

} // namespace params
