#include "recorder/RecorderPage.h"

#include "controls/CommandButton.h"
#include "controls/ValueDisplay.h"
#include "core/Shell.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <cmath>

namespace recorder {

namespace {

constexpr const char* kStartIdle = "background:#E0E0E0;";
constexpr const char* kStartRunning = "background:#FF0000;";

} // namespace

RecorderPage::RecorderPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("RecorderPage"));
    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(6);

    buttonSelRecFile = core::MakeRoleButton(this, "ButtonSelRecFile", tr("SELECT RECORD FILE"));
    dispRecFile = new QLineEdit(this);
    dispRecFile->setObjectName(QStringLiteral("DispRecFile"));
    dispRecFile->setReadOnly(true);
    dispRecFile->setAccessibleName(tr("record file"));
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(buttonSelRecFile);
    fileRow->addStretch(1);
    layout->addLayout(fileRow);
    layout->addWidget(dispRecFile);
    dispId = new QLabel(this);
    dispId->setObjectName(QStringLiteral("DispRecId"));
    dispId->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    layout->addWidget(Field(tr("PANEL ID"), dispId));

    editSelectDataRec = new QComboBox(this);
    editSelectDataRec->setObjectName(QStringLiteral("EditSelectDataRec"));
    editSelectDataRec->addItem(tr("NUMBER OF VALUES"), kModeCount);
    editSelectDataRec->addItem(tr("CONTINUOUS"), kModeContinuous);
    editSelectDataRec->addItem(tr("MANUAL"), kModeManual);
    editSelectDataRec->addItem(tr("TRIGGERED"), kModeTriggered);
    layout->addWidget(Field(tr("RECORD MODE"), editSelectDataRec));

    editInterval = new QDoubleSpinBox(this);
    editInterval->setObjectName(QStringLiteral("EditInterval"));
    // Below the shortest interval is accepted here and raised when the record time is computed.
    editInterval->setRange(0.0, 86400.0);
    editInterval->setDecimals(2);
    editInterval->setSingleStep(0.25);
    editInterval->setValue(1.0);
    editInterval->setKeyboardTracking(false);
    editRecVal = new QSpinBox(this);
    editRecVal->setObjectName(QStringLiteral("EditRecVal"));
    // A count of 0 would never end a recording of a number of values.
    editRecVal->setRange(1, 65535);
    editRecVal->setValue(100);
    editRecVal->setKeyboardTracking(false);
    layout->addWidget(intervalBox = Field(tr("INTERVAL [s]"), editInterval));
    layout->addWidget(frameCountBox = Field(tr("NUMBER OF VALUES"), editRecVal));

    // The record time under its caption: four displays side by side fit the narrow column.
    recordTimeBox = new QWidget(this);
    auto* timeGrid = new QGridLayout(recordTimeBox);
    timeGrid->setContentsMargins(0, 0, 0, 0);
    timeGrid->addWidget(new QLabel(tr("RECORD TIME"), recordTimeBox), 0, 0, 1, 8);
    const char* units[4] = {"d", "h", "min", "s"};
    for (int i = 0; i < 4; ++i) {
        dispRecordTime[std::size_t(i)] =
            core::MakeValueDisplay(recordTimeBox, "DispRecordTime", 48);
        dispRecordTime[std::size_t(i)]->setMinimumWidth(36);
        auto* unit = new QLabel(QString::fromLatin1(units[i]), recordTimeBox);
        unit->setBuddy(dispRecordTime[std::size_t(i)]);
        timeGrid->addWidget(dispRecordTime[std::size_t(i)], 1, 2 * i);
        timeGrid->addWidget(unit, 1, 2 * i + 1);
    }
    timeGrid->setColumnStretch(6, 1);
    layout->addWidget(recordTimeBox);

    dispRecordedValues = core::MakeValueDisplay(this, "DispRecordedValues", 48);
    dispRemaining = core::MakeValueDisplay(this, "DispRemaining", 48);
    dispFrameCounter = core::MakeValueDisplay(this, "DispFrameCounter", 48);
    dispNotWritten = core::MakeValueDisplay(this, "DispNotWritten", 48);
    dispNotWritten->setStyleSheet(QStringLiteral("background:#FF0000; color:#FFFFFF;"));
    auto* counters = new QGridLayout;
    counters->addWidget(recordedBox = Field(tr("RECORDED"), dispRecordedValues), 0, 0);
    counters->addWidget(remainingBox = Field(tr("REMAINING"), dispRemaining), 0, 1);
    counters->addWidget(frameCounterBox = Field(tr("RECORDED"), dispFrameCounter), 1, 0);
    counters->addWidget(notWrittenBox = Field(tr("NOT WRITTEN"), dispNotWritten), 1, 1);
    layout->addLayout(counters);
    notWrittenBox->hide();

    buttonStartRecord = core::MakeRoleButton(this, "ButtonStartRecord", tr("START RECORD"));
    buttonStopRecord = core::MakeRoleButton(this, "ButtonStopRecord", tr("STOP RECORD"));
    buttonStartTrigRec = core::MakeRoleButton(this, "ButtonStartTrigRec", tr("START TRIG RECORD"));
    buttonManualRecord = core::MakeRoleButton(this, "ButtonManualRecord", tr("MANUAL RECORD"));
    for (QPushButton* start : {buttonStartRecord, buttonStartTrigRec})
        start->setStyleSheet(QString::fromLatin1(kStartIdle));
    auto* buttons = new QGridLayout;
    buttons->addWidget(buttonStartRecord, 0, 0);
    buttons->addWidget(buttonStartTrigRec, 0, 0);
    buttons->addWidget(buttonManualRecord, 0, 0);
    buttons->addWidget(buttonStopRecord, 0, 1);
    layout->addLayout(buttons);
    layout->addStretch(1);

    connect(buttonSelRecFile, &QPushButton::clicked, this, &RecorderPage::SelectFileRequested);
    connect(editSelectDataRec, &QComboBox::activated, this, &RecorderPage::ModeChanged);
    connect(editInterval, &QDoubleSpinBox::valueChanged, this, &RecorderPage::TimingEdited);
    connect(editRecVal, &QSpinBox::valueChanged, this, &RecorderPage::TimingEdited);
    connect(buttonStartRecord, &QPushButton::clicked, this, &RecorderPage::StartRequested);
    connect(buttonStopRecord, &QPushButton::clicked, this, &RecorderPage::StopRequested);
    connect(buttonStartTrigRec, &QPushButton::clicked, this,
            &RecorderPage::StartTriggeredRequested);
    connect(buttonManualRecord, &QPushButton::clicked, this, &RecorderPage::ManualRequested);
    ApplyVisibility(kModeCount);
}

