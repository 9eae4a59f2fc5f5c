#include "scope/ScopeSettingsPage.h"

#include "controls/CommandButton.h"
#include "controls/ValueDisplay.h"
#include "core/Shell.h"
#include "scope/ScopeModel.h"

#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace scope {

namespace {

constexpr int kCommentLimit = 1023;

QSpinBox* MakeField(QWidget* parent, const char* role, int low, int high, int value) {
    auto* field = new QSpinBox(parent);
    field->setObjectName(QString::fromLatin1(role));
    field->setRange(low, high);
    field->setValue(value);
    field->setAlignment(Qt::AlignRight);
    field->setKeyboardTracking(false);
    return field;
}

} // namespace

ScopeSettingsPage::ScopeSettingsPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ScopeSettingsPage"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);

    editTriggerMode = new QComboBox(this);
    editTriggerMode->setObjectName(QStringLiteral("EditTriggerMode"));
    for (const char* mode :
         {"SINGLE SHOT", "RISING EDGE", "FALLING EDGE", "INTERNAL C-No.0", "EXTERNAL IN0"})
        editTriggerMode->addItem(QString::fromLatin1(mode));
    editScopeRecSignal = new QComboBox(this);
    editScopeRecSignal->setObjectName(QStringLiteral("EditScopeRecSignal"));
    editScopeRecSignal->addItem(tr("RED, GREEN, BLUE"));
    editScopeRecSignal->addItem(tr("X, Y, INT (s, i, M)"));
    editPreTrigVal = MakeField(this, "EditPreTrigVal", 0, kSamples, 20);
    editTriggerLevel = MakeField(this, "EditTriggerLevel", 0, 65535, 2000);
    editScanRate = MakeField(this, "EditScanRate", 1, 65535, 1);
    dispCycleTime = core::MakeValueDisplay(this, "DispCycleTime");
    dispScanFreq = core::MakeValueDisplay(this, "DispScanFreq");
    form->addRow(tr("TRIGGER MODE"), editTriggerMode);
    form->addRow(tr("RECORD SIGNAL"), editScopeRecSignal);
    form->addRow(tr("PRE TRIGGER"), editPreTrigVal);
    form->addRow(tr("TRIGGER LEVEL"), editTriggerLevel);
    form->addRow(tr("SCAN RATE"), editScanRate);
    form->addRow(tr("CYCLE TIME [ms]"), dispCycleTime);
    form->addRow(tr("SCAN FREQ [Hz]"), dispScanFreq);
    layout->addLayout(form);

    auto* buttons = new QGridLayout;
    buttonGetCycleTime = core::MakeRoleButton(this, "ButtonGetCycleTime", tr("GET CYCLE TIME"));
    buttonScan = core::MakeRoleButton(this, "ButtonScan", tr("SCAN"));
    buttonBreakScan = core::MakeRoleButton(this, "ButtonBreakScan", tr("BREAK SCAN"));
    buttonPrintScopeGraph = core::MakeRoleButton(this, "ButtonPrintScopeGraph", tr("PRINT"));
    buttons->addWidget(buttonGetCycleTime, 0, 0);
    buttons->addWidget(buttonPrintScopeGraph, 0, 1);
    buttons->addWidget(buttonScan, 1, 0);
    buttons->addWidget(buttonBreakScan, 1, 1);
    layout->addLayout(buttons);
    buttonBreakScan->setEnabled(false);

    auto* commentCaption = new QLabel(tr("COMMENT"), this);
    layout->addWidget(commentCaption);
    editScopeComment = new QPlainTextEdit(this);
    editScopeComment->setObjectName(QStringLiteral("EditScopeComment"));
    commentCaption->setBuddy(editScopeComment);
    // A right double click empties the box; no menu gets in its way.
    editScopeComment->setContextMenuPolicy(Qt::NoContextMenu);
    editScopeComment->viewport()->installEventFilter(this);
    layout->addWidget(editScopeComment, 1);

    connect(editTriggerMode, &QComboBox::activated, this, &ScopeSettingsPage::ApplyTriggerMode);
    connect(editScanRate, &QSpinBox::valueChanged, this, &ScopeSettingsPage::ScanRateChanged);
    connect(buttonGetCycleTime, &QPushButton::clicked, this,
            &ScopeSettingsPage::GetCycleTimeRequested);
    connect(buttonScan, &QPushButton::clicked, this, &ScopeSettingsPage::ScanRequested);
    connect(buttonBreakScan, &QPushButton::clicked, this, &ScopeSettingsPage::BreakRequested);
    connect(buttonPrintScopeGraph, &QPushButton::clicked, this, &ScopeSettingsPage::PrintRequested);
    ApplyTriggerMode();
}

bool ScopeSettingsPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == editScopeComment->viewport() && event->type() == QEvent::MouseButtonDblClick &&
        static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
        editScopeComment->clear();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void ScopeSettingsPage::RegisterCommands(core::Registrar& registrar) {
    for (QWidget* control : {buttonGetCycleTime, buttonScan, buttonPrintScopeGraph})
        registrar.AddCommandControl(control, core::CommandKind::Command);
}

std::array<std::uint16_t, 5> ScopeSettingsPage::ScanRequest() const {
    return {std::uint16_t(TriggerMode()), std::uint16_t(PreTrigger()),
            std::uint16_t(editTriggerLevel->value()), std::uint16_t(ScanRate()),
            std::uint16_t(RecordSignal())};
}

int ScopeSettingsPage::TriggerMode() const {
    return editTriggerMode->currentIndex();
}

int ScopeSettingsPage::PreTrigger() const {
    return editPreTrigVal->value();
}

int ScopeSettingsPage::ScanRate() const {
    return editScanRate->value();
}

int ScopeSettingsPage::RecordSignal() const {
    return editScopeRecSignal->currentIndex();
}

QString ScopeSettingsPage::Comment() const {
    return editScopeComment->toPlainText().left(kCommentLimit);
}

void ScopeSettingsPage::ShowCycleTime(double ms) {
    const double hz = ms > 0 ? 1000.0 / ms : 0;
    dispCycleTime->setText(QString::number(ms, 'f', CycleTimeDecimals(ms)));
    dispScanFreq->setText(QString::number(hz, 'f', ScanFrequencyDecimals(ms)));
}

void ScopeSettingsPage::EnableBreak(bool enabled) {
    buttonBreakScan->setEnabled(enabled);
}

void ScopeSettingsPage::ApplyTriggerMode() {
    const int mode = TriggerMode();
    editPreTrigVal->setEnabled(mode != kSingleShot);
    editTriggerLevel->setEnabled(mode == kRisingEdge || mode == kFallingEdge);
}

} // namespace scope
