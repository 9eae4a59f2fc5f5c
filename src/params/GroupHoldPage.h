#pragma once
// The group/hold page: COLOR GROUP, the group table (GROUP of every teach row), the hold table
// (HOLD FAIL, then HOLD of every teach row), the hold reset value and the two table resets.
#include "controls/WordControls.h"
#include "params/ParameterRules.h"

#include <QWidget>

#include <array>
#include <cstdint>

class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTableWidget;

namespace core {
class OperatorDialogs;
}

namespace params {

class GroupHoldPage : public QWidget {
    Q_OBJECT
public:
    static constexpr int kGroupRows = 31;
    static constexpr int kHoldRows = 32;

    explicit GroupHoldPage(core::OperatorDialogs& dialogs, QWidget* parent = nullptr);

    std::uint16_t ColorGroup() const { return words.Word(protocol::kColorGroup); }
    // Shows the code exactly; false when the list has no item of it.
    bool SetColorGroup(std::uint16_t value) { return words.SetWord(protocol::kColorGroup, value); }
    // Teach row r's GROUP and HOLD, and HOLD FAIL (the first row of the hold table).
    std::uint16_t GroupCell(int row) const;
    void SetGroupCell(int row, std::uint16_t value);
    void SetGroupCellBackground(int row, std::uint32_t rgb);
    std::uint16_t HoldCell(int row) const;
    void SetHoldCell(int row, std::uint16_t value);
    std::uint16_t HoldFail() const;
    void SetHoldFail(std::uint16_t value);

    void ApplyLocks(const ControlLocks& locks);
    void SetRowLabels(const std::array<std::uint32_t, protocol::kTeachRows>& rows,
                      const std::array<std::uint32_t, kHoldRows>& holdRows);
    void SetRowColours(const std::array<std::uint32_t, protocol::kTeachRows>& colours);

    void CBF_EditColorGroups();
    void CBF_EditGridGroups();
    void CBF_ButtonResetGroupTable();
    void CBF_ButtonResetHoldTable();

signals:
    // COLOR GROUP was committed.
    void RulesRequested();
    // The operator changed a group cell: the rules run, then this page comes to the front again.
    void GroupCellEdited();

private:
    QWidget* BuildTables();

    core::OperatorDialogs& dialogs;
    core::WordControls words;
    QComboBox* editColorGroups;
    QTableWidget* editGridGroups;
    QTableWidget* editGridHold;
    QLabel* editHold; // caption of the hold table; only answers with its help text
    QSpinBox* editResetHold;
    QPushButton* buttonResetGroupTable;
    QPushButton* buttonResetHoldTable;
};

} // namespace params
