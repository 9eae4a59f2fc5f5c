#pragma once
// The teach operations on the teach-table page: the No. field and auto increment, TEACH DATA
// TO, the reset of the table and the table's context menu (fill, number and reset a block, the
// teach tolerance switch, help).
#include <QWidget>

#include <cstdint>
#include <optional>
#include <string>

class QAction;
class QCheckBox;
class QMenu;
class QPushButton;
class QSpinBox;

namespace protocol {
struct MeasurementFrame;
}

namespace teach {
class MeanValuePanel;
class RecordedValuePanel;
} // namespace teach

namespace core {
struct AppState;
class OperatorDialogs;
class Registrar;
class Shell;
} // namespace core
namespace live {
class LiveModule;
} // namespace live
namespace params {
class ParamsModule;
}
namespace settings {
class TableAttributesPage;
}

namespace teach {

class TeachModule : public QWidget {
    Q_OBJECT
public:
    TeachModule(core::AppState& state, core::Shell& shell, core::OperatorDialogs& dialogs,
                core::Registrar& registrar, params::ParamsModule& params, live::LiveModule& live,
                settings::TableAttributesPage& rowAttributes);

    // TEACH DATA TO: the measurement on the data panel into the selected row.
    void CBF_ButtonTeachDataTo();
    void CBF_EditNo();
    // The mean-value teach panel: shown, and the GO loop started unless one runs.
    void CBF_ButtonTeachMeanVal();
    void CloseTeachPanel();
    // The recorded-value teach panel: shown; nothing is measured until its START.
    void CBF_ButtonTeachRecVal();
    // START: records through the command gate until STOP, CLOSE, a failure or a full buffer.
    void CBF_ButtonTP2Start();
    // The record under the cursors into the selected row, with the default tolerances.
    void TeachRecordedValue();
    // The mean of the captures into the selected row.
    void TeachMeanValues();
    void CBF_ButtonResetTable();
    // Cells 1, No. 0, the taught colours off the planes; the image follows at its next refresh.
    void ResetTeachTable();

    // The context menu's routines.
    void ShowTeachTableHelp();
    void SetSelectionTo();
    void IncrementSelectionWith();
    void ResetSelection();
    void TeachToleranceOff();
    void TeachToleranceOn();

    // THD RGB has no selected row to teach.
    void UpdateTeachPageControls(std::uint16_t evaluationMode);

private:
    void BuildContextMenu();
    // The value prompt's answer when it holds a whole number; a refusal is told on the status
    // bar under `command`.
    std::optional<std::string> AskCellValue(const char* command);
    void SelectRow(int row);
    // X, Y and INT of `frame` into the selected row with the default tolerances, the row's
    // automatic colour, auto increment.
    void TeachRow(const protocol::MeasurementFrame& frame);
    void UpdateTeachPanels();
    // Fills the selected block through `change`, then takes the table into the image and draws.
    template <typename Change> void ChangeSelection(const Change& change);
    void TablesChanged();

    core::AppState& state;
    core::Shell& shell;
    core::OperatorDialogs& dialogs;
    params::ParamsModule& params;
    live::LiveModule& live;
    settings::TableAttributesPage& rowAttributes;
    QSpinBox* editNo;
    QCheckBox* radioInc;
    QPushButton* buttonTeachDataTo;
    QPushButton* buttonResetTable;
    QPushButton* buttonTeachMeanVal;
    QPushButton* buttonTeachRecVal;
    MeanValuePanel* meanPanel;
    RecordedValuePanel* recordedPanel;
    QMenu* menu;
    QAction* toleranceOff;
    QAction* toleranceOn;
};

} // namespace teach
