// The yardstick of bench_start: the least a Qt program can be that shows a window, one button
// in it, and ends when the window is closed.
#include <QApplication>
#include <QPushButton>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QPushButton button(QStringLiteral("GO"));
    button.resize(200, 80);
    button.show();
    return QApplication::exec();
}
