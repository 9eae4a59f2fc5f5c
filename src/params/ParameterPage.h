#pragma once
// The parameter page: the fifteen scalar parameters of the parameter set (all but COLOR GROUP and
// HOLD FAIL, which live on the group/hold page). Each control is named by its role; words and
// controls are tied by one table (core::WordControls) that reading and showing both use.
#include "controls/WordControls.h"
#include "params/ParameterRules.h"

#include <QWidget>

#include <cstdint>
#include <vector>

class QComboBox;
class QSlider;
class QSpinBox;

namespace params {

class ParameterPage : public QWidget {
    Q_OBJECT
public:
    explicit ParameterPage(QWidget* parent = nullptr);

    // Scalar parameters by word index (ParameterWord); words of other pages are ignored.
    bool HasWord(int word) const { return words.Has(word); }
    std::uint16_t Word(int word) const { return words.Word(word); }
    // Shows `value` exactly; false when it lies outside the control's usual range or list.
    bool SetWord(int word, std::uint16_t value) { return words.SetWord(word, value); }
    // The TRIGGER list for this EXTERN TEACH value (CONT and SELF always, EXT1..PARA only while
    // it is OFF); the shown TRIGGER is kept when it is still in the list, else CONT.
    void SetTriggerItems(std::uint16_t externTeach);
    void SetTriggerList(const std::vector<TriggerItem>& items);
    // Items in the TRIGGER list, not counting a code shown only because the sensor sent it.
    int TriggerItemCount() const { return words.RegularItemCount(protocol::kTrigger); }
    void ApplyLocks(const ControlLocks& locks);

    void CBF_SlidePower(int value);
    void CBF_EditPmode();
    void CBF_EditLedMode();
    void CBF_EditEvalmode();
    void CBF_EditMaxVecNo();
    void CBF_EditDigOutmode();
    void CBF_EditTrigger();
    void CBF_EditExteach();
    void CBF_EditCalcmode();

signals:
    // A coded parameter was committed: the parameter rules are to run.
    void RulesRequested();
    // CALCULATION MODE was committed: the teach table is to be converted, then the rules run.
    void CalculationModeChanged();

private:
    QWidget* BuildLightGroup();
    QWidget* BuildEvaluationGroup();
    void Connect();

    core::WordControls words;
    QSlider* slidePower;
    QSpinBox* powerValue; // the slider's number, same role
    QComboBox* editPmode;
    QComboBox* editLedMode;
    QComboBox* editGain;
    QSpinBox* editDynWinLo;
    QSpinBox* editDynWinHi;
    QSpinBox* editAverage;
    QSpinBox* editIntegral;
    QSpinBox* editMaxVecNo;
    QComboBox* editDigOutmode;
    QSpinBox* editIntlim;
    QComboBox* editEvalmode;
    QComboBox* editCalcmode;
    QComboBox* editExteach;
    QComboBox* editTrigger;
};

} // namespace params
