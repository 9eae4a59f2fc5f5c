#include "settings/SettingsHelp.h"

namespace settings {

namespace {

using core::kHelpTitle;
using core::NamedHelp;

constexpr const char* kInfoTitle = "Info";

// Texts are shown byte for byte, so trailing blanks and spelling are part of them.
constexpr NamedHelp kSettingsHelpTable[] = {
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
};

} // namespace

std::span<const NamedHelp> SettingsHelp() {
    return kSettingsHelpTable;
}

} // namespace settings
