// SEND and GET with FILE: the parameter file chosen in a dialog each time.
#include "app/AppState.h"
#include "app/OperatorDialogs.h"
#include "app/Program.h"
#include "params/ParameterFile.h"
#include "params/ParameterPanels.h"
#include "settings/SettingsPanels.h"

namespace {

constexpr const char* kDialogTitle = "Parameter";
constexpr const char* kDefaultFileName = "Parameter.ini";
constexpr const char* kDialogFilter = "*.ini";
constexpr const char* kAttentionTitle = "ATTENTION!";
constexpr const char* kNoFileSelectedText = "No file was selected!";

OperatorDialogs::FileSelection ChooseParameterFile(Program& program, bool forWriting) {
    return program.dialogs.SelectFile(
        kDialogTitle, DialogStartDirectory(program.state.settings.parameterFilePath),
        kDefaultFileName, kDialogFilter, forWriting);
}

// Asks before a foreign file is taken over; false when the operator declines.
bool OperatorAccepts(Program& program, const ParameterFileContents& contents) {
    using namespace parameter_file;
    if (!contents.TypeMatches() &&
        !program.dialogs.Confirm(kAttentionTitle, kNotAParameterFileQuestion))
        return false;
    if (!contents.VersionMatches() &&
        !program.dialogs.Confirm(kAttentionTitle, kScopeVersionQuestion))
        return false;
    return true;
}

void TakeParameters(Program& program, const ParameterFileContents& contents) {
    ParameterImage& image = program.state.params.image;
    const std::string missingParameters = GetParameterSection(contents.store, image);
    if (!missingParameters.empty())
        program.dialogs.Message(parameter_file::kMissingListTitle, missingParameters);
    const std::string missingRows = GetTeachVectorSections(contents.store, image);
    if (!missingRows.empty())
        program.dialogs.Message(parameter_file::kMissingListTitle, missingRows);
}

} // namespace

void WriteParameterFile(Program& program) {
    const auto selection = ChooseParameterFile(program, true);
    if (selection.choice == OperatorDialogs::FileChoice::None || selection.path.empty()) {
        program.dialogs.Message(kAttentionTitle, kNoFileSelectedText);
        return;
    }
    program.state.settings.parameterFilePath = selection.path;
    GetParametersFromPanel(program);
    // An unwritten file must not pass for a saved parameter set.
    if (WriteParameterFileTo(selection.path, program.state.params.image) < 0)
        ReportUnwrittenFile(program, selection.path);
}

void ReadParameterFile(Program& program) {
    const auto selection = ChooseParameterFile(program, false);
    if (selection.choice != OperatorDialogs::FileChoice::Existing || selection.path.empty()) {
        program.dialogs.Message(kAttentionTitle, kNoFileSelectedText);
        return;
    }
    program.state.settings.parameterFilePath = selection.path;
    // A file that cannot be read (gone since the dialog, a directory) reads as one without keys.
    const ParameterFileContents contents = ReadParameterFileFrom(selection.path);
    if (OperatorAccepts(program, contents))
        TakeParameters(program, contents);
    else
        program.dialogs.Message(kAttentionTitle, parameter_file::kNoParameterReadText);
    // Shown in every case: when nothing was read, the unchanged image again.
    PutParametersToPanel(program);
    ApplyParameterRules(program);
}
