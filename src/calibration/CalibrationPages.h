#pragma once
// The white calibration page (factors, set value, maximum delta, the raw values and bars of every
// measurement, and the calibration buttons) and the hidden offset compensation page.
#include <QWidget>

#include <array>
#include <cstdint>

class QLabel;
class QPushButton;
class QSpinBox;

namespace core {
class Registrar;
}
namespace live {
class NumericDisplay;
class RefreshClock;
} // namespace live

namespace protocol {
struct MeasurementFrame;
}

namespace calibration {

class ChannelBars;

class CalibrationPage : public QWidget {
    Q_OBJECT
public:
    explicit CalibrationPage(live::RefreshClock& clock, QWidget* parent = nullptr);
    void RegisterCommands(core::Registrar& registrar);

    std::array<std::uint16_t, 3> Factors() const;
    void ShowFactors(const std::array<std::uint16_t, 3>& factors);
    std::uint16_t SetValue() const;
    std::uint16_t MaxDelta() const;
    void ShowSetValueAndMaxDelta(std::uint16_t setValue, std::uint16_t maxDelta);
    // Raw and calibrated bars, the raw values, the raw delta and the temperature of a frame.
    void ShowFrame(const protocol::MeasurementFrame& frame);
    // The calculate button blinks while the averaging runs.
    void ShowCalculating(bool red);
    // The decoration whose right double click asks for the service password.
    QWidget& Decoration();

signals:
    void SendRequested();
    void GetRequested();
    void CalculateRequested();
    void SelfCalibrationRequested();

private:
    std::array<QSpinBox*, 3> editFactors{};
    QSpinBox* editSetValue;
    QSpinBox* editMaxDelta;
    ChannelBars* dispBarsRaw;
    ChannelBars* dispBars;
    std::array<live::NumericDisplay*, 3> rawValues{};
    live::NumericDisplay* dispRawDelta;
    live::NumericDisplay* dispTemp;
    QWidget* decoCalibrate1;
    QPushButton* buttonSendCF;
    QPushButton* buttonGetCF;
    QPushButton* buttonCalcCF;
    QPushButton* buttonStartSelfCalibration;
};

class OffsetPage : public QWidget {
    Q_OBJECT
public:
    explicit OffsetPage(QWidget* parent = nullptr);
    void RegisterCommands(core::Registrar& registrar);

    std::array<std::uint16_t, 3> Offsets() const;
    void ShowOffsetFields(const std::array<std::uint16_t, 3>& offsets);
    void ShowMeasuredOffsets(const std::array<std::uint16_t, 3>& offsets);

signals:
    void SendRequested();
    void GetRequested();
    void MeasureRequested();
    void CloseRequested();

private:
    std::array<QSpinBox*, 3> editOffsets{};
    std::array<QLabel*, 3> dispOffsets{};
    QPushButton* buttonSendOffset;
    QPushButton* buttonGetOffset;
    QPushButton* buttonCalcOffset;
    QPushButton* buttonClose;
};

} // namespace calibration
