#include "recorder/RecorderHelp.h"

namespace recorder {

namespace {

using core::kHelpTitle;
using core::NamedHelp;

// Texts are shown byte for byte, so trailing blanks and spelling are part of them.
constexpr NamedHelp kRecorderHelpTable[] = {
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
};

// Controls of this program's own: the counter of the continuous and triggered modes, the rows
// the file refused, the identification the header carries.
constexpr NamedHelp kRecorderOwnHelpTable[] = {
    {"CBF_DispFrameCounter", {kHelpTitle, "Displays the number of values recorded so far."}},
    {"CBF_DispNotWritten",
     {kHelpTitle, "Displays the number of values which could not be written to the record file. \n"
                  "Make sure, that the file is not opened by any other program."}},
    {"CBF_DispRecId",
     {kHelpTitle, "Displays the sensor identification (ID on the communication page). \n"
                  "It is written into the header of the record file."}},
};

} // namespace

std::span<const NamedHelp> RecorderHelp() {
    return kRecorderHelpTable;
}

std::span<const NamedHelp> RecorderOwnHelp() {
    return kRecorderOwnHelpTable;
}

} // namespace recorder