QWidget* RecorderPage::Field(const QString& caption, QWidget* field) {
    auto* box = new QWidget(this);
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    auto* label = new QLabel(caption, box);
    label->setBuddy(field);
    field->setParent(box);
    row->addWidget(label);
    row->addWidget(field, 1);
    return box;
}

void RecorderPage::RegisterCommands(core::Registrar& registrar) {
    for (QWidget* control :
         {static_cast<QWidget*>(editSelectDataRec), static_cast<QWidget*>(buttonStartRecord),
          static_cast<QWidget*>(buttonStartTrigRec), static_cast<QWidget*>(buttonManualRecord)})
        registrar.AddCommandControl(control, core::CommandKind::Command);
}

int RecorderPage::Mode() const {
    return editSelectDataRec->currentData().toInt();
}

double RecorderPage::Interval() const {
    return editInterval->value();
}

std::uint16_t RecorderPage::FrameCount() const {
    return std::uint16_t(editRecVal->value());
}

void RecorderPage::ShowInterval(double interval) {
    const QSignalBlocker blocker(editInterval);
    editInterval->setValue(interval);
}

void RecorderPage::ShowRecordTime(const RecordTime& time) {
    dispRecordTime[0]->setText(QString::number(time.days));
    dispRecordTime[1]->setText(QString::number(time.hours));
    dispRecordTime[2]->setText(QString::number(time.minutes));
    dispRecordTime[3]->setText(QString::number(time.seconds, 'g', 6));
}

void RecorderPage::ShowRecorded(std::uint16_t recorded) {
    dispRecordedValues->setText(QString::number(recorded));
}

void RecorderPage::ShowRemaining(int remaining) {
    dispRemaining->setText(QString::number(remaining));
}

void RecorderPage::ShowFrameCounter(double counter) {
    dispFrameCounter->setText(QString::number(counter, 'f', 0));
}

void RecorderPage::ShowNotWritten(int rows) {
    dispNotWritten->setText(QString::number(rows));
    notWrittenBox->setVisible(rows > 0);
}

void RecorderPage::ShowPath(const QString& path) {
    dispRecFile->setText(path);
    dispRecFile->setCursorPosition(0);
    dispRecFile->setToolTip(path);
}

QString RecorderPage::ShownPath() const {
    return dispRecFile->text();
}

void RecorderPage::ShowIdentification(const QString& id) {
    dispId->setText(id);
}

void RecorderPage::ApplyVisibility(int mode) {
    const bool count = mode == kModeCount;
    const bool continuous = mode == kModeContinuous;
    const bool manual = mode == kModeManual;
    const bool triggered = mode == kModeTriggered;
    intervalBox->setVisible(count || continuous);
    frameCountBox->setVisible(count);
    recordTimeBox->setVisible(count);
    recordedBox->setVisible(count || manual);
    remainingBox->setVisible(count);
    frameCounterBox->setVisible(continuous || triggered);
    buttonStartRecord->setVisible(count || continuous);
    buttonStopRecord->setVisible(!manual);
    buttonStartTrigRec->setVisible(triggered);
    buttonManualRecord->setVisible(manual);
}

void RecorderPage::SetStartColour(QPushButton* button, bool running) {
    button->setStyleSheet(QString::fromLatin1(running ? kStartRunning : kStartIdle));
}

void RecorderPage::ShowTimedRecording(bool running) {
    editInterval->setReadOnly(running);
    editRecVal->setReadOnly(running);
    // An indicator while it runs: red, and a click does nothing.
    buttonStartRecord->setAttribute(Qt::WA_TransparentForMouseEvents, running);
    buttonStartRecord->setFocusPolicy(running ? Qt::NoFocus : Qt::StrongFocus);
    SetStartColour(buttonStartRecord, running);
}

void RecorderPage::ShowTriggeredRecording(bool running) {
    SetStartColour(buttonStartTrigRec, running);
}

void RecorderPage::DimManualRecord(bool dimmed) {
    buttonManualRecord->setEnabled(!dimmed);
}

} // namespace recorder
