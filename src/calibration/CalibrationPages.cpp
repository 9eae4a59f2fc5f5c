#include "calibration/CalibrationPages.h"

#include "controls/CommandButton.h"
#include "controls/ValueDisplay.h"
#include "core/Shell.h"
#include "live/DisplayWidgets.h"
#include "model/CalibrationMath.h"
#include "protocol/MeasurementFrame.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace calibration {

// Three vertical bars (red, green, blue) painted at most 25 times a second however often the
// values change.
class ChannelBars : public QFrame {
public:
    ChannelBars(const QString& role, live::RefreshClock& clock, QWidget* parent)
        : QFrame(parent), clock(clock) {
        setObjectName(role);
        setFrameStyle(QFrame::Panel | QFrame::Sunken);
        setMinimumSize(60, 80);
    }
    void SetValues(std::uint16_t red, std::uint16_t green, std::uint16_t blue) {
        if (values == std::array<std::uint16_t, 3>{red, green, blue}) return;
        values = {red, green, blue};
        clock.MarkDirty(this, mark);
    }
    std::array<std::uint16_t, 3> Values() const { return values; }

protected:
    void paintEvent(QPaintEvent* event) override {
        QFrame::paintEvent(event);
        QPainter painter(this);
        const QRect area = contentsRect().adjusted(2, 2, -2, -2);
        const QColor colours[3] = {QColor(255, 0, 0), QColor(0, 200, 0), QColor(0, 0, 255)};
        const int width = area.width() / 3;
        for (int c = 0; c < 3; ++c) {
            const int height = int(double(std::min<int>(values[std::size_t(c)], kFullScale)) /
                                   kFullScale * area.height());
            painter.fillRect(area.left() + c * width + 1, area.bottom() - height + 1, width - 2,
                             height, colours[c]);
        }
    }

private:
    static constexpr int kFullScale = 4095;
    live::RefreshClock& clock;
    live::RefreshClock::Mark mark;
    std::array<std::uint16_t, 3> values{};
};

namespace {

QSpinBox* MakeField(QWidget* parent, const char* role, int high, int value) {
    auto* field = new QSpinBox(parent);
    field->setObjectName(QString::fromLatin1(role));
    field->setRange(0, high);
    field->setValue(value);
    field->setAlignment(Qt::AlignRight);
    return field;
}

QLabel* Caption(const QString& text, QWidget* buddy) {
    auto* label = new QLabel(text, buddy->parentWidget());
    label->setBuddy(buddy);
    return label;
}

} // namespace

