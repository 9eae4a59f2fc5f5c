#include "app/Program.h"
#include "app/QtOperatorDialogs.h"
#include "core/AppState.h"
#include "core/EventDispatcher.h"

#include <QApplication>

namespace {
// The program's state for the whole run.
core::AppState appState;
} // namespace

int main(int argc, char* argv[]) {
    core::UseQtEventDispatcher();
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("CHROMIX3-Varev V4.2"));
    app::QtOperatorDialogs dialogs;
    app::Program program(appState, dialogs);
    dialogs.SetParent(&program.Window());
    dialogs.WatchGate(&program.Gate());
    return app::RunProgram(program);
}
