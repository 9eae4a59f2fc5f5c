#pragma once
// The parameter controls as the working copy of the parameter set: the controls into the image
// and back, the parameter rules carried out on the pages and on the data panel, the active-row
// labels and the row colour columns.
#include "core/AppState.h"
#include "params/ParameterRules.h"

#include <QObject>

namespace core {
class OperatorDialogs;
class Shell;
} // namespace core
namespace live {
class DataPanel;
class LiveDrawing;
} // namespace live

namespace params {

class GroupHoldPage;
class ParameterPage;
class TeachTablePage;
class TransferControls;

class ParameterPanels : public QObject {
    Q_OBJECT
public:
    struct Pages {
        ParameterPage& parameters;
        GroupHoldPage& groupHold;
        TeachTablePage& teachTable;
        TransferControls& transfer;
    };
    ParameterPanels(core::AppState& state, core::Shell& shell, core::OperatorDialogs& dialogs,
                    const Pages& pages, live::DataPanel& data, live::LiveDrawing& drawing);

    // The parameter controls into the image, and the image into the controls.
    void GetParametersFromPanel();
    // The image the controls show now, the state's image untouched.
    protocol::ParameterImage PanelImage() const;
    void PutParametersToPanel();
    // Runs the rule chain on the current control values and applies its decisions.
    void ApplyParameterRules();
    // The colour-limit check alone: MAX VEC NO and group limits, active-row labels.
    void CheckColorLimits();
    // The teach cells after the operator changed CALCULATION MODE between 2D and 3D.
    void ConvertTeachTable();
    // Labels the active rows from the current values, before the rules have ever run.
    void MarkActiveRows();
    // Paints the colour columns of the teach, group and hold tables, and the taught colours.
    void PaintRowColours(const core::RowColours& colours);
    // The teach data changed: the image from the tables, then the taught colours drawn anew.
    void RedrawTaughtColours();
    // The taught colours of the image as it is (just loaded and shown).
    void DrawTaughtColours();
    // The parameter set in use: only PARA works with two; every other trigger addresses
    // ParaSet0, and the selection follows.
    std::uint16_t ParaSetInUse();

signals:
    // Row labels of the teach rows, for the row table of another page.
    void ActiveRowsMarked(const core::RowColours& rowLabels);
    // The rules have run; the modes as the controls show them now.
    void RulesApplied(std::uint16_t evaluationMode, std::uint16_t calculationMode);

private:
    ParameterControls ReadControls() const;
    std::uint16_t ControlWord(int word) const;
    bool ShowControlWord(int word, std::uint16_t value);
    void ShowChangedValues(const ParameterControls& before, const ParameterControls& after);
    void ShowTeachCells();
    void PaintRowLabels(const core::RowColours& rows,
                        const std::array<std::uint32_t, kHoldRows>& holdRows);
    template <typename Outcome> void ApplyColourOutcome(const Outcome& outcome);

    core::AppState& state;
    core::Shell& shell;
    core::OperatorDialogs& dialogs;
    Pages pages;
    live::DataPanel& data;
    live::LiveDrawing& drawing;
};

} // namespace params
