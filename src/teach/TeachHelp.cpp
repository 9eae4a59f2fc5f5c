#include "teach/TeachHelp.h"

namespace teach {

namespace {

using core::kHelpTitle;
using core::NamedHelp;

// Texts are shown byte for byte, so trailing blanks and spelling are part of them.
constexpr NamedHelp kTeachHelpTable[] = {
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
    {"CBF_ButtonTP2Stop", {kHelpTitle, "Stops recording the current values into the graphs."}},
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

std::span<const NamedHelp> TeachHelp() {
    return kTeachHelpTable;
}

const char* TeachTableHelpText() {
    return kTeachTableHelp;
}

} // namespace teach
