#pragma once
// The recorder as the window composes it: the recorder page, the choice of the record file and
// its header, and the recording loops (a number of values or continuous at an interval, manual,
// and triggered by the sensor), each through the command gate.
#include "link/EventWait.h"
#include "model/RecordFile.h"
#include "protocol/MeasurementFrame.h"

#include <QElapsedTimer>
#include <QObject>

#include <functional>
#include <string>

namespace core {
struct AppState;
class OperatorDialogs;
class Registrar;
class Shell;
} // namespace core
namespace comm {
class SensorOperations;
}
namespace live {
class LiveModule;
}

namespace recorder {

class RecorderPage;

class RecorderModule : public QObject {
    Q_OBJECT
public:
    RecorderModule(core::AppState& state, core::Shell& shell, core::OperatorDialogs& dialogs,
                   core::Registrar& registrar, comm::SensorOperations& operations,
                   live::LiveModule& live);

    RecorderPage& Page() { return *page; }
    // The record file path of the settings, on the page.
    void ShowRecordFile();
    void ShowIdentification(const QString& id);
    // The recorder page has come to the front.
    void PageActivated();
    // The clock that dates the rows; tests set their own.
    void SetClock(std::function<ClockTime()> clock) { now = std::move(clock); }

    void CBF_ButtonSelRecFile();
    void CBF_EditSelectDataRec();
    void RecomputeRecordTime();
    void CBF_ButtonStartRecord();
    void CBF_ButtonStopRecord();
    void CBF_ButtonStartTrigRec();
    void CBF_ButtonManualRecord();

signals:
    // A cycle of a timed recording begins (the timer reading in seconds), for those who watch
    // its pace.
    void CycleStarted(double seconds);

private:
    void RunTimedRecording();
    void RunTriggeredRecording();
    // The current frame, just measured: shown, drawn and written as a row.
    void RecordFrame();
    void AppendRow(const protocol::MeasurementFrame& frame);
    // Events are served until `interval` seconds have passed since `cycleStart`, or the
    // recording is stopped. Sleeps between events.
    void WaitForNextPeriod(double cycleStart, double interval);
    double Seconds() const;
    // "File has been saved!", or how many rows are missing and whether a failure ended the
    // recording after `rows` rows.
    void ReportSaved(int rows);
    void StartCountingRows();
    bool ConfirmFileAndWarn(bool alsoWarn);

    core::AppState& state;
    core::Shell& shell;
    core::OperatorDialogs& dialogs;
    comm::SensorOperations& operations;
    live::LiveModule& live;
    RecorderPage* page;
    comm::EventWait eventWait;
    QElapsedTimer timer;
    std::function<ClockTime()> now;
    std::uint16_t recordedCount = 0;
    double frameCounter = 0;
    int rowsNotWritten = 0;
    // Frames the sensor sent that were not recorded: failed, or no measurement.
    int framesNotRecorded = 0;
    // What ended the recording was a failed exchange or a lost link, not a stop.
    bool endedByFailure = false;
};

} // namespace recorder
