#include "params/ParameterPage.h"

#include "model/ParameterDefaults.h"
#include "protocol/ParameterCodes.h"
#include "protocol/ParameterImage.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

namespace params {

namespace {

using core::CodeItems;

// Usual ranges of the number fields. POWER, INTEGRAL and MAX VEC NO have their own; the others
// take any 16-bit word the sensor may hold.
constexpr int kPowerMax = 1000;
constexpr int kIntegralMax = 250;
constexpr int kWordMax = 0xFFFF;
constexpr int kMaxVecNoMax = protocol::kTeachRows;

const CodeItems kPowerModes{{"STAT", protocol::kPowerModeStat}, {"DYN", protocol::kPowerModeDyn}};
const CodeItems kLedModes{{"DC", protocol::kLedDc},
                          {"AC", protocol::kLedAc},
                          {"PULSE", protocol::kLedPulse},
                          {"OFF", protocol::kLedOff}};
const CodeItems kGains{{"AMP1", 0}, {"AMP2", 1}, {"AMP3", 2}, {"AMP4", 3},
                       {"AMP5", 4}, {"AMP6", 5}, {"AMP7", 6}, {"AMP8", 7}};
const CodeItems kOutmodes{{"DIRECT LO", 0}, {"BINARY", protocol::kOutBinary}, {"DIRECT HI", 2}};
const CodeItems kEvalModes{{"FIRST HIT", protocol::kEvalFirstHit},
                           {"BEST HIT", protocol::kEvalBestHit},
                           {"MIN DIST", protocol::kEvalMinDist},
                           {"COL5", protocol::kEvalCol5},
                           {"THD RGB", protocol::kEvalThdRgb}};
const CodeItems kCalcModes{{"X Y INT 2D", protocol::kCalcXyInt2D},
                           {"s i M 2D", protocol::kCalcSiM2D},
                           {"X Y INT 3D", protocol::kCalcXyInt3D},
                           {"s i M 3D", protocol::kCalcSiM3D}};
const CodeItems kExternTeachModes{{"OFF", protocol::kExternTeachOff},
                                  {"ON", protocol::kExternTeachOn},
                                  {"STAT1", protocol::kExternTeachStat1},
                                  {"DYN1", protocol::kExternTeachDyn1}};

QComboBox* MakeCombo(const QString& name, const CodeItems& items, QWidget* parent) {
    auto* combo = new QComboBox(parent);
    combo->setObjectName(name);
    core::FillCodes(combo, items);
    return combo;
}

QSpinBox* MakeSpin(const QString& name, QWidget* parent) {
    auto* spin = new QSpinBox(parent);
    spin->setObjectName(name);
    spin->setAlignment(Qt::AlignRight);
    spin->setKeyboardTracking(false); // a typed number counts once it is complete
    return spin;
}

QFormLayout* MakeForm(QGroupBox* box) {
    auto* form = new QFormLayout(box);
    form->setContentsMargins(6, 4, 6, 4);
    form->setHorizontalSpacing(8);
    form->setVerticalSpacing(3);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return form;
}

} // namespace

ParameterPage::ParameterPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ParameterPage"));
    auto* content = new QWidget;
    auto* column = new QVBoxLayout(content);
    column->setContentsMargins(2, 2, 2, 2);
    column->setSpacing(4);
    column->addWidget(BuildLightGroup());
    column->addWidget(BuildEvaluationGroup());
    column->addStretch(1);