CalibrationPage::CalibrationPage(live::RefreshClock& clock, QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("CalibrationPage"));
    auto* layout = new QVBoxLayout(this);

    // The decoration around the factors; a right double click on it asks for the password.
    auto* deco = new QGroupBox(tr("WHITE CALIBRATION"), this);
    deco->setObjectName(QStringLiteral("DecoCalibrate1"));
    decoCalibrate1 = deco;
    auto* grid = new QGridLayout(deco);
    const char* factorRoles[3] = {"EditCFR", "EditCFG", "EditCFB"};
    const char* factorNames[3] = {"CF RED", "CF GREEN", "CF BLUE"};
    for (int c = 0; c < 3; ++c) {
        editFactors[std::size_t(c)] = MakeField(deco, factorRoles[c], kLargestFactor, kFactorOne);
        grid->addWidget(Caption(tr(factorNames[c]), editFactors[std::size_t(c)]), c, 0);
        grid->addWidget(editFactors[std::size_t(c)], c, 1);
    }
    editSetValue = MakeField(deco, "EditSetValue", 65535, 1000);
    editMaxDelta = MakeField(deco, "EditMaxDelta", 65535, 200);
    grid->addWidget(Caption(tr("SET VALUE"), editSetValue), 3, 0);
    grid->addWidget(editSetValue, 3, 1);
    grid->addWidget(Caption(tr("MAXIMUM DELTA OF RAW DATAS"), editMaxDelta), 4, 0);
    grid->addWidget(editMaxDelta, 4, 1);
    layout->addWidget(deco);

    auto* buttons = new QGridLayout;
    buttonSendCF = core::MakeRoleButton(this, "ButtonSendCF", tr("SEND CF"));
    buttonGetCF = core::MakeRoleButton(this, "ButtonGetCF", tr("GET CF"));
    buttonCalcCF = core::MakeRoleButton(this, "ButtonCalcCF", tr("CALCULATE CF"));
    buttonStartSelfCalibration =
        core::MakeRoleButton(this, "ButtonStartSelfCalibration", tr("SELF CALIBRATION"));
    ShowCalculating(false);
    buttons->addWidget(buttonSendCF, 0, 0);
    buttons->addWidget(buttonGetCF, 0, 1);
    buttons->addWidget(buttonCalcCF, 1, 0);
    buttons->addWidget(buttonStartSelfCalibration, 1, 1);
    layout->addLayout(buttons);

    auto* live = new QGridLayout;
    dispBarsRaw = new ChannelBars(QStringLiteral("DispBarsRAW"), clock, this);
    dispBars = new ChannelBars(QStringLiteral("DispBars"), clock, this);
    dispBarsRaw->setAccessibleName(tr("raw value bars"));
    dispBars->setAccessibleName(tr("calibrated value bars"));
    live->addWidget(new QLabel(tr("RAW"), this), 0, 0, Qt::AlignHCenter);
    live->addWidget(new QLabel(tr("CALIBRATED"), this), 0, 1, Qt::AlignHCenter);
    live->addWidget(dispBarsRaw, 1, 0);
    live->addWidget(dispBars, 1, 1);
    auto* values = new QGridLayout;
    const char* rawRoles[3] = {"DispRawRed", "DispRawGreen", "DispRawBlue"};
    const char* rawNames[3] = {"RAW RED", "RAW GREEN", "RAW BLUE"};
    for (int c = 0; c < 3; ++c) {
        rawValues[std::size_t(c)] =
            new live::NumericDisplay(QString::fromLatin1(rawRoles[c]), clock, this);
        values->addWidget(Caption(tr(rawNames[c]), rawValues[std::size_t(c)]), c, 0);
        values->addWidget(rawValues[std::size_t(c)], c, 1);
    }
    dispRawDelta = new live::NumericDisplay(QStringLiteral("DispRawDelta"), clock, this);
    dispTemp = new live::NumericDisplay(QStringLiteral("DispTemp"), clock, this);
    values->addWidget(Caption(tr("RAW DELTA"), dispRawDelta), 3, 0);
    values->addWidget(dispRawDelta, 3, 1);
    values->addWidget(Caption(tr("TEMP"), dispTemp), 4, 0);
    values->addWidget(dispTemp, 4, 1);
    live->addLayout(values, 1, 2);
    live->setColumnStretch(2, 1);
    layout->addLayout(live, 1);

    connect(buttonSendCF, &QPushButton::clicked, this, &CalibrationPage::SendRequested);
    connect(buttonGetCF, &QPushButton::clicked, this, &CalibrationPage::GetRequested);
    connect(buttonCalcCF, &QPushButton::clicked, this, &CalibrationPage::CalculateRequested);
    connect(buttonStartSelfCalibration, &QPushButton::clicked, this,
            &CalibrationPage::SelfCalibrationRequested);
}

void CalibrationPage::RegisterCommands(core::Registrar& registrar) {
    for (QWidget* control : {buttonSendCF, buttonGetCF, buttonCalcCF, buttonStartSelfCalibration})
        registrar.AddCommandControl(control, core::CommandKind::Command);
}

std::array<std::uint16_t, 3> CalibrationPage::Factors() const {
    return {std::uint16_t(editFactors[0]->value()), std::uint16_t(editFactors[1]->value()),
            std::uint16_t(editFactors[2]->value())};
}

void CalibrationPage::ShowFactors(const std::array<std::uint16_t, 3>& factors) {
    // A factor beyond the field's range is shown as the sensor sent it, not clipped in silence.
    for (std::size_t c = 0; c < 3; ++c) {
        editFactors[c]->setMaximum(std::max<int>(kLargestFactor, factors[c]));
        editFactors[c]->setValue(factors[c]);
    }
}

std::uint16_t CalibrationPage::SetValue() const {
    return std::uint16_t(editSetValue->value());
}

std::uint16_t CalibrationPage::MaxDelta() const {
    return std::uint16_t(editMaxDelta->value());
}

void CalibrationPage::ShowSetValueAndMaxDelta(std::uint16_t setValue, std::uint16_t maxDelta) {
    editSetValue->setValue(setValue);
    editMaxDelta->setValue(maxDelta);
}

