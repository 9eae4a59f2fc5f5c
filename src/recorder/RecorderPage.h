#pragma once
// The recorder page: the record file, the record mode with the controls each mode shows, the
// interval and number of values with the record time they make, the counters, and the start,
// stop and manual buttons.
#include "model/RecordFile.h"

#include <QWidget>

#include <array>

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace core {
class Registrar;
}

namespace recorder {

enum RecordMode : int { kModeCount = 0, kModeContinuous = 1, kModeManual = 2, kModeTriggered = 3 };

class RecorderPage : public QWidget {
    Q_OBJECT
public:
    explicit RecorderPage(QWidget* parent = nullptr);
    // The record-mode selector and the three buttons that start sensor traffic or a row.
    void RegisterCommands(core::Registrar& registrar);

    int Mode() const;
    double Interval() const;
    std::uint16_t FrameCount() const;
    void ShowInterval(double interval);
    void ShowRecordTime(const RecordTime& time);
    void ShowRecorded(std::uint16_t recorded);
    void ShowRemaining(int remaining);
    void ShowFrameCounter(double counter);
    // Rows that could not be written to the file: shown, in red, only when there are some.
    void ShowNotWritten(int rows);
    void ShowPath(const QString& path);
    QString ShownPath() const;
    void ShowIdentification(const QString& id);
    // Shows the controls of `mode` and hides the other mode-dependent ones.
    void ApplyVisibility(int mode);
    // A timed recording runs: its fields become indicators and its start button turns red.
    void ShowTimedRecording(bool running);
    void ShowTriggeredRecording(bool running);
    void DimManualRecord(bool dimmed);

signals:
    void SelectFileRequested();
    void ModeChanged();
    void TimingEdited();
    void StartRequested();
    void StopRequested();
    void StartTriggeredRequested();
    void ManualRequested();

private:
    // A caption and its field in one box, so that the box is shown or hidden as a whole.
    QWidget* Field(const QString& caption, QWidget* field);
    void SetStartColour(QPushButton* button, bool running);

    QPushButton* buttonSelRecFile;
    QLineEdit* dispRecFile;
    QLabel* dispId;
    QComboBox* editSelectDataRec;
    QDoubleSpinBox* editInterval;
    QSpinBox* editRecVal;
    std::array<QLabel*, 4> dispRecordTime{};
    QLabel* dispRecordedValues;
    QLabel* dispRemaining;
    QLabel* dispFrameCounter;
    QLabel* dispNotWritten;
    QPushButton* buttonStartRecord;
    QPushButton* buttonStopRecord;
    QPushButton* buttonStartTrigRec;
    QPushButton* buttonManualRecord;
    // The boxes the visibility table shows or hides.
    QWidget* intervalBox;
    QWidget* frameCountBox;
    QWidget* recordTimeBox;
    QWidget* recordedBox;
    QWidget* remainingBox;
    QWidget* frameCounterBox;
    QWidget* notWrittenBox;
};

} // namespace recorder