    auto* scroll = new QScrollArea(this);
    scroll->setWidget(content);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll);

    // The one table of words and controls.
    words.BindNumber(protocol::kPower, powerValue, 0, kPowerMax, slidePower);
    words.BindList(protocol::kPowerMode, editPmode);
    words.BindNumber(protocol::kAverage, editAverage, 0, kWordMax);
    words.BindList(protocol::kEvaluationMode, editEvalmode);
    words.BindNumber(protocol::kIntlim, editIntlim, 0, kWordMax);
    words.BindNumber(protocol::kMaxVecNo, editMaxVecNo, 0, kMaxVecNoMax);
    words.BindList(protocol::kDigitalOutmode, editDigOutmode);
    words.BindList(protocol::kTrigger, editTrigger);
    words.BindList(protocol::kExternTeach, editExteach);
    words.BindList(protocol::kCalculationMode, editCalcmode);
    words.BindNumber(protocol::kDynWinLo, editDynWinLo, 0, kWordMax);
    words.BindNumber(protocol::kDynWinHi, editDynWinHi, 0, kWordMax);
    words.BindList(protocol::kLedMode, editLedMode);
    words.BindList(protocol::kGain, editGain);
    words.BindNumber(protocol::kIntegral, editIntegral, 0, kIntegralMax);
    SetTriggerItems(protocol::kExternTeachOff);

    for (int word = 0; word < protocol::kParameterCount; ++word)
        SetWord(word, kDefaultParameters[std::size_t(word)]);
    Connect();
}

QWidget* ParameterPage::BuildLightGroup() {
    auto* box = new QGroupBox(tr("TRANSMITTER AND RECEIVER"));
    auto* form = MakeForm(box);

    slidePower = new QSlider(Qt::Horizontal, box);
    slidePower->setObjectName(QStringLiteral("SlidePower"));
    slidePower->setPageStep(50);
    powerValue = MakeSpin(QStringLiteral("SlidePower"), box);
    powerValue->setMinimumWidth(56);
    auto* powerRow = new QHBoxLayout;
    powerRow->setSpacing(4);
    powerRow->addWidget(slidePower, 1);
    powerRow->addWidget(powerValue);
    auto* powerCaption = new QLabel(tr("POWER"), box);
    powerCaption->setBuddy(slidePower); // its right click shows the slider's help
    form->addRow(powerCaption, powerRow);

    editPmode = MakeCombo(QStringLiteral("EditPmode"), kPowerModes, box);
    form->addRow(tr("POWER MODE"), editPmode);
    editDynWinLo = MakeSpin(QStringLiteral("EditDynWinLoHi"), box);
    form->addRow(tr("DYN WIN LO"), editDynWinLo);
    editDynWinHi = MakeSpin(QStringLiteral("EditDynWinLoHi"), box);
    form->addRow(tr("DYN WIN HI"), editDynWinHi);
    editLedMode = MakeCombo(QStringLiteral("EditLedMode"), kLedModes, box);
    form->addRow(tr("LED MODE"), editLedMode);
    editGain = MakeCombo(QStringLiteral("EditGain"), kGains, box);
    form->addRow(tr("GAIN"), editGain);
    editAverage = MakeSpin(QStringLiteral("EditAverage"), box);
    form->addRow(tr("AVERAGE"), editAverage);
    editIntegral = MakeSpin(QStringLiteral("EditIntegral"), box);
    form->addRow(tr("INTEGRAL"), editIntegral);
    return box;
}

QWidget* ParameterPage::BuildEvaluationGroup() {
    auto* box = new QGroupBox(tr("EVALUATION AND OUTPUT"));
    auto* form = MakeForm(box);
    editEvalmode = MakeCombo(QStringLiteral("EditEvalmode"), kEvalModes, box);
    form->addRow(tr("EVALUATION MODE"), editEvalmode);
    editCalcmode = MakeCombo(QStringLiteral("EditCalcmode"), kCalcModes, box);
    form->addRow(tr("CALCULATION MODE"), editCalcmode);
    editMaxVecNo = MakeSpin(QStringLiteral("EditMaxVecNo"), box);
    form->addRow(tr("MAX VEC NO"), editMaxVecNo);
    editIntlim = MakeSpin(QStringLiteral("EditIntlim"), box);
    form->addRow(tr("INTLIM"), editIntlim);
    editDigOutmode = MakeCombo(QStringLiteral("EditDigOutmode"), kOutmodes, box);
    form->addRow(tr("DIGITAL OUTMODE"), editDigOutmode);
    editTrigger = MakeCombo(QStringLiteral("EditTrigger"), {}, box);
    form->addRow(tr("TRIGGER"), editTrigger);
    editExteach = MakeCombo(QStringLiteral("EditExteach"), kExternTeachModes, box);
    form->addRow(tr("EXTERN TEACH"), editExteach);
    return box;
}

