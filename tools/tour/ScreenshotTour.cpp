// Takes the screenshots an operator would look at: the program connected to the simulator with
// GO running, every data page, the graph panel, a big panel, the two teach panels and the main
// pages, at one window size. Run under a
// real X server (scripts/screenshots starts one); writes PNG files into the given folder.
#include "app/Program.h"
#include "calibration/CalibrationModule.h"
#include "core/AppState.h"
#include "live/LiveModule.h"
#include "recorder/RecorderModule.h"
#include "scope/ScopeModule.h"
#include "scope/ScopePanel.h"
#include "sim/SimThread.h"
#include "support/ScriptedOperator.h"
#include "teach/PointCloudGraph.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <functional>
#include <utility>
#include <vector>

namespace {

// Runs each step after its pause, back in the event loop in between.
void RunSteps(std::vector<std::pair<int, std::function<void()>>> steps, std::size_t next = 0) {
    if (next >= steps.size()) return;
    const int pause = steps[next].first;
    QTimer::singleShot(pause, [steps = std::move(steps), next]() mutable {
        steps[next].second();
        RunSteps(std::move(steps), next + 1);
    });
}

void Grab(QWidget& window, const QString& path) {
    QApplication::processEvents();
    const QPixmap shot = window.screen()->grabWindow(window.winId());
    if (!shot.save(path)) std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
}

template <typename T> T* Find(QWidget& root, const char* role, int index = 0) {
    return root.findChildren<T*>(QString::fromLatin1(role)).value(index);
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc < 4) {
        std::fprintf(stderr, "usage: screenshot_tour WIDTH HEIGHT OUTPUT-FOLDER\n");
        return 2;
    }
    const int width = std::atoi(argv[1]);
    const int height = std::atoi(argv[2]);
    const QString out = QString::fromLocal8Bit(argv[3]);
    const QString tag = QStringLiteral("%1x%2").arg(width).arg(height);
    QDir().mkpath(out);

    sim::SimThread simulator;
    const quint16 port = simulator.StartTcp(0);
    // A few taught colours around where the simulated object wanders, so the planes show them.
    protocol::ParameterImage taught = simulator.RamImage()[0];
    const std::uint16_t rows[4][5] = {{4200, 3000, 250, 1500, 150},
                                      {3600, 3500, 300, 1450, 200},
                                      {4600, 2600, 200, 1550, 100},
                                      {3900, 2300, 350, 1500, 250}};
    for (std::size_t r = 0; r < 4; ++r) {
        for (std::size_t c = 0; c < 5; ++c)
            taught.table[r].w[c] = rows[r][c];
    }
    taught.parameters[protocol::kMaxVecNo] = 4;
    simulator.SetRamImage(0, taught);
    core::AppState state;
    ScriptedOperator dialogs;
    QTemporaryDir programDir;
    app::Program program(state, dialogs);
    program.SetProgramDirectory(programDir.path());
    program.InitApplication();
    QWidget& window = program.Window();
    window.setWindowState(Qt::WindowNoState);
    window.move(0, 0);
    window.resize(width, height);

    auto* protocol = Find<QComboBox>(window, "EditCommunicationProtocol");
    protocol->setCurrentIndex(1);
    emit protocol->activated(1);
    Find<QComboBox>(window, "StringIpAdress")->setEditText(QStringLiteral("127.0.0.1"));
    Find<QLineEdit>(window, "StringPortNumber")->setText(QString::number(port));
    Find<QPushButton>(window, "ButtonTryToConnect")->click();
    program.ShowPage(core::MainPage::Parameters);

