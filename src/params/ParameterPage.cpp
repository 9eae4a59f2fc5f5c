#include "params/ParameterPage.h"

#include "params/ParameterCodes.h"
#include "params/ParameterDefaults.h"
#include "params/ParameterImage.h"
#include "params/ParameterPanels.h"
#include "params/ParameterRules.h"
#include "params/WordTable.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

// Ranges the sensor works with; a received value beyond them is shown at the nearest end.
constexpr int kPowerMax = 1000;
constexpr int kAverageMin = 1;
constexpr int kCountMax = 250;
constexpr int kIntensityMax = 4095;
constexpr int kMaxVecNoMax = kTeachRows;

const CodeItems kPowerModes{{"STAT", kPowerModeStat}, {"DYN", kPowerModeDyn}};
const CodeItems kLedModes{{"DC", kLedDc}, {"AC", kLedAc}, {"PULSE", kLedPulse}, {"OFF", kLedOff}};
const CodeItems kGains{{"AMP1", 0}, {"AMP2", 1}, {"AMP3", 2}, {"AMP4", 3},
                       {"AMP5", 4}, {"AMP6", 5}, {"AMP7", 6}, {"AMP8", 7}};
const CodeItems kOutmodes{{"DIRECT LO", 0}, {"BINARY", kOutBinary}, {"DIRECT HI", 2}};
const CodeItems kEvalModes{{"FIRST HIT", kEvalFirstHit},
                           {"BEST HIT", kEvalBestHit},
                           {"MIN DIST", kEvalMinDist},
                           {"COL5", kEvalCol5},
                           {"THD RGB", kEvalThdRgb}};
const CodeItems kCalcModes{{"X Y INT 2D", kCalcXyInt2D},
                           {"s i M 2D", kCalcSiM2D},
                           {"X Y INT 3D", kCalcXyInt3D},
                           {"s i M 3D", kCalcSiM3D}};
const CodeItems kExternTeachModes{{"OFF", kExternTeachOff},
                                  {"ON", kExternTeachOn},
                                  {"STAT1", kExternTeachStat1},
                                  {"DYN1", kExternTeachDyn1}};

QComboBox* MakeCombo(const QString& name, const CodeItems& items, QWidget* parent) {
    auto* combo = new QComboBox(parent);
    combo->setObjectName(name);
    FillCodes(combo, items);
    return combo;
}

QSpinBox* MakeSpin(const QString& name, int min, int max, QWidget* parent) {
    auto* spin = new QSpinBox(parent);
    spin->setObjectName(name);
    spin->setRange(min, max);
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

bool SetSpin(QSpinBox* spin, std::uint16_t value) {
    const QSignalBlocker blocker(spin);
    spin->setValue(int(value)); // QSpinBox keeps it within its range
    return spin->value() == int(value);
}

// A code outside the list is shown as the file default, except where the model already gives
// such codes a meaning (evaluation modes above THD RGB count as THD RGB).
std::uint16_t FallbackCode(int word) {
    if (word == kEvaluationMode) return kEvalThdRgb;
    return kDefaultParameters[std::size_t(word)];
}

} // namespace

ParameterPage::ParameterPage(Program& program, QWidget* parent)
    : QWidget(parent), program(program) {
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

    for (int word = 0; word < kParameterCount; ++word) {
        if (HasWord(word)) SetWord(word, kDefaultParameters[std::size_t(word)]);
    }
    Connect();
}

