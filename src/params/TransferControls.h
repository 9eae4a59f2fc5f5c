#pragma once
// SEND and GET with their target (RAM, EEPROM, FILE) and the parameter set (ParaSet0, ParaSet1):
// the transfer commands of the main panel's command bar.
#include <QWidget>

#include <array>
#include <cstdint>

class QButtonGroup;
class QPushButton;
class QRadioButton;

namespace core {
struct AppState;
class Registrar;
} // namespace core

namespace params {

class TransferControls : public QWidget {
    Q_OBJECT
public:
    explicit TransferControls(core::AppState& state, QWidget* parent = nullptr);

    // Selects the button of this parameter set and takes it as the set in use.
    void SelectParaSet(std::uint16_t paraSet);
    void SetParaSetButtonsEnabled(bool enabled);
    // SEND stands out while the panel holds changes the sensor has not been sent.
    void ShowUnsent(bool unsent);
    // SEND, GET and the target selectors are dimmed with every operation but GO.
    void RegisterCommandControls(core::Registrar& registrar);

    void CBF_ButtonSend();
    void CBF_ButtonGet();
    void CBF_SelectMem(int memoryTarget);
    void CBF_SelectParaSet(int paraSet);

signals:
    void SendRequested();
    void GetRequested();

private:
    core::AppState& state;
    QPushButton* buttonSend;
    QPushButton* buttonGet;
    std::array<QRadioButton*, 3> selectMem{};     // RAM, EEPROM, FILE
    std::array<QRadioButton*, 2> selectParaSet{}; // ParaSet0, ParaSet1
    QButtonGroup* memGroup;
    QButtonGroup* paraSetGroup;
};

} // namespace params