void ParameterPage::Connect() {
    connect(slidePower, &QSlider::valueChanged, this, &ParameterPage::CBF_SlidePower);
    connect(powerValue, &QSpinBox::valueChanged, this, &ParameterPage::CBF_SlidePower);
    auto onCommit = [this](QComboBox* combo, void (ParameterPage::*handler)()) {
        connect(combo, &QComboBox::activated, this, [this, handler] { (this->*handler)(); });
    };
    onCommit(editPmode, &ParameterPage::CBF_EditPmode);
    onCommit(editLedMode, &ParameterPage::CBF_EditLedMode);
    onCommit(editEvalmode, &ParameterPage::CBF_EditEvalmode);
    onCommit(editDigOutmode, &ParameterPage::CBF_EditDigOutmode);
    onCommit(editTrigger, &ParameterPage::CBF_EditTrigger);
    onCommit(editExteach, &ParameterPage::CBF_EditExteach);
    onCommit(editCalcmode, &ParameterPage::CBF_EditCalcmode);
    connect(editMaxVecNo, &QSpinBox::valueChanged, this, &ParameterPage::CBF_EditMaxVecNo);
}

void ParameterPage::SetTriggerItems(std::uint16_t externTeach) {
    SetTriggerList(TriggerListItems(externTeach));
}

void ParameterPage::SetTriggerList(const std::vector<TriggerItem>& list) {
    CodeItems items;
    for (const auto& item : list)
        items.emplace_back(QString::fromStdString(item.label), item.value);
    words.SetItems(protocol::kTrigger, items, protocol::kTriggerCont);
}

void ParameterPage::ApplyLocks(const ControlLocks& locks) {
    slidePower->setEnabled(!locks.power);
    powerValue->setEnabled(!locks.power);
    editPmode->setEnabled(!locks.powerMode);
    editDynWinLo->setEnabled(!locks.dynWinLo);
    editDynWinHi->setEnabled(!locks.dynWinHi);
    editMaxVecNo->setEnabled(!locks.maxVecNo);
    editIntlim->setEnabled(!locks.intlim);
    editDigOutmode->setEnabled(!locks.digitalOutmode);
    editCalcmode->setEnabled(!locks.calculationMode);
    editTrigger->setEnabled(!locks.trigger);
    editExteach->setEnabled(!locks.externTeach);
}

void ParameterPage::CBF_SlidePower(int value) {
    // The slider stops at its end; the number field holds the value.
    const QSignalBlocker slideBlocker(slidePower);
    const QSignalBlocker spinBlocker(powerValue);
    slidePower->setValue(value);
    powerValue->setValue(value);
}

void ParameterPage::CBF_EditPmode() {
    emit RulesRequested();
}
void ParameterPage::CBF_EditLedMode() {
    emit RulesRequested();
}
void ParameterPage::CBF_EditEvalmode() {
    emit RulesRequested();
}
void ParameterPage::CBF_EditMaxVecNo() {
    emit RulesRequested();
}
void ParameterPage::CBF_EditDigOutmode() {
    emit RulesRequested();
}
void ParameterPage::CBF_EditTrigger() {
    emit RulesRequested();
}
void ParameterPage::CBF_EditExteach() {
    emit RulesRequested();
}
void ParameterPage::CBF_EditCalcmode() {
    emit CalculationModeChanged();
}

} // namespace params
