#pragma once
#include <string_view>
#include <vector>

// The operator's on-line help: a right click on a control shows its entry as a message popup.
struct HelpEntry {
    const char* title;
    const char* text;
};

// Title of the popup that the teach table's context-menu item "Help" opens.
inline constexpr const char* kTeachTableHelpTitle = "INFO!";

// The help entry of the control with this callback name, or nullptr when the control has none
// (the panels themselves and the few controls whose right click does something else).
const HelpEntry* FindHelpText(std::string_view callbackName);

// Text of the teach table's context-menu item "Help"; the table has no right-click entry.
const char* TeachTableHelpText();

// Callback names of all controls with an entry, in panel order.
std::vector<std::string_view> HelpCallbackNames();
