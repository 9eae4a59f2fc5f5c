#pragma once
// The mean-value teach panel: up to 100 captured measurements, their mean and largest distances,
// and how the tolerances of the taught mean are chosen.
#include "teach/MeanValueTeach.h"

#include <QWidget>

class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTableWidget;

namespace core {
class OperatorDialogs;
}

namespace teach {

class MeanValuePanel : public QWidget {
    Q_OBJECT
public:
    explicit MeanValuePanel(core::OperatorDialogs& dialogs, QWidget* parent = nullptr);

    // The captures as the value table shows them (the operator may have edited cells).
    CaptureTable Captures() const;
    // Mean and spread of the captures, shown in the mean table and the two displays.
    MeanAndSpread Recompute();
    // The choices and value fields of the two tolerances, with the spread.
    MeanTeachInputs TeachInputs();
    void UpdateTeachPanelLabels(std::uint16_t calculationMode, std::uint16_t evaluationMode);
    void SetFrameSource(const protocol::MeasurementFrame* frame) { current = frame; }
    // The live RED, GREEN and BLUE row, made by the data panel that keeps it up to date.
    void AddLiveValues(QWidget* rgbRow);

    void CBF_ButtonTP1Capture();
    void CBF_ButtonTP1Undo();
    void CBF_ButtonTP1ResetTable();
    void CBF_ButtonTP1Teach();
    void CBF_ButtonCloseTeachPanel();
    void CBF_GridTP1Values();

signals:
    void TeachRequested();
    void CloseRequested();

private:
    void ShowCaptures(const CaptureTable& table);
    void ResetCaptureTable();

    core::OperatorDialogs& dialogs;
    const protocol::MeasurementFrame* current = nullptr;
    std::uint16_t calculationMode = 0;
    QLabel* dispTP1Counter;
    QTableWidget* gridTP1Values;
    QTableWidget* gridTP1Mean;
    QLabel* dispTP1MaxDeltaXY;
    QLabel* dispTP1MaxDeltaInt;
    QLabel* labelMaxDeltaXY;
    QLabel* labelMaxDeltaInt;
    QComboBox* editTP1TeachCtoWith;
    QComboBox* editTP1TeachItoWith;
    QSpinBox* editTP1ValueCto;
    QSpinBox* editTP1ValueIto;
    QLabel* labelTeachCtoWith;
    QLabel* labelTeachItoWith;
    QLabel* labelValueCto;
    QLabel* labelValueIto;
    QPushButton* buttonTP1Capture;
    QPushButton* buttonTP1Undo;
    QPushButton* buttonTP1ResetTable;
    QPushButton* buttonTP1Teach;
    QPushButton* buttonCloseTeachPanel;
};

} // namespace teach
