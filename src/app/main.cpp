#include "app/CommandLine.h"
#include "app/Program.h"
#include "app/QtOperatorDialogs.h"
#include "app/TerminationSignals.h"
#include "core/AppState.h"
#include "core/EventDispatcher.h"

#include <QApplication>
#include <QDir>

#include <csignal>
#include <cstdio>

namespace {
// The program's state for the whole run.
core::AppState appState;
} // namespace

int main(int argc, char* argv[]) {
    // Over a file size limit a write is to fail with EFBIG, which the writers repair to whole
    // rows and report, rather than end the process in the middle of a row.
    std::signal(SIGXFSZ, SIG_IGN);
    const app::CommandLine line = app::ReadCommandLine(argc, argv);
    switch (line.action) {
    case app::CommandLine::Action::Help:
        std::fputs(app::HelpText().c_str(), stdout);
        return 0;
    case app::CommandLine::Action::Version:
        std::fputs(app::VersionText().c_str(), stdout);
        return 0;
    case app::CommandLine::Action::Wrong:
        std::fprintf(stderr, "chromix3: %s\n", line.error.c_str());
        return 2;
    case app::CommandLine::Action::Run:
        break;
    }
    core::UseQtEventDispatcher();
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("CHROMIX3-Varev V4.2"));
    app::QtOperatorDialogs dialogs;
    app::Program program(appState, dialogs);
    // Paths as the shell meant them, from the folder the program was started in.
    const auto absolute = [](const std::string& path) {
        return QDir::current().absoluteFilePath(QString::fromLocal8Bit(path.c_str()));
    };
    if (!line.settingsFile.empty()) program.SetSettingsFile(absolute(line.settingsFile));
    if (!line.parameterFile.empty()) program.OpenParameterFileAtStart(absolute(line.parameterFile));
    dialogs.SetParent(&program.Window());
    dialogs.WatchGate(&program.Gate());
    const app::TerminationSignals endings([&program] { program.EndWithoutAsking(); });
    return app::RunProgram(program);
}