void CalibrationPage::ShowFrame(const protocol::MeasurementFrame& frame) {
    using F = protocol::MeasurementFrame;
    const auto& w = frame.w;
    dispBarsRaw->SetValues(w[F::kRawRed], w[F::kRawGreen], w[F::kRawBlue]);
    dispBars->SetValues(w[F::kRed], w[F::kGreen], w[F::kBlue]);
    for (int c = 0; c < 3; ++c)
        rawValues[std::size_t(c)]->SetValue(w[std::size_t(F::kRawRed + c)]);
    dispRawDelta->SetValue(RawDelta(w[F::kRawRed], w[F::kRawGreen], w[F::kRawBlue]));
    dispTemp->SetValue(w[F::kTemperature]);
}

void CalibrationPage::ShowCalculating(bool red) {
    buttonCalcCF->setStyleSheet(red ? QStringLiteral("background:#FF0000;")
                                    : QStringLiteral("background:#E0E0E0;"));
}

QWidget& CalibrationPage::Decoration() {
    return *decoCalibrate1;
}

OffsetPage::OffsetPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("OffsetPage"));
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    const char* editRoles[3] = {"EditRedOffset", "EditGreenOffset", "EditBlueOffset"};
    const char* dispRoles[3] = {"DispRedOffset", "DispGreenOffset", "DispBlueOffset"};
    const char* names[3] = {"OFFSET RED", "OFFSET GREEN", "OFFSET BLUE"};
    grid->addWidget(new QLabel(tr("MEASURED"), this), 0, 2);
    for (int c = 0; c < 3; ++c) {
        editOffsets[std::size_t(c)] = MakeField(this, editRoles[c], 65535, 0);
        QLabel* display = core::MakeValueDisplay(this, dispRoles[c], 60);
        dispOffsets[std::size_t(c)] = display;
        grid->addWidget(Caption(tr(names[c]), editOffsets[std::size_t(c)]), c + 1, 0);
        grid->addWidget(editOffsets[std::size_t(c)], c + 1, 1);
        grid->addWidget(display, c + 1, 2);
    }
    layout->addLayout(grid);
    auto* buttons = new QGridLayout;
    buttonSendOffset = core::MakeRoleButton(this, "ButtonSendOffset", tr("SEND OFFSET"));
    buttonGetOffset = core::MakeRoleButton(this, "ButtonGetOffset", tr("GET OFFSET"));
    buttonCalcOffset = core::MakeRoleButton(this, "ButtonCalcOffset", tr("CALCULATE OFFSET"));
    buttonClose = core::MakeRoleButton(this, "ButtonCloseOffsetCompensation", tr("CLOSE"));
    buttons->addWidget(buttonSendOffset, 0, 0);
    buttons->addWidget(buttonGetOffset, 0, 1);
    buttons->addWidget(buttonCalcOffset, 1, 0);
    buttons->addWidget(buttonClose, 1, 1);
    layout->addLayout(buttons);
    layout->addStretch(1);
    connect(buttonSendOffset, &QPushButton::clicked, this, &OffsetPage::SendRequested);
    connect(buttonGetOffset, &QPushButton::clicked, this, &OffsetPage::GetRequested);
    connect(buttonCalcOffset, &QPushButton::clicked, this, &OffsetPage::MeasureRequested);
    connect(buttonClose, &QPushButton::clicked, this, &OffsetPage::CloseRequested);
}

void OffsetPage::RegisterCommands(core::Registrar& registrar) {
    for (QWidget* control : {buttonSendOffset, buttonGetOffset, buttonCalcOffset})
        registrar.AddCommandControl(control, core::CommandKind::Command);
}

std::array<std::uint16_t, 3> OffsetPage::Offsets() const {
    return {std::uint16_t(editOffsets[0]->value()), std::uint16_t(editOffsets[1]->value()),
            std::uint16_t(editOffsets[2]->value())};
}

void OffsetPage::ShowOffsetFields(const std::array<std::uint16_t, 3>& offsets) {
    for (std::size_t c = 0; c < 3; ++c)
        editOffsets[c]->setValue(offsets[c]);
}

void OffsetPage::ShowMeasuredOffsets(const std::array<std::uint16_t, 3>& offsets) {
    for (std::size_t c = 0; c < 3; ++c)
        dispOffsets[c]->setText(QString::number(offsets[c]));
}

} // namespace calibration
