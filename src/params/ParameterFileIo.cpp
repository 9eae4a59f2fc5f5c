// SEND and GET with FILE: the parameter file chosen in a dialog each time, or named at the start.
#include "core/AppState.h"
#include "core/OperatorDialogs.h"
#include "core/Shell.h"
#include "core/SideFiles.h"
#include "model/ParameterFile.h"
#include "params/ParameterPanels.h"
#include "params/ParameterTransfer.h"

namespace params {

namespace {

constexpr const char* kDialogTitle = "Parameter";
constexpr const char* kDefaultFileName = "Parameter.ini";
constexpr const char* kDialogFilter = "*.ini";
constexpr const char* kAttentionTitle = "ATTENTION!";
constexpr const char* kNoFileSelectedText = "No file was selected!";

using core::OperatorDialogs;

OperatorDialogs::FileSelection ChooseParameterFile(OperatorDialogs& dialogs,
                                                   const std::string& remembered, bool forWriting) {
    return dialogs.SelectFile(kDialogTitle, core::DialogStartDirectory(remembered),
                              kDefaultFileName, kDialogFilter, forWriting);
}

// Asks before a foreign file is taken over; false when the operator declines.
bool OperatorAccepts(OperatorDialogs& dialogs, const ParameterFileContents& contents) {
    using namespace parameter_file;
    if (!contents.TypeMatches() && !dialogs.Confirm(kAttentionTitle, kNotAParameterFileQuestion))
        return false;
    if (!contents.VersionMatches() && !dialogs.Confirm(kAttentionTitle, kScopeVersionQuestion))
        return false;
    return true;
}

void TakeParameters(OperatorDialogs& dialogs, const ParameterFileContents& contents,
                    protocol::ParameterImage& image) {
    const std::string missingParameters = GetParameterSection(contents.store, image);
    if (!missingParameters.empty())
        dialogs.Message(parameter_file::kMissingListTitle, missingParameters);
    const std::string missingRows = GetTeachVectorSections(contents.store, image);
    if (!missingRows.empty()) dialogs.Message(parameter_file::kMissingListTitle, missingRows);
}

} // namespace

std::string ParameterTransfer::WriteParameterFile() {
    const auto selection = ChooseParameterFile(dialogs, state.settings.parameterFilePath, true);
    if (selection.choice == OperatorDialogs::FileChoice::None || selection.path.empty()) {
        dialogs.Message(kAttentionTitle, kNoFileSelectedText);
        return "cancelled";
    }
    state.settings.parameterFilePath = selection.path;
    panels.GetParametersFromPanel();
    // An unwritten file must not pass for a saved parameter set.
    std::string refusal;
    if (WriteParameterFileTo(selection.path, state.params.image, &refusal) < 0) {
        core::ReportUnwrittenFile(dialogs, selection.path, refusal);
        return "failed, not written";
    }
    return "done";
}

std::string ParameterTransfer::ReadParameterFile() {
    const auto selection = ChooseParameterFile(dialogs, state.settings.parameterFilePath, false);
    if (selection.choice != OperatorDialogs::FileChoice::Existing || selection.path.empty()) {
        dialogs.Message(kAttentionTitle, kNoFileSelectedText);
        return "cancelled";
    }
    return ReadParameterFileAt(selection.path);
}

void ParameterTransfer::OpenParameterFile(const std::string& path) {
    shell.ReportCommand("GET from FILE", ReadParameterFileAt(path));
}

std::string ParameterTransfer::ReadParameterFileAt(const std::string& path) {
    state.settings.parameterFilePath = path;
    // A file that cannot be read (gone since the dialog) reads as one without keys; a path that
    // is no regular file (a directory, a fifo, a device) is not read at all, and said so.
    const ParameterFileContents contents = ReadParameterFileFrom(path);
    const bool refused = !contents.refusal.empty();
    const bool accepted = !refused && OperatorAccepts(dialogs, contents);
    if (accepted)
        TakeParameters(dialogs, contents, state.params.image);
    else
        dialogs.Message(kAttentionTitle, (refused ? contents.refusal + "\n" : std::string()) +
                                             parameter_file::kNoParameterReadText);
    // Shown in every case: when nothing was read, the unchanged image again.
    panels.PutParametersToPanel();
    panels.ApplyParameterRules();
    panels.DrawTaughtColours();
    return accepted ? "done" : "nothing read";
}

} // namespace params
