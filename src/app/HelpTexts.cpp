#include "app/HelpTexts.h"

#include <algorithm>
#include <iterator>

namespace {

constexpr const char* kHelpTitle = "INFO!";
// The table-attribute controls have always shown their help under this title.
constexpr const char* kInfoTitle = "Info";

struct NamedHelp {
    std::string_view callbackName;
    HelpEntry entry;
};

// Texts are shown byte for byte, so trailing blanks and spelling are part of them.
constexpr NamedHelp kHelpTable[] = {
    {"CBF_TabMain1", {kHelpTitle, "Select TAB-window."}},
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
    {"CBF_ButtonGo",
     {kHelpTitle, "Starts data transfer from sensor to PC. \n"
                  "\n"
                  "Shortcut Key: F11. "}},
    {"CBF_ButtonStop",
     {kHelpTitle, "Stops data transfer from sensor to PC. \n"
                  "\n"
                  "Shortcut Key: F12. "}},
    {"CBF_SelectMem",
     {kHelpTitle, "Select source respectively the target for the parameter transfer."}},
    {"CBF_SelectParaSet", {kHelpTitle, "Select parameter set which should be transfered."}},
    {"CBF_ButtonTryToConnect",
     {kHelpTitle, "Opens the selected connection (RS232 or TCP/IP) and reads the firmware "
                  "identification of the sensor. \n"
                  "Then the parameters are transferred from the sensor to the PC-User-Interface."}},
    {"CBF_ButtonAccept",
     {kHelpTitle, "Accepts the communication settings and saves them in the panel settings file. \n"
                  "The parameter TAB-window will be activated."}},
    {"CBF_ButtonChangeBaudrate",
     {kHelpTitle,
      "Sends the selected baudrate to the sensor and connects again with the new baudrate. \n"
      "Confirm the new baudrate with EEPROM and SEND."}},
    {"CBF_ButtonGenHwInfoFile",
     {kHelpTitle, "Generates a file with the identification, hardware information, calibration "
                  "data and parameters of the sensor. \n"
                  "Please send this file to your supplier."}},
    {"CBF_EditCommunicationProtocol",
     {kHelpTitle, "Select the communication protocol: RS232 or TCP/IP. \n"
                  "Press TRY TO CONNECT to open the new connection."}},
    {"CBF_EditSelectComPort",
     {kHelpTitle, "Select the serial port (COM) to which the sensor is connected. \n"
                  "Press TRY TO CONNECT to open the port."}},
    {"CBF_EditSelectBaudrate",
     {kHelpTitle, "Select the baudrate (9600 ... 115200). \n"
                  "Press CHANGE BAUDRATE to send the new baudrate to the sensor."}},
    {"CBF_StringIpAdress",
     {kHelpTitle, "Enter the name or the IP address of the sensor (TCP/IP server). \n"
                  "The last 10 entries can be selected from the list."}},
    {"CBF_StringPortNumber",
     {kHelpTitle, "Enter the TCP port number of the sensor (default 10001)."}},
    {"CBF_EditID",
     {kHelpTitle, "Enter an identification text for the sensor (max. 99 characters). \n"
                  "It is displayed on the RECORDER page and written into the record file."}},
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
    {"CBF_EditNo",
     {kHelpTitle, "Select the row (0...30) of the TEACH TABLE \n"
                  "into which the current color is taught."}},
    {"CBF_RadioInc",
     {kHelpTitle, "When activated, No. is incremented by one \n"
                  "after every teach (up to 30)."}},
    {"CBF_ButtonResetTable",
     {kHelpTitle, "Resets the TEACH TABLE. \n"
                  "All cells are set to 1 and No. is set to 0."}},
    {"CBF_ButtonTeachDataTo",
     {kHelpTitle, "Teaches the current values into row No. of the TEACH TABLE. \n"
                  "Tolerances are set to default values, when teach tolerance is on."}},
    {"CBF_ButtonSelRecFile",
     {kHelpTitle, "Select the file into which the values will be recorded. \n"
                  "The header of the file is written when the file is selected."}},
    {"CBF_DispRecFile", {kHelpTitle, "Displays the path of the record file."}},
    {"CBF_ButtonStartRecord",
     {kHelpTitle, "Starts recording into the record file \n"
                  "with the selected INTERVAL."}},
    {"CBF_ButtonStopRecord", {kHelpTitle, "Stops recording."}},
    {"CBF_ButtonStartTrigRec",
     {kHelpTitle, "Starts triggered recording. \n"
                  "The sensor sends one value at every trigger event until recording is stopped."}},
    {"CBF_ButtonManualRecord",
     {kHelpTitle, "Records the current values once into the record file."}},
    {"CBF_EditSelectDataRec",
     {kHelpTitle, "Select the record mode: number of values, continuous, manual or triggered. \n"
                  "A change of the record mode stops a running recording."}},
    {"CBF_EditInterval",
     {kHelpTitle, "Choose a interval in secondes for recording. \n"
                  "Minimum interval is 0,25 second."}},
    {"CBF_EditRecVal", {kHelpTitle, "Select the number of values to be recorded."}},
    {"CBF_DispRecordTime",
     {kHelpTitle, "Displays the recording time (days, hours, minutes, seconds) \n"
                  "for the selected INTERVAL and number of values."}},
    {"CBF_DispRecordedValues", {kHelpTitle, "Displays the number of values recorded so far."}},
    {"CBF_DispRemaining",
     {kHelpTitle, "Displays the number of values which are still to be recorded."}},
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
    {"CBF_EditSetColor",
     {kInfoTitle,
      "Select how the row colors are set: \n"
      "MANUALLY with SET ROW COLOR, AUTOMATICALLY with the current color when a row is taught."}},
    {"CBF_EditRow", {kInfoTitle, "Select the row of the TEACH TABLE whose color should be set."}},
    {"CBF_EditColorNumericRow", {kInfoTitle, "Select the color for the selected row."}},
    {"CBF_ButtonSetRowColor", {kInfoTitle, "Sets the selected color to the selected row."}},
    {"CBF_ButtonSaveArray",
     {kInfoTitle, "Saves the row colors and row specifications into a file."}},
    {"CBF_ButtonGetArray",
     {kInfoTitle, "Loads the row colors and row specifications from a file."}},
    {"CBF_ButtonTableAttrReset",
     {kInfoTitle, "Resets the row colors to the default colors \n"
                  "and deletes the row specifications."}},
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
    {"CBF_ButtonGetCycleTime",
     {kHelpTitle, "Get cycle time from sensor. \n"
                  "Don't interrupt the sensor for 8 seconds \n"
                  "then press the button."}},
    {"CBF_ButtonScan",
     {kHelpTitle, "Starts a scan. \n"
                  "Record results are displayed when the selected trigger event has occurred."}},
    {"CBF_ButtonBreakScan",
     {kHelpTitle, "Breaks a running scan. \n"
                  "The previous record results stay in the display."}},
    {"CBF_ButtonPrintScopeGraph", {kHelpTitle, "Print settings,scope graph and comment."}},
    {"CBF_EditTriggerMode",
     {kHelpTitle,
      "Select trigger mode! \n"
      "SINGLE SHOT: Data recording starts after pushing SCAN. \n"
      "RISING EDGE: Data recording starts when blue line goes higher than TRIGGER LEVEL. \n"
      "FALLING EDGE: Data recording starts when blue line goes lower than TRIGGER LEVEL. \n"
      "INTERNAL C-No.0: Data recording starts when color number 0 is detected. \n"
      "EXTERNAL IN0: Data recording starts when IN0 goes high."}},
    {"CBF_EditScopeRecSignal",
     {kHelpTitle, "Select the signals to be recorded: \n"
                  "RED, GREEN, BLUE or X, Y, INT (s, i, M)."}},
    {"CBF_EditPreTrigVal",
     {kHelpTitle, "Select the number of values (of 128) \n"
                  "which are recorded before the trigger event."}},
    {"CBF_EditTriggerLevel",
     {kHelpTitle, "Select the TRIGGER LEVEL for RISING EDGE and FALLING EDGE. \n"
                  "The blue line has to cross this level."}},
    {"CBF_EditScanRate",
     {kHelpTitle, "Select the scan rate. \n"
                  "The sensor records one value every SCAN RATE cycles."}},
    {"CBF_DispScanFreq",
     {kHelpTitle, "Displays the scan frequency of the sensor in Hz. \n"
                  "It is updated with GET CYCLE TIME."}},
    {"CBF_ButtonCloseSP",
     {kHelpTitle, "Closes the scope window. \n"
                  "The data window will be displayed."}},
    {"CBF_ButtonZoom11", {kHelpTitle, "Resets the zoom of the scope graph to 1:1."}},
    {"CBF_EditScopeSignal",
     {kHelpTitle, "Select the lines to be displayed: \n"
                  "all lines, only the red, only the green or only the blue line."}},
    {"CBF_GraphScope",
     {kHelpTitle, "Displays record results.\n"
                  "Red line is RED or X or s. \n"
                  "Green line is GREEN or Y or i. \n"
                  "Blue line is BLUE or INT or M. \n"
                  "\n"
                  "Update display deltaX and deltaY by moving the cursors. \n"
                  "Zoom in: <Ctrl>+Left Mouse Button (drag to select).\n"
                  "Zoom out: Press ZOOM 1:1."}},
    {"CBF_DispDeltaX",
     {kHelpTitle, "Displays the time between the two cursors in milliseconds. \n"
                  "It is based on the cycle time (GET CYCLE TIME) and the SCAN RATE."}},
    {"CBF_DispDeltaY", {kHelpTitle, "Displays the difference between the two cursors in digits."}},
    {"CBF_TabDataP1", {kHelpTitle, "Select TAB-window: RGB, INT, 2D or 3D."}},
    {"CBF_DispX",
     {kHelpTitle, "Displays X (calculation mode X Y INT) or s (calculation mode s i M)."}},
    {"CBF_DispY",
     {kHelpTitle, "Displays Y (calculation mode X Y INT) or i (calculation mode s i M)."}},
    {"CBF_DispINT",
     {kHelpTitle,
      "Displays the intensity INT (calculation mode X Y INT) or M (calculation mode s i M). \n"
      "When POWER MODE = DYN, INT or M shows the transmitter power."}},
    {"CBF_DispRGB", {kHelpTitle, "Displays the current values of RED, GREEN and BLUE."}},
    {"CBF_DispMinMaxRGB",
     {kHelpTitle, "Displays the minimum and maximum values of RED, GREEN and BLUE."}},
    {"CBF_DispDeltaC",
     {kHelpTitle,
      "Displays the distance to a COLOR HIT. \n"
      "When no color is detected, delta C depends on the EVALUATION MODE as follows: \n"
      "FIRST HIT: delta C is the distance to the last enabled row in the TEACH TABLE. \n"
      "BEST HIT and MIN DIST: delta C is -1. \n"
      "When INT or M is lower than INTLIM, delta C is set to -1."}},
    {"CBF_DispCOL",
     {kHelpTitle, "Displays the current detected color number in \n"
                  "accordance with the row in the TEACH TABLE. \n"
                  "Double click opens a big display. \n"
                  "Close the big display with a right mouse click. \n"
                  "\n"
                  "Failure condition is 255."}},
    {"CBF_DispGroup",
     {kHelpTitle, "Displays the current detected color group. \n"
                  "Double click opens a big display. \n"
                  "Close the big display with a right mouse click.\n"
                  "\n"
                  "Failure condition is 255."}},
    {"CBF_LedTrig",
     {kHelpTitle,
      "Displays whether the sensor is triggered (LED=green) or not(LED=black). \n"
      "Sensor is triggered, when IN0 is +24V or when the sensor self triggers (TRIGGER=SELF)."}},
    {"CBF_DispRED", {kHelpTitle, "Displays the current value of RED."}},
    {"CBF_DispGREEN", {kHelpTitle, "Displays the current value of GREEN."}},
    {"CBF_DispBLUE", {kHelpTitle, "Displays the current value of BLUE."}},
    {"CBF_GraphRGB",
     {kHelpTitle, "Displays RED, GREEN and BLUE over time. \n"
                  "Left click: Y axis 0...4096. Double click: Y axis autoscaled."}},
    {"CBF_GraphINT1",
     {kHelpTitle, "Displays INT (M) and the tolerance band of row No. over time. \n"
                  "Left click: fixed Y axis. Double click: Y axis autoscaled."}},
    {"CBF_Graph2D",
     {kHelpTitle,
      "Displays the taught colors in the X/Y (s/i) plane and the intensity band of row No. \n"
      "The cursor shows the current color."}},
    {"CBF_Graph3D",
     {kHelpTitle,
      "Displays the taught colors in the planes X/Y, X/INT and Y/INT (s/i, s/M, i/M). \n"
      "The cursor shows the current color."}},
    {"CBF_ButtonShowGraph",
     {kHelpTitle, "Opens the window with the graphs of the recorded signals."}},
    {"CBF_ButtonGpClose", {kHelpTitle, "Closes the graph window."}},
    {"CBF_EditSignal",
     {kHelpTitle, "Select the recorded signal to be displayed: \n"
                  "RED, GREEN, BLUE, X (s), Y (i), INT (M) or temperature."}},
    {"CBF_PanelGraphGraph", {kHelpTitle, "Displays the selected signal of the recording."}},
    {"CBF_ButtonTeachMeanVal",
     {kHelpTitle, "Opens the window to teach the mean value of several measurements. \n"
                  "GO mode will be activated."}},
    {"CBF_ButtonTP1Capture",
     {kHelpTitle, "Captures the current values into the table (max. 100 values)."}},
    {"CBF_ButtonTP1Undo", {kHelpTitle, "Deletes the last captured values."}},
    {"CBF_ButtonTP1ResetTable", {kHelpTitle, "Deletes all captured values."}},
    {"CBF_ButtonTP1Teach",
     {kHelpTitle, "Teaches the mean value with the selected tolerances \n"
                  "into row No. of the TEACH TABLE."}},
    {"CBF_GridTP1Values",
     {kHelpTitle, "Displays the captured values. \n"
                  "Change a value with a left double click."}},
    {"CBF_GridTP1Mean", {kHelpTitle, "Displays the mean value of the captured values."}},
    {"CBF_DispTP1Counter", {kHelpTitle, "Displays the number of captured values."}},
    {"CBF_DispTP1MaxDeltaXY",
     {kHelpTitle, "Displays the maximum color distance of a captured value to the mean value."}},
    {"CBF_DispTP1MaxDeltaInt",
     {kHelpTitle,
      "Displays the maximum intensity distance of a captured value to the mean value."}},
    {"CBF_EditTP1TeachCtoWith",
     {kHelpTitle, "Select how the color tolerance is taught: \n"
                  "with VALUE, with the maximum distance d, with both added or unchanged."}},
    {"CBF_EditTP1TeachItoWith",
     {kHelpTitle, "Select how the intensity tolerance is taught: \n"
                  "with VALUE, with the maximum distance d, with both added or unchanged."}},
    {"CBF_EditTP1ValueCto", {kHelpTitle, "Select the color tolerance VALUE used for teaching."}},
    {"CBF_EditTP1ValueIto",
     {kHelpTitle, "Select the intensity tolerance VALUE used for teaching."}},
    {"CBF_ButtonCloseTeachPanel", {kHelpTitle, "Closes the teach window and stops GO mode."}},
    {"CBF_ButtonTeachRecVal",
     {kHelpTitle, "Opens the window to teach a color from recorded values \n"
                  "(for moving objects)."}},
    {"CBF_ButtonTP2Start",
     {kHelpTitle, "Starts recording the current values into the graphs. \n"
                  "Stop recording with STOP."}},
    {"CBF_ButtonTP2Reset", {kHelpTitle, "Deletes all recorded values."}},
    {"CBF_ButtonTP2Teach",
     {kHelpTitle, "Teaches the values at the cursor position \n"
                  "into row No. of the TEACH TABLE."}},
    {"CBF_GraphXYTP2",
     {kHelpTitle, "Displays the recorded values in the X/Y (s/i) plane. \n"
                  "Move the cursor to the value which should be taught."}},
    {"CBF_GraphXIntTP2",
     {kHelpTitle, "Displays the recorded values in the X/INT (s/M) plane. \n"
                  "Move the cursor to the value which should be taught."}},
    {"CBF_GraphYIntTP2",
     {kHelpTitle, "Displays the recorded values in the Y/INT (i/M) plane. \n"
                  "Move the cursor to the value which should be taught."}},
    {"CBF_DispTP2Counter", {kHelpTitle, "Displays the number of recorded values (max. 60000)."}},
};

constexpr const char* kTeachTableHelp =
    "Change cell value with a left double click or with F2. \n"
    "\n"
    "Select a range of cells by holding down the left mouse button and dragging the mouse over the "
    "cells to select. \n"
    "\n"
    "Set selection to: Set the selection to an adjustable value. \n"
    "Increment selection with: Selected cells will be incremented with an adjustable value "
    "beginning with the first cell. \n"
    "Reset selection: Reset the selected range.\n"
    "Teach tolerance off: Tolerance will not be changed. \n"
    "Teach tolerance on: Tolerance will be set automatically to a default value.";

} // namespace

const HelpEntry* FindHelpText(std::string_view callbackName) {
    const auto found =
        std::find_if(std::begin(kHelpTable), std::end(kHelpTable),
                     [&](const NamedHelp& h) { return h.callbackName == callbackName; });
    if (found == std::end(kHelpTable)) return nullptr;
    return &found->entry;
}

const char* TeachTableHelpText() {
    return kTeachTableHelp;
}

std::vector<std::string_view> HelpCallbackNames() {
    std::vector<std::string_view> names;
    names.reserve(std::size(kHelpTable));
    for (const auto& h : kHelpTable)
        names.push_back(h.callbackName);
    return names;
}
