#pragma once
// The parameter page: the fifteen scalar parameters of the parameter set (all but COLOR GROUP and
// HOLD FAIL, which live on the group/hold page). Each control is named by its role; the commit
// handlers of the coded parameters run the parameter rules.
#include <QWidget>

#include "params/ParameterRules.h"

#include <cstdint>
#include <vector>

class QComboBox;
class QSlider;
class QSpinBox;
class Program;

class ParameterPage : public QWidget {
    Q_OBJECT
public:
    explicit ParameterPage(Program& program, QWidget* parent = nullptr);

    // Scalar parameters by word index (ParameterWord); words of other pages are ignored.
    bool HasWord(int word) const;
    std::uint16_t Word(int word) const;
    // Shows `value` as far as the control can hold it; false when it had to be coerced.
    bool SetWord(int word, std::uint16_t value);
    // The TRIGGER list for this EXTERN TEACH value (CONT and SELF always, EXT1..PARA only while
    // it is OFF); the shown TRIGGER is kept when it is still in the list, else CONT.
    void SetTriggerItems(std::uint16_t externTeach);
    void SetTriggerList(const std::vector<TriggerItem>& items);

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

    void CBF_SlidePower(int value);
    void CBF_EditPmode();
    void CBF_EditLedMode();
    void CBF_EditEvalmode();
    void CBF_EditMaxVecNo();
    void CBF_EditDigOutmode();
    void CBF_EditTrigger();
    void CBF_EditExteach();
    void CBF_EditCalcmode();

private:
    QWidget* BuildLightGroup();
    QWidget* BuildEvaluationGroup();
    void Connect();

    Program& program;
};