QWidget* ParameterPage::BuildLightGroup() {
    auto* box = new QGroupBox(tr("TRANSMITTER AND RECEIVER"));
    auto* form = MakeForm(box);

    slidePower = new QSlider(Qt::Horizontal, box);
    slidePower->setObjectName(QStringLiteral("SlidePower"));
    slidePower->setRange(0, kPowerMax);
    slidePower->setPageStep(50);
    powerValue = MakeSpin(QStringLiteral("SlidePower"), 0, kPowerMax, box);
    powerValue->setMinimumWidth(56);
    auto* powerRow = new QHBoxLayout;
    powerRow->setSpacing(4);
    powerRow->addWidget(slidePower, 1);
    powerRow->addWidget(powerValue);
    form->addRow(tr("POWER"), powerRow);

    editPmode = MakeCombo(QStringLiteral("EditPmode"), kPowerModes, box);
    form->addRow(tr("POWER MODE"), editPmode);
    editDynWinLo = MakeSpin(QStringLiteral("EditDynWinLoHi"), 0, kIntensityMax, box);
    form->addRow(tr("DYN WIN LO"), editDynWinLo);
    editDynWinHi = MakeSpin(QStringLiteral("EditDynWinLoHi"), 0, kIntensityMax, box);
    form->addRow(tr("DYN WIN HI"), editDynWinHi);
    editLedMode = MakeCombo(QStringLiteral("EditLedMode"), kLedModes, box);
    form->addRow(tr("LED MODE"), editLedMode);
    editGain = MakeCombo(QStringLiteral("EditGain"), kGains, box);
    form->addRow(tr("GAIN"), editGain);
    editAverage = MakeSpin(QStringLiteral("EditAverage"), kAverageMin, kCountMax, box);
    form->addRow(tr("AVERAGE"), editAverage);
    editIntegral = MakeSpin(QStringLiteral("EditIntegral"), 0, kCountMax, box);
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
    editMaxVecNo = MakeSpin(QStringLiteral("EditMaxVecNo"), 0, kMaxVecNoMax, box);
    form->addRow(tr("MAX VEC NO"), editMaxVecNo);
    editIntlim = MakeSpin(QStringLiteral("EditIntlim"), 0, kIntensityMax, box);
    form->addRow(tr("INTLIM"), editIntlim);
    editDigOutmode = MakeCombo(QStringLiteral("EditDigOutmode"), kOutmodes, box);
    form->addRow(tr("DIGITAL OUTMODE"), editDigOutmode);
    editTrigger = MakeCombo(QStringLiteral("EditTrigger"), {}, box);
    SetTriggerItems(kExternTeachOff);
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

bool ParameterPage::HasWord(int word) const {
    return word >= 0 && word < kParameterCount && word != kHoldFail && word != kColorGroup;
}

std::uint16_t ParameterPage::Word(int word) const {
    switch (word) {
    case kPower:
        return std::uint16_t(slidePower->value());
    case kPowerMode:
        return CurrentCode(editPmode);
    case kAverage:
        return std::uint16_t(editAverage->value());
    case kEvaluationMode:
        return CurrentCode(editEvalmode);
    case kIntlim:
        return std::uint16_t(editIntlim->value());
    case kMaxVecNo:
        return std::uint16_t(editMaxVecNo->value());
    case kDigitalOutmode:
        return CurrentCode(editDigOutmode);
    case kTrigger:
        return CurrentCode(editTrigger);
    case kExternTeach:
        return CurrentCode(editExteach);
    case kCalculationMode:
        return CurrentCode(editCalcmode);
    case kDynWinLo:
        return std::uint16_t(editDynWinLo->value());
    case kDynWinHi:
        return std::uint16_t(editDynWinHi->value());
    case kLedMode:
        return CurrentCode(editLedMode);
    case kGain:
        return CurrentCode(editGain);
    case kIntegral:
        return std::uint16_t(editIntegral->value());
    default:
        return 0;
    }
}

bool ParameterPage::SetWord(int word, std::uint16_t value) {
    const std::uint16_t fallback = HasWord(word) ? FallbackCode(word) : 0;
    switch (word) {
    case kPower: {
        const QSignalBlocker blocker(slidePower);
        slidePower->setValue(int(value));
        return SetSpin(powerValue, value);
    }
    case kPowerMode:
        return SelectCode(editPmode, value, fallback);
    case kAverage:
        return SetSpin(editAverage, value);
    case kEvaluationMode:
        return SelectCode(editEvalmode, value, fallback);
    case kIntlim:
        return SetSpin(editIntlim, value);
    case kMaxVecNo:
        return SetSpin(editMaxVecNo, value);
    case kDigitalOutmode:
        return SelectCode(editDigOutmode, value, fallback);
    case kTrigger:
        return SelectCode(editTrigger, value, fallback);
    case kExternTeach:
        return SelectCode(editExteach, value, fallback);
    case kCalculationMode:
        return SelectCode(editCalcmode, value, fallback);
    case kDynWinLo:
        return SetSpin(editDynWinLo, value);
    case kDynWinHi:
        return SetSpin(editDynWinHi, value);
    case kLedMode:
        return SelectCode(editLedMode, value, fallback);
    case kGain:
        return SelectCode(editGain, value, fallback);
    case kIntegral:
        return SetSpin(editIntegral, value);
    default:
        return true;
    }
}

void ParameterPage::SetTriggerItems(std::uint16_t externTeach) {
    SetTriggerList(TriggerListItems(externTeach));
}

void ParameterPage::SetTriggerList(const std::vector<TriggerItem>& list) {
    const std::uint16_t shown = editTrigger->count() > 0 ? CurrentCode(editTrigger) : 0;
    CodeItems items;
    for (const auto& item : list)
        items.emplace_back(QString::fromStdString(item.label), item.value);
    FillCodes(editTrigger, items);
    SelectCode(editTrigger, shown, kTriggerCont);
}

void ParameterPage::CBF_SlidePower(int value) {
    const QSignalBlocker slideBlocker(slidePower);
    const QSignalBlocker spinBlocker(powerValue);
    slidePower->setValue(value);
    powerValue->setValue(value);
}

void ParameterPage::CBF_EditPmode() {
    ApplyParameterRules(program);
}
void ParameterPage::CBF_EditLedMode() {
    ApplyParameterRules(program);
}
void ParameterPage::CBF_EditEvalmode() {
    ApplyParameterRules(program);
}
void ParameterPage::CBF_EditMaxVecNo() {
    ApplyParameterRules(program);
}
void ParameterPage::CBF_EditDigOutmode() {
    ApplyParameterRules(program);
}
void ParameterPage::CBF_EditTrigger() {
    ApplyParameterRules(program);
}
void ParameterPage::CBF_EditExteach() {
    ApplyParameterRules(program);
}

void ParameterPage::CBF_EditCalcmode() {
    ConvertTeachTable(program);
    ApplyParameterRules(program);
    GetParametersFromPanel(program);
}
