#include "app/Program.h"
#include "app/QtOperatorDialogs.h"
#include "app/TerminationSignals.h"
#include "core/AppState.h"
#include "core/EventDispatcher.h"

#include <QApplication>

#include <csignal>

namespace {
// The program's state for the whole run.
core::AppState appState;
} // namespace

int main(int argc, char* argv[]) {
    // Over a file size limit a write is to fail with EFBIG, which the writers repair to whole
    // rows and report, rather than end the process in the middle of a row.
    std::signal(SIGXFSZ, SIG_IGN);
    core::UseQtEventDispatcher();
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("CHROMIX3-Varev V4.2"));
    app::QtOperatorDialogs dialogs;
    app::Program program(appState, dialogs);
    dialogs.SetParent(&program.Window());
    dialogs.WatchGate(&program.Gate());
    const app::TerminationSignals endings([&program] { program.EndWithoutAsking(); });
    return app::RunProgram(program);
}
