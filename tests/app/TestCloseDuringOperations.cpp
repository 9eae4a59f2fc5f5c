// Closing the window during each command that loops or waits ends the program: the command ends
// through the command gate (a write on the line first finishes), only the orders that leave the
// sensor clean go out after the close, the settings are written, and the process ends. Each case
// runs the program in a child process of its own against a simulator in this process.
#include "CloseCases.h"

#include <QtTest>

using namespace closecases;

namespace {

// A generous bound on the time from the close to the end of the process (the program takes a
// small part of it; bench_close prints it). The cases are built so that a command the close did
// not end would keep the process at least twice as long: the child's waits for a reply or a
// connection have no limit before 60 s, a reply comes after 20 s if at all, a recording's next
// interval after 30 s, a trigger never.
constexpr double kEndBoundMs = 10000;

bool Contains(const std::vector<int>& orders, int order) {
    return std::find(orders.begin(), orders.end(), order) != orders.end();
}

} // namespace

class TestCloseDuringOperations : public QObject {
    Q_OBJECT

private slots:
    void closingEndsTheCommandAndTheProgram_data() {
        QTest::addColumn<QString>("operation");
        for (const Operation& operation : Operations())
            QTest::newRow(operation.name) << QString::fromLatin1(operation.name);
    }
    void closingEndsTheCommandAndTheProgram() {
        QFETCH(QString, operation);
        const Operation& op = OperationNamed(operation);
        const CloseResult result = RunCase(op);
        QVERIFY2(result.failure.isEmpty(), qPrintable(result.failure));
        QVERIFY2(
            result.afterCloseMs < kEndBoundMs + op.writeMs,
            qPrintable(QStringLiteral("ended %1 ms after the close").arg(result.afterCloseMs)));
        // The settings were written at the close: the whole file anew, with the link.
        QVERIFY(!result.settingsFile.contains("[MARKER]"));
        QVERIFY(result.settingsFile.contains("PORT NUMBER = \"" + QByteArray::number(result.port) +
                                             "\""));
        // After the close: only clean-up orders and the rest of a write in flight, and those
        // always.
        for (const int order : result.ordersAfterClose)
            QVERIFY2(Contains(op.afterClose, order),
                     qPrintable(QStringLiteral("order %1 after the close").arg(order)));
        for (const int order : op.mustFollow)
            QVERIFY2(Contains(result.ordersAfterClose, order),
                     qPrintable(QStringLiteral("order %1 did not go out").arg(order)));
    }
};

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], kChildSwitch) == 0) return RunProgramAndClose(argc, argv);
    QApplication application(argc, argv);
    TestCloseDuringOperations test;
    return QTest::qExec(&test, argc, argv);
}

#include "TestCloseDuringOperations.moc"
