#include "app/AppState.h"
#include "app/MainPanel.h"
#include "app/Program.h"
#include "app/QtOperatorDialogs.h"

#include <QApplication>

namespace {
// The program's state for the whole run.
AppState appState;
} // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("CHROMIX3-Varev V4.2"));
    QtOperatorDialogs dialogs;
    Program program(appState, dialogs);
    dialogs.SetParent(&program.Main());
    program.InitApplication();
    const int result = QApplication::exec();
    program.ShutDown();
    return result == 0 ? 0 : -1;
}
