#include "live/LiveHelp.h"

namespace live {

namespace {

using core::kHelpTitle;
using core::NamedHelp;

// Texts are shown byte for byte, so trailing blanks and spelling are part of them.
constexpr NamedHelp kLiveHelpTable[] = {
    {"CBF_ButtonGo",
     {kHelpTitle, "Starts data transfer from sensor to PC. \n"
                  "\n"
                  "Shortcut Key: F11. "}},
    {"CBF_ButtonStop",
     {kHelpTitle, "Stops data transfer from sensor to PC. \n"
                  "\n"
                  "Shortcut Key: F12. "}},
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
};

// Texts are shown byte for byte, so trailing blanks and spelling are part of them.
constexpr NamedHelp kGraphPanelHelpTable[] = {
    {"CBF_ButtonGpClose", {kHelpTitle, "Closes the graph window."}},
    {"CBF_EditSignal",
     {kHelpTitle, "Select the recorded signal to be displayed: \n"
                  "RED, GREEN, BLUE, X (s), Y (i), INT (M) or temperature."}},
    {"CBF_PanelGraphGraph", {kHelpTitle, "Displays the selected signal of the recording."}},
};

} // namespace

std::span<const NamedHelp> LiveHelp() {
    return kLiveHelpTable;
}

std::span<const NamedHelp> GraphPanelHelp() {
    return kGraphPanelHelpTable;
}

} // namespace live