    auto* pages = Find<QTabWidget>(window, "TabDataP1");
    auto* mode = Find<QComboBox>(window, "EditCalcmode");
    struct Step {
        int page;
        int calculationMode;
        const char* name;
    };
    const Step steps[] = {{0, 0, "rgb"}, {1, 0, "int"}, {2, 0, "2d"}, {3, 2, "3d"}};
    int step = 0;
    // Each page is shown while GO runs, long enough for its charts to move.
    QTimer tour;
    tour.setInterval(1500);
    // The main pages after the loop (the communication page would end it).
    const std::function<void()> afterTheLoop = [&] {
        // The recorded-value teach panel after half a second of recording, the cursors
        // on the first record: the simulator answers so fast that two seconds would fill
        // the buffer and end the recording before the picture.
        program.ShowPage(core::MainPage::TeachTable);
        Find<QPushButton>(window, "ButtonTeachRecVal")->click();
        QTimer::singleShot(500, [&] {
            auto* xy = Find<teach::PointCloudGraph>(window, "GraphXYTP2");
            program.Live().CBF_ButtonStop();
            QTest::qWait(100);
            const core::TeachPoint first = state.teach.recordedPoints[0];
            xy->SnapCursorTo({first[0], first[1]});
            Grab(window, QStringLiteral("%1/teach-recorded-%2.png").arg(out, tag));
        });
        Find<QPushButton>(window, "ButtonTP2Start")->click();
        Find<QPushButton>(window, "ButtonCloseTeachPanel", 1)->click();

        // The recorder during a continuous recording, its start button red.
        program.ShowPage(core::MainPage::Recorder);
        dialogs.fileAnswers = {{core::OperatorDialogs::FileChoice::New,
                                programDir.filePath(QStringLiteral("tour.dat")).toStdString()}};
        Find<QPushButton>(window, "ButtonSelRecFile")->click();
        auto* recordMode = Find<QComboBox>(window, "EditSelectDataRec");
        recordMode->setCurrentIndex(1);
        emit recordMode->activated(1);
        Find<QDoubleSpinBox>(window, "EditInterval")->setValue(0.25);
        dialogs.confirmAnswers = {true};
        QTimer::singleShot(1500, [&] {
            Grab(window, QStringLiteral("%1/recorder-running-%2.png").arg(out, tag));
            program.Recorder().CBF_ButtonStopRecord();
        });
        Find<QPushButton>(window, "ButtonStartRecord")->click();
        recordMode->setCurrentIndex(0);
        emit recordMode->activated(0);
        const char* names[] = {"com", "para", "group", "teach", "rec", "cal", "rows"};
        for (int page = 0; page < int(std::size(names)); ++page) {
            program.ShowPage(core::MainPage(page));
            QTest::qWait(200);
            Grab(window, QStringLiteral("%1/page-%2-%3.png").arg(out, names[page], tag));
        }
        // The serial fields, the COM PORT list open; then back to TCP/IP.
        program.ShowPage(core::MainPage::Communication);
        auto* protocol = Find<QComboBox>(window, "EditCommunicationProtocol");
        protocol->setCurrentIndex(0);
        emit protocol->activated(0);
        auto* ports = Find<QComboBox>(window, "EditSelectComPort");
        ports->showPopup();
        QTest::qWait(200);
        Grab(window, QStringLiteral("%1/page-com-serial-%2.png").arg(out, tag));
        ports->hidePopup();
        protocol->setCurrentIndex(1);
        emit protocol->activated(1);
        // The protocol monitor over a GET.
        Find<QPushButton>(window, "ButtonMonitor")->click();
        // The tour has changed the panel: the GET may replace what was not sent.
        dialogs.lossAnswers = {true};
        Find<QPushButton>(window, "ButtonGet")->click();
        QTest::qWait(400);
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (top->objectName() == QLatin1String("ProtocolMonitor") && top->isVisible())
                Grab(*top, QStringLiteral("%1/protocol-monitor-%2.png").arg(out, tag));
        }
        Find<QPushButton>(window, "ButtonMonitor")->click();
        // The scope after a single-shot scan, with the cursors apart.
        program.ShowPage(core::MainPage::ScopeSettings);
        Find<QPushButton>(window, "ButtonGetCycleTime")->click();
        Find<QPushButton>(window, "ButtonScan")->click();
        program.Scope().Panel().PlaceCursor(0, 30, 1500);
        QTest::qWait(300);
        Grab(window, QStringLiteral("%1/scope-%2.png").arg(out, tag));
        // The service page, opened as the password would open it.
        program.Calibration().UnlockOffsetPage();
        QTest::qWait(200);
        Grab(window, QStringLiteral("%1/page-offset-%2.png").arg(out, tag));
        // The taught rows were never sent: the close asks, and the tour lets them go.
        dialogs.lossAnswers = {true};
        window.close();
    };
    QObject::connect(&tour, &QTimer::timeout, [&] {
        if (step > 0) {
            Grab(window, QStringLiteral("%1/data-%2-%3.png").arg(out, steps[step - 1].name, tag));
        }
        if (step == int(std::size(steps))) {
            tour.stop();
            // Each picture is taken from a timer of its own: a wait inside one would hold the
            // GO loop that serves it, and the panels would show a stalled sensor.
            RunSteps({
                {0, [&] { Find<QPushButton>(window, "ButtonShowGraph")->click(); }},
                {800,
                 [&] {
                     Grab(window, QStringLiteral("%1/graph-panel-%2.png").arg(out, tag));
                     auto* number = window.findChild<QWidget*>(QStringLiteral("DispCOL"));
                     QTest::mouseDClick(number, Qt::LeftButton);
                     Find<QPushButton>(window, "ButtonGpClose")->click();
                 }},
                {800,
                 [&] {
                     for (QWidget* top : QApplication::topLevelWidgets()) {
                         if (top->objectName() == QLatin1String("COLBIGP") && top->isVisible()) {
                             Grab(*top,
                                  QStringLiteral("%1/big-colour-number-%2.png").arg(out, tag));
                             // Closed again, as the operator would, so it covers none of the
                             // pictures that follow.
                             top->hide();
                         }
                     }
                     // The mean-value teach panel with a few captures, while GO runs.
                     program.ShowPage(core::MainPage::TeachTable);
                     Find<QPushButton>(window, "ButtonTeachMeanVal")->click();
                 }},
                {100, [&] { Find<QPushButton>(window, "ButtonTP1Capture")->click(); }},
                {100, [&] { Find<QPushButton>(window, "ButtonTP1Capture")->click(); }},
                {100, [&] { Find<QPushButton>(window, "ButtonTP1Capture")->click(); }},
                {100, [&] { Find<QPushButton>(window, "ButtonTP1Capture")->click(); }},
                {100, [&] { Find<QPushButton>(window, "ButtonTP1Capture")->click(); }},
                {300,
                 [&] {
                     Grab(window, QStringLiteral("%1/teach-mean-%2.png").arg(out, tag));
                     Find<QPushButton>(window, "ButtonCloseTeachPanel")->click();
                     program.Live().CBF_ButtonStop();
                 }},
                {300, afterTheLoop},
            });
            return;
        }
        const Step& s = steps[step++];
        mode->setCurrentIndex(mode->findData(s.calculationMode));
        emit mode->activated(mode->currentIndex());
        pages->setCurrentIndex(s.page);
    });
    tour.start();
    QTimer::singleShot(0, [&] { Find<QPushButton>(window, "ButtonGo")->click(); });
    const int result = QApplication::exec();
    program.ShutDown();
    return result;
}
