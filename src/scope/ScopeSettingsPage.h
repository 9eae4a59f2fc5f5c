#pragma once
// The scope settings page: how a capture is triggered and sampled, the cycle time and scan
// frequency, the comment for the printout, and the cycle-time, scan, break and print buttons.
#include <QWidget>

#include <array>
#include <cstdint>

class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;

namespace core {
class Registrar;
}

namespace scope {

class ScopeSettingsPage : public QWidget {
    Q_OBJECT
public:
    explicit ScopeSettingsPage(QWidget* parent = nullptr);
    // Cycle time, scan and print dim with the other commands; break is operable only while a
    // scan waits.
    void RegisterCommands(core::Registrar& registrar);

    // Words 0..4 of the scan request: trigger mode, pre-trigger, level, scan rate, record signal.
    std::array<std::uint16_t, 5> ScanRequest() const;
    int TriggerMode() const;
    int PreTrigger() const;
    int ScanRate() const;
    int RecordSignal() const;
    // The comment as the printout takes it: at most 1023 characters.
    QString Comment() const;
    void ShowCycleTime(double milliseconds);
    void EnableBreak(bool enabled);
    // The pre-trigger and level fields as the trigger mode uses them.
    void ApplyTriggerMode();

signals:
    void GetCycleTimeRequested();
    void ScanRequested();
    void BreakRequested();
    void PrintRequested();
    void ScanRateChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QComboBox* editTriggerMode;
    QSpinBox* editPreTrigVal;
    QSpinBox* editTriggerLevel;
    QSpinBox* editScanRate;
    QComboBox* editScopeRecSignal;
    QLabel* dispCycleTime;
    QLabel* dispScanFreq;
    QPlainTextEdit* editScopeComment;
    QPushButton* buttonGetCycleTime;
    QPushButton* buttonScan;
    QPushButton* buttonBreakScan;
    QPushButton* buttonPrintScopeGraph;
};

} // namespace scope
