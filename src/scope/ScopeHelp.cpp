#include "scope/ScopeHelp.h"

namespace scope {

namespace {

using core::kHelpTitle;
using core::NamedHelp;

// Texts are shown byte for byte, so trailing blanks and spelling are part of them.
constexpr NamedHelp kScopeHelpTable[] = {
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
};

} // namespace

std::span<const NamedHelp> ScopeHelp() {
    return kScopeHelpTable;
}

} // namespace scope
