#pragma once
// The window program's command line, read before Qt starts, so --help, --version and a wrong
// option are answered on a terminal without a display.
#include <string>

namespace app {

struct CommandLine {
    enum class Action { Run, Help, Version, Wrong };
    Action action = Action::Run;
    std::string settingsFile;  // --settings FILE; empty: PanelSettings.cfg where it is placed
    std::string parameterFile; // opened at the start as GET from FILE opens one; empty: none
    std::string error;         // why the line is wrong, one line
};

// Qt's own options (-platform NAME, -style NAME, -reverse, ...) are left to Qt.
CommandLine ReadCommandLine(int argc, const char* const* argv);

std::string HelpText();
std::string VersionText();

} // namespace app
