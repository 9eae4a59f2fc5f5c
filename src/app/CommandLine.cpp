#include "app/CommandLine.h"

#include <array>
#include <string_view>

namespace app {

namespace {

// The options QApplication takes out of the command line itself; a session manager restarts a
// program with -session, and a user may give -platform or -style.
constexpr std::array<std::string_view, 13> kQtOptionsWithValue = {
    "-platform", "-platformpluginpath", "-platformtheme", "-plugin",
    "-style",    "-stylesheet",         "-session",       "-display",
    "-geometry", "-qwindowgeometry",    "-qwindowtitle",  "-qwindowicon",
    "-name"};
constexpr std::array<std::string_view, 4> kQtFlags = {"-reverse", "-nograb", "-dograb", "-sync"};

template <std::size_t N>
bool OneOf(const std::array<std::string_view, N>& names, std::string_view word) {
    for (const std::string_view name : names)
        if (name == word) return true;
    return false;
}

CommandLine Wrong(std::string error) {
    CommandLine line;
    line.action = CommandLine::Action::Wrong;
    line.error = std::move(error);
    return line;
}

} // namespace

CommandLine ReadCommandLine(int argc, const char* const* argv) {
    CommandLine line;
    bool optionsEnd = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view word = argv[i];
        const bool option = !optionsEnd && word.size() > 1 && word[0] == '-';
        if (!option) {
            if (!line.parameterFile.empty())
                return Wrong("one parameter file only, not also '" + std::string(word) + "'");
            if (word.empty()) return Wrong("an empty parameter file name");
            line.parameterFile = word;
        } else if (word == "--") {
            optionsEnd = true;
        } else if (word == "--help" || word == "-h") {
            line.action = CommandLine::Action::Help;
        } else if (word == "--version" || word == "-v") {
            line.action = CommandLine::Action::Version;
        } else if (word == "--settings" || word.starts_with("--settings=")) {
            std::string_view file;
            if (word != "--settings") {
                file = word.substr(word.find('=') + 1);
            } else if (i + 1 < argc) {
                file = argv[++i];
            }
            if (file.empty()) return Wrong("--settings needs a file");
            line.settingsFile = file;
        } else if (OneOf(kQtOptionsWithValue, word)) {
            if (i + 1 >= argc) return Wrong(std::string(word) + " needs a value");
            ++i;
        } else if (!OneOf(kQtFlags, word)) {
            return Wrong("unknown option '" + std::string(word) + "' (chromix3 --help lists them)");
        }
    }
    return line;
}

std::string HelpText() {
    return "Usage: chromix3 [--settings FILE] [PARAMETER-FILE]\n"
           "Configure and watch a three-channel colour sensor.\n"
           "\n"
           "  --settings FILE  keep the settings in FILE instead of PanelSettings.cfg (beside\n"
           "                   the program, or in ~/.config/chromix3/ when installed); the side\n"
           "                   files start in FILE's folder\n"
           "  PARAMETER-FILE   open this parameter file after the start, as GET from FILE does;\n"
           "                   SEND puts it in the sensor\n"
           "  -h, --help       print this help and exit\n"
           "  -v, --version    print the version and exit\n"
           "\n"
           "Qt's own options (-platform NAME, -style NAME, -reverse, ...) are passed to Qt.\n";
}

std::string VersionText() {
    return std::string("chromix3 ") + CHROMIX_VERSION + "\n";
}

} // namespace app
